#include "frequency/FrqIdt.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "app/Log.h"
#include "app/Uty.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace {

std::string Hex4(int32_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v) & 0xFFFFu);
    return buf;
}

// Four hexadecimal digits as a signed 16-bit value.
bool ReadHex16(const std::string& line, int16_t& v) {
    if (line.empty() || line.size() > 4) return false;
    const auto u = plat::ParseHex(line);
    if (!u || *u > 0xFFFF) return false;
    v = static_cast<int16_t>(static_cast<uint16_t>(*u));
    return true;
}

bool Fail(const std::string& what) {
    SetErr(ErrFileAccess, what);
    return false;
}

} // namespace

bool IdtWrite(const FrqRec& rec, const std::string& path) {
    const int32_t n = rec.Points;
    bool ok = n >= 2 && n <= FrqRawCnt;
    if (!ok) SetErr(ErrFileAccess, "the record holds " + std::to_string(n) + " samples");
    const std::string part = path + ".tmp";
    if (ok) {
        std::ostringstream s;
        const int bui = (rec.Bui + (rec.FullClose == 1 ? 4 : 0)) & 0xFF;
        s << Hex4(rec.Kisyu) << "\r\n"
          << "00" << static_cast<char>('0' + bui) << static_cast<char>(('0' + rec.Smp) & 0xFF) << "\r\n"
          << Hex4(rec.Amp) << "\r\n"
          << Hex4(rec.Off) << "\r\n"
          << Hex4(n) << "\r\n";
        for (int32_t i = 0; i < n; ++i)
            s << Hex4(rec.Raw[i]) << "\r\n";
        // Written beside the file and put in its place only when complete.
        std::ofstream f(part, std::ios::binary | std::ios::trunc);
        f << s.str();
        f.close();
        ok = f.good() && std::rename(part.c_str(), path.c_str()) == 0;
        if (!ok) {
            std::remove(part.c_str());
            SetErr(ErrFileAccess, "cannot write " + path);
        }
    }
    ErrMsg("Writing IDT file");
    return ok;
}

bool IdtRead(FrqRec& rec, const std::string& path) {
    if (path.empty()) return false;
    std::vector<std::string> lines;
    {
        std::string bytes;
        plat::ReadError why;
        if (!plat::ReadRegularFile(path, bytes, &why)) {
            SetErr(ErrFileNotFound, "cannot open " + path + ": " + why.text);
        } else {
            std::istringstream f(bytes);
            std::string l;
            // Lines past the header and the most samples a record holds are never looked at.
            while (lines.size() < 5u + FrqRawCnt && std::getline(f, l)) {
                if (!l.empty() && l.back() == '\r') l.pop_back();
                lines.push_back(l);
            }
        }
    }
    // Everything is read into a copy first: a damaged file leaves the record as it was.
    auto staged = std::make_unique<FrqRec>(rec);
    FrqRec& r = *staged;
    int16_t model = 0, amp = 0, off = 0, count = 0;
    bool ok = !lines.empty() || Err().Number == 0;
    if (Err().Number != 0) ok = false;
    if (ok && (lines.size() < 5 || lines[1].size() < 4 || !ReadHex16(lines[0], model) ||
               !ReadHex16(lines[2], amp) || !ReadHex16(lines[3], off) || !ReadHex16(lines[4], count)))
        ok = Fail("the header of " + path + " is damaged");
    if (ok && (count < 2 || count > FrqRawCnt))
        ok = Fail("the number of points " + std::to_string(count) + " does not fit the record");
    if (ok && lines.size() < 5u + static_cast<size_t>(count))
        ok = Fail("the samples of " + path + " end early");
    for (int i = 0; ok && i < count; ++i)
        if (!ReadHex16(lines[5u + static_cast<size_t>(i)], r.Raw[i]))
            ok = Fail("sample " + std::to_string(i) + " of " + path + " is no number");
    if (!ok) {
        ErrMsg("Reading IDT file");
        return false;
    }
    // The part digit carries the full-closed flag in its bit 2; the sampling character is '0' + index
    // even for indexes of 10 and more.
    const int partDigit = static_cast<unsigned char>(lines[1][2]) - '0';
    r.Bui = static_cast<int16_t>(partDigit & ~4);
    r.FullClose = (partDigit & 4) ? 1 : 0;
    r.FullCloseAvail = FftFullClose[0] != 0 ? plat::VbTrue : plat::VbFalse;
    r.Smp = static_cast<int16_t>(static_cast<unsigned char>(lines[1][3]) - '0');
    r.Kisyu = static_cast<uint16_t>(model);
    r.Amp = amp;
    r.Off = off;
    r.Points = count;
    for (int i = 0; i < count; ++i) {
        const auto u = static_cast<uint16_t>(r.Raw[i]);
        log(Hex2(u & 0xFF) + "," + Hex2(u >> 8), LogOther);
    }
    rec = r;
    FftSplitN = count;
    return true;
}

std::string FrqTempIdtPath() {
    const std::string own = AppPath("temp.idt");
    const std::string folder = own.substr(0, own.find_last_of('/') + 1);
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0) return own;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(QStringLiteral("temp.idt")).toStdString();
}
