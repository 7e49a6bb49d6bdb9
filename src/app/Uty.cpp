#include "app/Uty.h"

#include "app/Glb.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QLineEdit>
#include <QSettings>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

// ---- pending error --------------------------------------------------------------------------------

namespace {
ErrState& PendingErr() {
    static ErrState err;
    return err;
}
} // namespace

const ErrState& Err() {
    return PendingErr();
}

void SetErr(int32_t number, const std::string& description) {
    ErrState& e = PendingErr();
    if (e.Number != 0 || number == 0) return;
    e.Number = number;
    e.Description = description;
}

void ClearErr() {
    PendingErr() = ErrState{};
}

int32_t ErrMsg(const std::string& place) {
    const ErrState e = PendingErr();
    if (e.Number == 0) return 0;
    ClearErr();
    plat::MsgBox(place + " : " + e.Description, plat::Buttons::Ok, plat::Icon::Critical, "Error occurs");
    return e.Number;
}

// ---- numbers and bits -----------------------------------------------------------------------------

double Log10(double x) {
    return std::log(x) / std::log(10.0);
}

void SetBit16(int16_t& flags, int16_t mask, bool on) {
    flags = static_cast<int16_t>(on ? (flags | mask) : (flags & ~mask));
}

void SetBit32(int32_t& flags, int16_t mask, bool on) {
    const int32_t wide = mask; // sign-extended on purpose
    flags = on ? (flags | wide) : (flags & ~wide);
}

namespace {

double VariantNumber(const Variant& v) {
    if (v.IsText()) return plat::LeadingNumber(v.ToText());
    double d = v.ToDouble(); // numbers, Booleans and empty never throw
    return std::isnan(d) ? 0.0 : d;
}

double Clamp(double d, double lo, double hi) {
    return std::min(std::max(d, lo), hi);
}

} // namespace

int16_t ValToInt(Variant& v) {
    const double d = Clamp(VariantNumber(v), -32768.0, 32767.0);
    v = Variant(d);
    return plat::ToInt16(d).value_or(0); // always fits after the clamp
}

int16_t ValToInt(const std::string& text) {
    Variant v(text);
    return ValToInt(v);
}

int32_t ValToLng(Variant& v) {
    const double d = Clamp(VariantNumber(v), -2147483648.0, 2147483647.0);
    v = Variant(d);
    return plat::ToInt32(d).value_or(0);
}

int32_t ValToLng(const std::string& text) {
    Variant v(text);
    return ValToLng(v);
}

// ---- text -----------------------------------------------------------------------------------------

std::string ByteToStr(std::span<const uint8_t> bytes, int start, int count) {
    std::string out;
    if (start < 0 || count <= 0 || static_cast<size_t>(start) >= bytes.size()) return out;
    const size_t end = std::min(bytes.size(), static_cast<size_t>(start) + static_cast<size_t>(count));
    for (size_t i = static_cast<size_t>(start); i < end; ++i) {
        const uint8_t b = bytes[i];
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else { // the character with this code, written in UTF-8
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::string AstToUnder(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c == '*' || c == '\0') c = '_';
    return out;
}

std::string DelMark(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '*' && c != '_' && c != '\0') out += c;
    const size_t b = out.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const size_t e = out.find_last_not_of(' ');
    return out.substr(b, e - b + 1);
}

std::string DelCommaQuote(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ',' && c != '"') out += c;
    return out;
}

namespace {
std::string HexDigits(int32_t v, int digits) {
    static const char kHex[] = "0123456789ABCDEF";
    uint32_t u = static_cast<uint32_t>(v);
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = kHex[u & 0xF];
        u >>= 4;
    }
    return out;
}
} // namespace

std::string HexB0x(int32_t v) {
    return "0x" + HexDigits(v, 2);
}
std::string HexW0x(int32_t v) {
    return "0x" + HexDigits(v, 4);
}
std::string HexL0x(int32_t v) {
    return "0x" + HexDigits(v, 8);
}
std::string Hex2(int32_t v) {
    return HexDigits(v, 2);
}

// ---- amplifier and catalogue ----------------------------------------------------------------------

std::string GetVerKey() {
    std::string key;
    for (int i = 0; i < CpuVerCnt; ++i) {
        if (CpuVer[i].Present == 0) continue;
        key +=
            "_" + std::to_string(i + 1) + std::to_string(CpuVer[i].Major) + std::to_string(CpuVer[1].Minor);
    }
    return key;
}

std::string GetSeriesKey(int16_t code) {
    switch (code) {
    case 10:
        return "TESK_L";
    case 11:
        return "TESK_K";
    case 12:
        return "TESK_KK";
    case 20:
        return "TESK_NK";
    case 21:
        return "TESK_Q418";
    case 22:
        return "TESK_NQ";
    case 23:
        return "TESK_M";
    case 24:
        return "TESK_KQ";
    case 25:
        return "TESK_R";
    default:
        return "???";
    }
}

bool ChkKisyuList(const std::string& series, const std::string& model) {
    const int rows = std::clamp<int>(KisyuTblCnt, 0, KisyuTblSize);
    for (int i = 0; i < rows; ++i)
        if (KisyuTbl[i].SeriesKey == series && KisyuTbl[i].ModelKey == model) return true;
    return false;
}

int16_t GetMoniItem(int32_t code) {
    for (int16_t i = 1; i < EncoderCnt; ++i)
        if (EncoderTbl[i].Enable != 0 && EncoderTbl[i].Code == code) return i;
    return 0;
}

// ---- user interface -------------------------------------------------------------------------------

bool MsgYesNo(const std::string& prompt, const std::string& title) {
    return plat::MsgBox(prompt, plat::Buttons::YesNo, plat::Icon::Question, title) != plat::No;
}

bool IsFrmLoad(const std::string& name) {
    return plat::IsFrmLoad(name);
}

void SelTxt(QLineEdit* box, bool all) {
    if (!box) return;
    if (all) {
        box->selectAll();
    } else {
        box->deselect();
        box->setCursorPosition(static_cast<int>(box->text().size()));
    }
}

// ---- paths and files ------------------------------------------------------------------------------

std::string AddPath(const std::string& folder, const std::string& file) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + file;
    return folder + "\\" + file;
}

std::string AppPath(const std::string& file) {
    return plat::RealPath(AddPath(plat::AppDir(), file));
}

bool AppendTextLine(const std::string& path, const std::string& text) {
    const std::string bytes = plat::EncodeCp932(text) + "\r\n";
    const int fd = ::open(plat::RealPath(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    return ok;
}

void WrtLogSwitch(const std::string& text, const std::string& file) {
    QSettings settings(QStringLiteral("Mevalo"), QStringLiteral("Mevalo"));
    settings.beginGroup(QStringLiteral("Log"));
    const QString value = settings.value(QStringLiteral("Switch"), QStringLiteral("OFF")).toString();
    settings.setValue(QStringLiteral("Switch"), value);
    settings.endGroup();
    if (value != QLatin1String("OFF")) AppendTextLine(AppPath(file), text);
}
