#include "comm/ComWrap.h"

#include "app/Log.h"
#include "app/LogSvc.h"
#include "comm/ComReq.h"
#include "comm/FrmSysCon.h"
#include "comm/QelApi.h"
#include "link/qel.h"
#include "platform/Ask.h"
#include "platform/Editor.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string& FileKeyVar() {
    static std::string key = "0000.txt";
    return key;
}

std::string& AxisKeyVar() {
    static std::string key = "00";
    return key;
}

int ByteAt(std::span<const uint8_t> data, size_t i) {
    return i < data.size() ? data[i] : 0;
}

bool Simulated() {
    return SysCon.ChkDmyCom != 0;
}

// ---- reply-file reader ----------------------------------------------------------------------------

struct ReplyFileError {
    std::string why;
};

// The fields of a reply file in order: separated by "," or a line end; empty ones and comments left out.
class ComTestReader {
  public:
    explicit ComTestReader(const std::string& text) {
        std::string field;
        int line = 1;
        auto flush = [&] {
            size_t b = field.find_first_not_of(" \t");
            const size_t e = field.find_last_not_of(" \t");
            if (b != std::string::npos && field[b] != '#')
                fields_.push_back({field.substr(b, e - b + 1), line});
            field.clear();
        };
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == ',') {
                flush();
            } else if (c == '\r' || c == '\n') {
                flush();
                if (c == '\n' || i + 1 >= text.size() || text[i + 1] != '\n') ++line;
            } else {
                field += c;
            }
        }
        flush();
    }

    struct Field {
        std::string text;
        int line;
    };
    const Field* Next() { return pos_ < fields_.size() ? &fields_[pos_++] : nullptr; }

  private:
    std::vector<Field> fields_;
    size_t pos_ = 0;
};

// Next value of a reply file: a hexadecimal number without prefix, at most max.
uint32_t ReadComTestLine(ComTestReader& reader, const char* what, uint32_t max) {
    const ComTestReader::Field* f = reader.Next();
    if (!f) throw ReplyFileError{std::string("the file ends before ") + what};
    const auto v = plat::ParseHex(f->text);
    const std::string where = "line " + std::to_string(f->line) + ": \"" + f->text + "\"";
    if (!v) throw ReplyFileError{where + " is not a hexadecimal number"};
    if (*v > max) throw ReplyFileError{where + " is too large for " + what};
    return *v;
}

// Makes the folder of a file; the error text when that fails.
std::string MakeFolderOf(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    return ec ? ec.message() : std::string();
}

void WriteBlockLog(const std::string& path, int axis, int cmd, int mode, std::span<const uint8_t> data,
                   int n) {
    // A count the buffer cannot hold (a failed receive leaves whatever the variable had) is cut to it.
    const int count = std::clamp(n, 0, static_cast<int>(data.size()));
    std::string error = MakeFolderOf(path);
    if (error.empty() && plat::SaveLines(path, BlockLines(count, axis, cmd, mode, data), &error)) return;
    plat::MsgBox(FileKey() + " " + error);
}

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    log("LoadRcvBlk : fd:" + std::to_string(fd), LogCom);
    if (fd < 0) return false;
    char buf[4096];
    bytes.clear();
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        bytes.append(buf, static_cast<size_t>(got));
    }
    ::close(fd);
    return ok;
}

} // namespace

// ---- block text -----------------------------------------------------------------------------------

std::string RS_Hex2(int v) {
    static const char kHex[] = "0123456789ABCDEF";
    const unsigned u = static_cast<unsigned>(v) & 0xFF;
    return {kHex[u >> 4], kHex[u & 0xF]};
}

std::string HexComma(int v) {
    return RS_Hex2(v) + ",";
}

