#include "app/Log.h"

#include "app/FrmLog.h"
#include "app/LogSvc.h"
#include "app/Uty.h"

#include <algorithm>

void log(const std::string& text, int kind) {
    if (FrmLog* w = FrmLog::Loaded()) w->log(text, kind);
}

std::string LogTxtPath() {
    return AppPath("Log.txt");
}

void LogFileOut(const std::string& text) {
    FrmLog* w = FrmLog::Loaded();
    if (w && w->isVisible()) WrtLogTxt(text);
}

void WrtLogTxt(const std::string& text) {
    // A log that cannot be written must not disturb the operation being logged.
    AppendTextLine(LogTxtPath(), text);
}

std::vector<std::string> HexDumpLines(std::span<const uint8_t> data, int count) {
    std::vector<std::string> lines;
    const size_t n = count <= 0 ? 0 : std::min(data.size(), static_cast<size_t>(count));
    for (size_t first = 0; first < n; first += 8) {
        std::string line = "    " + Hex2(static_cast<int32_t>(first)) + " :";
        for (size_t i = first; i < n && i < first + 8; ++i)
            line += " " + Hex2(data[i]);
        lines.push_back(std::move(line));
    }
    return lines;
}

void LogHexDump(std::span<const uint8_t> data, int count, int kind) {
    const std::vector<std::string> lines = HexDumpLines(data, count);
    if (lines.empty()) {
        LogFileOut("No data available");
        return;
    }
    for (const std::string& line : lines)
        log(line, kind);
}

std::string CmdFrameHeader(const std::string& prefix, int address, int command, int mode, int count) {
    return prefix + Hex2(count) + "," + Hex2(address) + "," + Hex2(mode * 16 + command) + ",";
}

void LogCmdFrame(const std::string& prefix, int address, int command, int mode, std::span<const uint8_t> data,
                 int count) {
    log(CmdFrameHeader(prefix, address, command, mode, count), LogCom);
    LogHexDump(data, count, LogCom);
}
