#include "comm/TeskK.h"

#include "app/Glb.h"
#include "app/Log.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/QelApi.h"
#include "comm/RGlb.h"
#include "data/IntelHex.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>
#include <vector>

Variant RcvTxtK[RcvTxtKCnt];
MonValRec MonVal;

namespace {

constexpr int kCr = 13;
constexpr int kAck = 6;
constexpr int kEndChar = '%';
constexpr int kReadyChar = 130;
// Characters read for one reply before it counts as runaway.
constexpr int kMaxReplyReads = 601;
constexpr int kPrmBlocks = 8;

int16_t PutChr(int code) {
    ComResult = qel::PutChr(ComHandle, static_cast<int16_t>(code));
    return ComResult;
}

int16_t GetChr() {
    ComResult = qel::GetChr(ComHandle);
    return ComResult;
}

// Sends line up to its first control character, and CR; echoed: each character waits for its echo.
// False on the first character that did not go out (or whose echo was wrong).
bool SendLine(const std::string& line, bool echoed) {
    for (unsigned char c : line) {
        if (c < 32) break;
        if (!PutChr(c)) return false;
        if (echoed && GetChr() != c) return false;
    }
    return PutChr(kCr) != 0;
}

// The hexadecimal digit at index i of text, or -1 past the text or for another character.
int DigitAt(const std::string& text, size_t i) {
    if (i >= text.size()) return -1;
    const char c = text[i];
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// n hexadecimal digits from index at as one number, or -1 when the text does not hold them.
int32_t HexAt(const std::string& text, size_t at, int n) {
    int32_t v = 0;
    for (int k = 0; k < n; ++k) {
        const int d = DigitAt(text, at + static_cast<size_t>(k));
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

int16_t Garbled(const char* what, const std::string& text) {
    log(std::string(what) + ": reply too short or not readable: \"" + text + "\"", LogCom);
    return 0;
}

// Sends a command word and reads its reply: -1 with the stored text, -2 on "ERROR", 0 on a line failure.
int16_t Query(const char* word, std::string& text) {
    if (!SndLineEchoK(word)) return 0;
    if (!RcvLineK(RcvTxtK)) {
        log(std::string(word) + ": reply without an end", LogCom);
        return 0;
    }
    if (!RcvOkK(RcvTxtK)) return -2;
    text = StoredTextK(RcvTxtK);
    return -1;
}

// Decimal text with a blank in front of a number that is not negative.
std::string Num(int v) {
    return v < 0 ? std::to_string(v) : " " + std::to_string(v);
}

using BitMap = std::initializer_list<std::pair<int, int32_t>>; // digit bit -> code or word bit

} // namespace

// ---- line layer ----------------------------------------------------------------------------------------

int16_t SndLineEchoK(const std::string& line) {
    if (SendLine(line, true)) return -1;
    // Whatever the amplifier still says belongs to this failed command.
    RcvLineK(RcvTxtK);
    log("Echo of \"" + line + "\" failed", LogCom);
    plat::MsgBox("Communication error", plat::Buttons::Ok);
    return 0;
}

int16_t SndLineK(const std::string& line) {
    return SendLine(line, false) ? -1 : 0;
}

int16_t RcvLineK(Variant (&arr)[RcvTxtKCnt]) {
    int stored = 0;
    auto end = [&](int16_t result) {
        arr[stored] = Variant(int16_t(-1));
        arr[stored + 1] = Variant(int16_t(0));
        return result;
    };
    for (int reads = 0; reads < kMaxReplyReads; ++reads) {
        const int c = GetChr();
        if (c < 0) return end(-1);
        if (c >= 32) arr[stored++] = Variant(static_cast<int16_t>(c));
        if (c == kEndChar) return end(-1);
    }
    return end(0);
}

std::string StoredTextK(const Variant (&arr)[RcvTxtKCnt]) {
    std::string text;
    for (const Variant& v : arr) {
        if (v.kind() != Variant::Kind::Int16) break;
        const int16_t c = v.ToInt16();
        if (c < 32 || c > 255) break;
        text += static_cast<char>(c);
    }
    return text;
}

int16_t RcvOkK(const Variant (&arr)[RcvTxtKCnt]) {
    return StoredTextK(arr).starts_with("ERROR") ? 0 : -1;
}

// ---- parameters ----------------------------------------------------------------------------------------

int16_t PrmIhxSouShinK(int kind) {
    const bool user = kind == 0;
    for (int b = 0; b < kPrmBlocks; ++b) {
        int16_t values[HexWords];
        for (int k = 0; k < HexWords; ++k) {
            const int n = 8 * b + k;
            // The user download must not touch the system parameters among and after the user ones.
            const bool system = n == 15 || n == 31 || n == 45 || n == 46 || n == 47 || b >= 6;
            values[k] = user && system ? int16_t(0) : PrmVal[n];
        }
        HexRecord r = MakeDataRecord(static_cast<uint32_t>(16 * b), values);
        if (!SndLineK(MakeHexRecord(r))) return 0;
    }
    HexRecord endRecord;
    endRecord.RecType = 1;
    if (!SndLineK(MakeHexRecord(endRecord))) return 0;
    const int16_t r = RcvLineK(RcvTxtK);
    RetVar = Variant(r);
    // Silence is no acknowledgement: the records may never have arrived.
    if (!r || StoredTextK(RcvTxtK).empty()) {
        log("Parameter download: no answer", LogCom);
        return 0;
    }
    return RcvOkK(RcvTxtK);
}

int16_t PrmIhxJuShinK(int kind) {
    if (!RcvLineK(RcvTxtK)) return 0;
    if (!RcvOkK(RcvTxtK)) return -2;
    const int blocks = kind == 0 ? 6 : kPrmBlocks;
    const std::string text = StoredTextK(RcvTxtK);
    if (text.size() < static_cast<size_t>(HexRecordLen * blocks)) return Garbled("UP_LOAD", text);
    for (int b = 0; b < blocks; ++b) {
        HexRecord r;
        const std::string_view line =
            std::string_view(text).substr(static_cast<size_t>(HexRecordLen * b), HexRecordLen);
        if (!ParseHexRecord(r, line)) {
            log("UP_LOAD: record " + std::to_string(b) + " is bad: " + std::string(line), LogCom);
            return 0;
        }
        for (int k = 0; k < HexWords; ++k)
            PrmVal[8 * b + k] = static_cast<int16_t>(r.Data[static_cast<size_t>(k)]);
    }
    return -1;
}

int16_t UsrPrmSouShinK() {
    return SndLineEchoK("DOWNLOAD") ? PrmIhxSouShinK(0) : int16_t(0);
}

int16_t SysPrmSouShinK() {
    return SndLineEchoK("DOWN_LOAD") ? PrmIhxSouShinK(1) : int16_t(0);
}

int16_t PrmJuShinK() {
    return SndLineEchoK("UP_LOAD") ? PrmIhxJuShinK(1) : int16_t(0);
}

// ---- alarms, I/O, monitor ------------------------------------------------------------------------------

int16_t ErrMonDecK(const std::string& text) {
    int d[8];
    for (size_t i = 0; i < 8; ++i)
        if ((d[i] = DigitAt(text, i)) < 0) return Garbled("ERR_MON", text);
    // Per digit the first matching bit names the alarm; later digits overwrite earlier ones.
    static const BitMap rows[8] = {
        {{2, 13}},
        {{8, 24}, {4, 29}, {2, 26}, {1, 16}},
        {{8, 15}, {4, 12}, {1, 14}},
        {{8, 22}, {4, 38}, {2, 27}},
        {{2, 43}, {1, 42}},
        {{8, 41}, {4, 40}, {2, 46}},
        {{1, 36}},
        {{8, 84}, {4, 98}, {2, 25}, {1, 30}},
    };
    int16_t code = AlmNo;
    for (int i = 0; i < 8; ++i) {
        if (i == 0 && !(d[0] & 4)) {
            code = 0;
            continue;
        }
        for (const auto& [bit, alarm] : rows[i])
            if (d[i] & bit) {
                code = static_cast<int16_t>(alarm);
                break;
            }
    }
    AlmNo = code;
    return -1;
}

int16_t IoMonDecK(const std::string& text, int32_t& in, int32_t& out) {
    int d[8];
    for (size_t i = 0; i < 8; ++i)
        if ((d[i] = DigitAt(text, i)) < 0) return Garbled("IO_MON", text);
    // The digits carry their bits in reverse order: the digit's bit 8 is the word's lowest of the four.
    static const BitMap maps[8] = {
        {{8, 0x1}, {4, 0x2}, {2, 0x4}, {1, 0x8}},
        {{8, 0x10}, {4, 0x20}, {2, 0x40}, {1, 0x80}},
        {{8, 0x100}, {4, 0x200}, {2, 0x400}},
        {},
        {{8, 0x1}, {4, 0x2}, {2, 0x4}, {1, 0x8}},
        {{8, 0x10}, {4, 0x20}, {2, 0x40}, {1, 0x80}},
        {{8, 0x100}, {4, 0x200}},
        {{1, 0x80000}},
    };
    in = 0;
    out = 0;
    for (int i = 0; i < 8; ++i)
        for (const auto& [bit, mask] : maps[i])
            if (d[i] & bit) (i < 4 ? in : out) |= mask;
    return -1;
}

int16_t ErrMonK() {
    std::string text;
    const int16_t r = Query("ERR_MON", text);
    return r == -1 ? ErrMonDecK(text) : r;
}

int16_t HistK() {
    std::string text;
    const int16_t r = Query("HIST", text);
    if (r != -1) return r;
    int16_t hist[8];
    for (size_t k = 1; k <= 8; ++k) {
        const int32_t v = HexAt(text, 4 * k, 2);
        if (v < 0) return Garbled("HIST", text);
        hist[k - 1] = static_cast<int16_t>(v);
    }
    for (int k = 0; k < 8; ++k)
        AlmHist[k] = hist[k];
    return -1;
}

int16_t IoMonK(int32_t& in, int32_t& out) {
    std::string text;
    const int16_t r = Query("IO_MON", text);
    return r == -1 ? IoMonDecK(text, in, out) : r;
}

int16_t MonK() {
    std::string text;
    const int16_t r = Query("MON", text);
    if (r != -1) return r;
    int16_t v[3];
    for (size_t i = 0; i < 3; ++i) {
        const int32_t raw = HexAt(text, 6 * i, 4);
        if (raw < 0) return Garbled("MON", text);
        v[i] = static_cast<int16_t>(static_cast<uint16_t>(raw));
    }
    MonVal.Speed = v[0];
    MonVal.Torque = std::floor(v[1] / 5.0);
    MonVal.Counter = v[2];
    return -1;
}

// ---- tuning and waveform capture -----------------------------------------------------------------------

int16_t AutoK(int32_t v) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(std::clamp<int32_t>(v, 0, 255)));
    if (!SndLineK(std::string("AUTO 1,") + hex)) return 0;
    return RcvLineK(RcvTxtK);
}

int16_t GrpStartK(const WavCondRec& cond) {
    RetVar = Variant(RcvLineK(RcvTxtK));
    if (!SndLineEchoK("DISP")) return 0;
    bool ack = false;
    for (int i = 0; i < 10 && !ack; ++i)
        ack = GetChr() == kAck;
    if (!ack) {
        log("DISP: not acknowledged", LogCom);
        return 0;
    }
    std::vector<std::string> lines{"D", "p h" + Num(cond.Word[WavWOption])};
    switch (cond.Word[WavWSmp]) {
    case 2:
        lines.push_back("p x 2");
        break;
    case 4:
        lines.push_back("p x 3");
        break;
    case 10:
        lines.push_back("p x 4");
        break;
    default:
        break;
    }
    const int slope = cond.Word[WavWTrigSlope];
    lines.push_back("p s" + Num(slope));
    static const char* positions[] = {" 0", " 62", " 125", " 250", " 375", " 438"};
    const int pos = cond.Word[WavWTrigPos];
    lines.push_back(std::string("p t") + (pos >= 0 && pos <= 5 ? positions[pos] : ""));
    lines.push_back("p l" + Num(cond.Word[WavWTrigLevel]));
    lines.push_back("p s" + Num(cond.Word[WavWTrig] ? slope + 1 : 0));
    lines.push_back("t");
    for (const std::string& line : lines)
        if (!SndLineK(line)) return 0;
    const int c = GetChr();
    if (c >= 0) SndBuf[0] = static_cast<uint8_t>(c);
    return -1;
}

int16_t GrpChrK() {
    return GetChr() == kReadyChar ? int16_t(-1) : int16_t(0);
}

void GrpStopK() {
    SndLineK("s");
    SndLineK("e");
    RetVar = Variant(RcvLineK(RcvTxtK));
    RetVar = Variant(RcvLineK(RcvTxtK));
}

// "GRPDAT" (echo-checked) after the ready character; the amplifier answers with the points, four 7-bit
// bytes a point, closed by the ready character at a point boundary.
int16_t GrpDatK(std::vector<uint8_t>& data) {
    data.clear();
    if (!SendLine("GRPDAT", true)) return 0;
    constexpr size_t kAll = 2000;
    for (;;) {
        const int c = GetChr();
        if (c < 0) return data.size() == kAll ? int16_t(-1) : int16_t(0);
        if (data.size() % 4 == 0 && c == kReadyChar) return -1;
        if (data.size() == kAll) return 0;
        data.push_back(static_cast<uint8_t>(c));
    }
}

FamilyKCmds TeskKCmds() {
    FamilyKCmds k;
    k.IoMonK = IoMonK;
    k.ErrMonK = ErrMonK;
    k.HistK = HistK;
    k.MonK = MonK;
    k.PrmJuShinK = PrmJuShinK;
    k.UsrPrmSouShinK = UsrPrmSouShinK;
    k.SysPrmSouShinK = SysPrmSouShinK;
    k.AutoK = AutoK;
    k.GrpStartK = GrpStartK;
    k.GrpChrK = GrpChrK;
    k.GrpStopK = GrpStopK;
    return k;
}
