// The family K command set (series codes 10 to 12, CmdFamily 1): an ASCII line protocol spoken character
// by character on the open link ComHandle. A command word is sent with each character echoed back by the
// amplifier; the reply is any text ended by "%", and an error reply begins with "ERROR". Parameters travel
// as Intel-HEX records of eight values. The request core is not used; ComResult holds the result of the
// last character call, and the read time-outs are whatever the link has in force.
//
// Read commands return -1 (decoded), -2 (the amplifier answered "ERROR") or 0 (line failure, or a reply
// too short or garbled for its layout: nothing is read past the end of the stored text). Other procedures
// return the program's truth words (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "comm/TeskCmd.h"
#include "comm/TeskKGlb.h"
#include "monitor/MonGlb.h"

// ---- line layer ----------------------------------------------------------------------------------------

// Sends line up to its first control character, each character checked against its echo, then CR. On a
// wrong or missing echo the pending reply is drained, "Communication error" is shown, and the result is
// False.
int16_t SndLineEchoK(const std::string& line);
// The same without reading echoes. False when a character could not be written.
int16_t SndLineK(const std::string& line);
// Reads one reply into arr: characters of code 32 or more are stored from index 0, others dropped. Ends
// with the "%" (stored) or at the first read time-out, then stores -1 and 0 after the text: True. False
// after 601 characters without an end (the text stored so far is ended the same way).
int16_t RcvLineK(Variant (&arr)[RcvTxtKCnt]);
// False exactly when the stored text begins with "ERROR".
int16_t RcvOkK(const Variant (&arr)[RcvTxtKCnt]);
// The stored text of arr up to its end marker.
std::string StoredTextK(const Variant (&arr)[RcvTxtKCnt]);

// ---- parameters ----------------------------------------------------------------------------------------

// Sends PrmVal(0..63) as eight records and the end record, then reads the amplifier's answer. kind 0
// (user) sends 0 for numbers 15, 31, 45, 46, 47 and 48..63; kind 1 (system) sends them all. True when
// every line went out and the answer came and is not "ERROR".
int16_t PrmIhxSouShinK(int kind);
// Reads the records of one reply into PrmVal: blocks 0..5 for kind 0, 0..7 for kind 1. -1 when all parsed,
// -2 on "ERROR", 0 when the reply is shorter than its blocks or a record does not parse (earlier blocks
// stay stored).
int16_t PrmIhxJuShinK(int kind);
int16_t UsrPrmSouShinK(); // "DOWNLOAD" and the user records
int16_t SysPrmSouShinK(); // "DOWN_LOAD" and the system records
int16_t PrmJuShinK();     // "UP_LOAD": PrmVal(0..63)

// ---- alarms, I/O, monitor ------------------------------------------------------------------------------

int16_t ErrMonK();                         // "ERR_MON": AlmNo
int16_t HistK();                           // "HIST": AlmHist(0..7)
int16_t IoMonK(int32_t& in, int32_t& out); // "IO_MON": the input and output words
int16_t MonK();                            // "MON": MonVal
// Decoders of a stored reply text; False (nothing changed) when it is too short or not hexadecimal where
// a digit is read.
int16_t ErrMonDecK(const std::string& text);
int16_t IoMonDecK(const std::string& text, int32_t& in, int32_t& out);

// ---- tuning and waveform capture -----------------------------------------------------------------------

// "AUTO 1," and v in upper-case hexadecimal (v taken as 0..255), without an echo check; then one reply
// line. True when the reply line ended.
int16_t AutoK(int32_t v);
// Arms a capture with cond's option, sampling, trigger, level, position and slope words: drains, sends
// "DISP" (echo-checked), waits for ACK within ten characters, sends the set-up lines and keeps the
// amplifier's answer character in SndBuf(0). False when "DISP" is not acknowledged.
int16_t GrpStartK(const WavCondRec& cond);
// Reads one character into ComResult: True when it is the capture-ready character 130.
int16_t GrpChrK();
// Stops the capture ("s", "e") and drops the two reply lines.
void GrpStopK();
// Asks for the points of a finished capture ("GRPDAT") and reads them into data (up to 2000 bytes);
// False on a silent line or a refused echo.
int16_t GrpDatK(std::vector<uint8_t>& data);

// The family K table of the series dispatcher.
FamilyKCmds TeskKCmds();
