// Writers of Log.txt (program folder, one CR LF line per call) and the helpers that dump bytes and
// command blocks into the log. Like log(), they write only while the log window is shown, except
// WrtLogTxt, which always writes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Path of Log.txt in the program folder.
std::string LogTxtPath();

// Appends text to Log.txt while the log window is shown, whatever categories are ticked.
void LogFileOut(const std::string& text);
// Appends text as one line to Log.txt (opens, writes, closes).
void WrtLogTxt(const std::string& text);

// Logs data[0..count-1] with log(line, kind), 8 bytes a line: "    II : XX XX ...", II the index of the
// line's first byte (last two hexadecimal digits). A count of 0 writes "No data available" to the file
// only. Bytes beyond data are never read.
void LogHexDump(std::span<const uint8_t> data, int count, int kind);
// Logs, with kind Com, prefix & H(count) & H(address) & H(mode * 16 + command), H(x) being two
// hexadecimal digits and ",", then the hex dump of the data.
void LogCmdFrame(const std::string& prefix, int address, int command, int mode, std::span<const uint8_t> data,
                 int count);

// The lines LogHexDump logs (empty for no data).
std::vector<std::string> HexDumpLines(std::span<const uint8_t> data, int count);
// The header line LogCmdFrame logs.
std::string CmdFrameHeader(const std::string& prefix, int address, int command, int mode, int count);
