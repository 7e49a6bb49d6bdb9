// The request core: every framed request goes through ComCmd, which drains, sends the request fields and
// receives the reply through the link wrapper, takes the status byte from the reply's last data byte and
// judges it by the caller's mask. Around it: the status tests, the link check before a command, the
// execution right and the developer's port test. Results are 16-bit truth words (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <string>

// errset value that shows no driver-error window.
constexpr int16_t NoErrWindow = -1;

// One try: drain, send, receive. The reply's header replaces the four values. False at once while another
// request runs (re-entry from the event pump), off line, or when the send or the receive failed.
int16_t ComSndRcv1(int16_t& axis, int16_t& cmd, int16_t& mode, int16_t& len);

// A request of up to retry + 1 tries (one try when retry is below 0). Every try sends the request as the
// caller gave it; the caller gets the header of the last reply. True when a reply's status byte has no
// bit of mask. A bad status after the last try shows the driver-error window with set errset unless it is
// NoErrWindow; link failures stay silent here.
int16_t ComCmd(int16_t& axis, int16_t& cmd, int16_t& mode, int16_t& len, int16_t errset, int16_t retry,
               uint8_t mask);

// Receives one reply straight from the library and drops it (its result goes to RetVar).
void ComRcvSkip();

// ComStatus has a bit of mask.
bool StatChk(uint8_t mask);
// ComStatus has a bit outside mask.
bool StatChkOther(uint8_t mask);
// The bits of ComStatus outside mask.
uint8_t StatGet(uint8_t mask);

// Pings the amplifier at AxisNo. False off line (silently), or when it does not answer well; then, when
// ask is not 0, the user is told under title.
int16_t ChkComm(int16_t ask, const std::string& title);

// Takes (take non-zero) or releases the amplifier's execution right when the series uses it. False when the
// request failed, or when the amplifier refused (its front panel is in use; the user is told).
int16_t GetExecRight(int16_t take);

// Developer's port test of COM1 and COM2 at 9600 bit/s, each step written to Log.txt. Closes every link.
void ComPortTest();
