// The steps of an on-line connection that the connection dialog calls but other windows perform: port and
// baud detection, the axis queries and the axis window, and the data installer. Those windows install
// their calls here; a path whose call is missing tells the user it is not available and the
// dialog stays open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct ConnectCalls {
    // Detection window: finds port and baud (in: port, 0 = every port); leaves DlgResult -1 when the
    // link is open at the port found, else 0.
    std::function<void(int16_t& port, int32_t& baud)> hanTeiExec;
    // Model set-up of the one amplifier on RS-232C; false when it failed.
    std::function<bool()> set232Axis;
    // Axis query: the amplifier's answer at address id, or -1.
    std::function<int16_t(int16_t id)> validAxis;
    // Axis window, modal; leaves DlgResult non-zero after a completed choice.
    std::function<void()> showFrmAxis;
    // Data installer from source (a folder); its result word.
    std::function<int16_t(const std::string& source, bool quiet)> dataInstall;
};
ConnectCalls& Connect();

// True when every call an on-line connection needs is installed.
bool OnlineConnectAvailable();
// Tells the user that a step of the connection has no installed call (a program that lacks a part).
void ReportNotAvailable(const std::string& what);

// Closes the link through the main window's installed call (tests record it there); without one, ComClose.
void ConnClose();
// The button panel's SetEnable, when the panel is loaded.
void MenuSetEnable();