std::vector<std::string> BlockLines(int n, int axis, int cmd, int mode, std::span<const uint8_t> data) {
    std::vector<std::string> lines{HexComma(n) + HexComma(axis) + RS_Hex2(mode * 16 + cmd)};
    if (n <= 0) {
        lines.emplace_back();
        return lines;
    }
    std::string line;
    for (int i = 0; i < n; ++i) {
        const bool eighth = i % 8 == 7;
        line += eighth ? RS_Hex2(ByteAt(data, static_cast<size_t>(i)))
                       : HexComma(ByteAt(data, static_cast<size_t>(i)));
        if (eighth || i == n - 1) {
            lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

bool ParseComTestBlock(const std::string& text, int maxData, ComTestBlock& block, std::string* why) {
    try {
        ComTestReader reader(text);
        ComTestBlock b;
        const uint32_t n = ReadComTestLine(reader, "the data count", 0xFFFFFFFFu);
        if (n > static_cast<uint32_t>(std::max(maxData, 0)))
            throw ReplyFileError{"it announces " + std::to_string(n) + " data bytes, more than the " +
                                 std::to_string(maxData) + " the reply buffer holds"};
        b.n = static_cast<int>(n);
        b.axis = static_cast<int>(ReadComTestLine(reader, "the address", 0xFF));
        const uint32_t packed = ReadComTestLine(reader, "the command and mode", 0xFF);
        b.cmd = static_cast<int>(packed & 15);
        b.mode = static_cast<int>((packed & 0xF0) / 16);
        b.data.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            const std::string what = "data byte " + std::to_string(i);
            b.data.push_back(static_cast<uint8_t>(ReadComTestLine(reader, what.c_str(), 0xFF)));
        }
        block = std::move(b);
        return true;
    } catch (const ReplyFileError& e) {
        if (why) *why = e.why;
        return false;
    }
}

// ---- keys and paths -------------------------------------------------------------------------------

std::string MakeFileKey(int cmd, int mode, std::span<const uint8_t> data, int n) {
    std::string key = RS_Hex2(mode * 16 + cmd);
    if (cmd == 10 && mode == 6)
        key += RS_Hex2(ByteAt(data, 0)) + RS_Hex2(ByteAt(data, 1));
    else if (cmd == 8 && mode == 1)
        key += "00";
    else if (cmd == 10 && mode == 0)
        key += RS_Hex2(ByteAt(data, 1));
    else if (n <= 0)
        key += "00";
    else
        key += RS_Hex2(ByteAt(data, 0));
    return key + ".txt";
}

std::string MakeAxisKey(int axis, int cmd, int mode, std::span<const uint8_t> data) {
    return cmd == 8 && mode == 0 && ByteAt(data, 0) == 0 ? RS_Hex2(axis) : std::string("00");
}

const std::string& FileKey() {
    return FileKeyVar();
}

const std::string& AxisKey() {
    return AxisKeyVar();
}

std::string ComTestDir() {
    // Beside the program folder, and one absolute path for reading, writing and the editor alike.
    const fs::path dir = (fs::absolute(plat::AppDir()) / ".." / "comtest").lexically_normal();
    return plat::RealPath(dir.string());
}

std::string ReplyFilePath() {
    return plat::RealPath(ComTestDir() + "/COMTEST" + AxisKey() + "/R" + FileKey());
}

std::string SendLogPath() {
    return plat::RealPath(ComTestDir() + "/COMLOG/S" + FileKey());
}

std::string RecvLogPath() {
    return plat::RealPath(ComTestDir() + "/COMLOG/R" + FileKey());
}

// ---- the wrapper ----------------------------------------------------------------------------------

int16_t RsClr(uint32_t link) {
    if (Simulated()) return 1;
    return qel::Clr(link);
}

int16_t RsSndCmd(uint32_t link, int16_t axis, int16_t cmd, int16_t mode, std::span<const uint8_t> data,
                 int16_t n) {
    LogCmdFrame("SEND>", axis, cmd, mode, data, n);
    AxisKeyVar() = MakeAxisKey(axis, cmd, mode, data);
    FileKeyVar() = MakeFileKey(cmd, mode, data, n);
    if (SysCon.ChkBlkLog) ComLogSnd(axis, cmd, mode, data, n);
    if (Simulated()) {
        // Stands in for the time a send takes on the line.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 1;
    }
    // The library reads n bytes of data: never let it read past the caller's buffer.
    if (n < 0 || static_cast<size_t>(n) > data.size()) return 0;
    return qel::SndCmd2(link, axis, cmd, mode, data.data(), n);
}

int16_t RsRcvCmd(uint32_t link, int16_t& axis, int16_t& cmd, int16_t& mode, std::span<uint8_t> data,
                 int16_t& n) {
    int16_t r = 0;
    if (Simulated())
        r = LoadRcvBlk(axis, cmd, mode, data, n);
    else if (data.size() >= QEL_RCV_DATA_MAX)
        r = qel::RcvCmd2(link, &axis, &cmd, &mode, data.data(), &n);
    if (SysCon.ChkBlkLog) ComLogRcv(axis, cmd, mode, data, n);
    LogCmdFrame("RECV<", axis, cmd, mode, data, n);
    return r;
}

int16_t LoadRcvBlk(int16_t& axis, int16_t& cmd, int16_t& mode, std::span<uint8_t> data, int16_t& n) {
    const std::string path = ReplyFilePath();
    std::string bytes;
    bool created = false;
    while (!ReadWholeFile(path, bytes)) {
        ComResult = static_cast<int16_t>(
            plat::MsgBox(FileKey() + ": doesn't exist. Enter the content.", plat::Buttons::OkCancel));
        if (ComResult == plat::Cancel) return 0;
        // The editor gets the very file that is read next, in a folder that exists.
        MakeFolderOf(path);
        if (!plat::FileExists(path)) created = plat::SaveLines(path, {});
        plat::OpenInEditor(path);
        ComResult = static_cast<int16_t>(
            plat::MsgBox("Press the button after entering inputs.", plat::Buttons::OkCancel));
        if (ComResult == plat::Cancel) {
            // Leave no empty file behind that would read as a damaged one next time.
            std::error_code ec;
            if (created && fs::file_size(path, ec) == 0 && !ec) fs::remove(path, ec);
            return 0;
        }
    }

    ComTestBlock block;
    std::string why;
    const int room = static_cast<int>(std::min<size_t>(data.size(), RcvBufSize));
    if (!ParseComTestBlock(plat::DecodeText(bytes), room, block, &why)) {
        log("LoadRcvBlk : " + why, LogCom);
        plat::MsgBox(path + ": the reply cannot be read: " + why + ".", plat::Buttons::Ok,
                     plat::Icon::Exclamation);
        return 0;
    }
    axis = static_cast<int16_t>(block.axis);
    cmd = static_cast<int16_t>(block.cmd);
    mode = static_cast<int16_t>(block.mode);
    n = static_cast<int16_t>(block.n);
    std::copy(block.data.begin(), block.data.end(), data.begin());
    return 1;
}

void ComLogSnd(int16_t axis, int16_t cmd, int16_t mode, std::span<const uint8_t> data, int16_t n) {
    WriteBlockLog(SendLogPath(), axis, cmd, mode, data, n);
}

void ComLogRcv(int16_t axis, int16_t cmd, int16_t mode, std::span<const uint8_t> data, int16_t n) {
    WriteBlockLog(RecvLogPath(), axis, cmd, mode, data, n);
}
