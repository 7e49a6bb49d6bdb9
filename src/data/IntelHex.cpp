#include "data/IntelHex.h"

#include <algorithm>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Hex digits are read in either case, the end record's too.
bool IsEndRecord(std::string_view line) {
    if (line.size() != HexEndRecord.size()) return false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i] >= 'a' && line[i] <= 'f' ? static_cast<char>(line[i] - 'a' + 'A') : line[i];
        if (c != HexEndRecord[i]) return false;
    }
    return true;
}

} // namespace

std::string IHX_Hex2(int byte) {
    static constexpr char digits[] = "0123456789ABCDEF";
    const int b = byte & 0xFF;
    return {digits[b >> 4], digits[b & 15]};
}

int HexPairToVal(char first, char second) {
    const int hi = HexDigit(first);
    const int lo = HexDigit(second);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

int16_t BytesToInt(int low, int high) {
    return static_cast<int16_t>(static_cast<uint16_t>(((high & 0xFF) << 8) | (low & 0xFF)));
}

HexRecord MakeDataRecord(uint32_t address, const int16_t (&values)[HexWords]) {
    HexRecord r;
    r.count = HexWords;
    r.AdrHi = static_cast<int16_t>((address >> 8) & 0xFF);
    r.AdrLo = static_cast<int16_t>(address & 0xFF);
    r.RecType = 0;
    for (int k = 0; k < HexWords; ++k)
        r.Data[static_cast<size_t>(k)] = values[k];
    return r;
}

std::string MakeHexRecord(HexRecord& record) {
    if (record.RecType != 0) return std::string(HexEndRecord);
    const int words = std::clamp<int>(record.count, 0, HexWords);
    int sum = 0;
    std::string line = ":";
    auto put = [&](int byte) {
        byte &= 0xFF;
        sum += byte;
        line += IHX_Hex2(byte);
    };
    put(2 * words);
    put(record.AdrHi);
    put(record.AdrLo);
    put(record.RecType);
    for (int k = 0; k < words; ++k) {
        const auto v = static_cast<uint16_t>(record.Data[static_cast<size_t>(k)]);
        put(v & 0xFF);
        put(v >> 8);
    }
    record.Sum = static_cast<int16_t>(sum & 0xFF);
    line += IHX_Hex2(-sum);
    return line;
}

int16_t ParseHexRecord(HexRecord& record, std::string_view characters) {
    record.State = HexGood;
    if (characters.empty() || characters[0] != ':') {
        record.State = HexNoColon;
        return 0;
    }
    auto bad = [&record] {
        record.State = HexBadSum;
        return int16_t(0);
    };
    if (characters.size() < static_cast<size_t>(HexRecordLen)) return bad();
    auto byteAt = [&](int i) {
        return HexPairToVal(characters[static_cast<size_t>(i)], characters[static_cast<size_t>(i + 1)]);
    };

    // Every pair first: a record is taken whole or not at all.
    int bytes[21];
    for (int k = 0; k < 21; ++k) {
        bytes[k] = byteAt(1 + 2 * k);
        if (bytes[k] < 0) return bad();
    }
    if (bytes[0] != 2 * HexWords || bytes[3] != 0) return bad();
    int sum = 0;
    for (int b : bytes)
        sum += b;
    if ((sum & 0xFF) != 0) return bad();

    record.count = HexWords;
    record.AdrHi = static_cast<int16_t>(bytes[1]);
    record.AdrLo = static_cast<int16_t>(bytes[2]);
    record.RecType = static_cast<int16_t>(bytes[3]);
    for (int k = 0; k < HexWords; ++k)
        record.Data[static_cast<size_t>(k)] = BytesToInt(bytes[4 + 2 * k], bytes[5 + 2 * k]);
    record.Sum = 0;
    return -1;
}

int16_t ScanHexRecord(HexRecord& record, std::string_view text, size_t& pos) {
    record.State = HexGood;
    const size_t look = std::min(text.size(), pos + 10);
    size_t colon = pos;
    while (colon < look && text[colon] != ':')
        ++colon;
    if (colon >= look) {
        pos = look;
        record.State = HexNoColon;
        return 0;
    }
    size_t end = colon;
    while (end < text.size() && !IsLineEnd(text[end]))
        ++end;
    const std::string_view line = text.substr(colon, end - colon);
    pos = end;
    while (pos < text.size() && IsLineEnd(text[pos]))
        ++pos;
    if (line.size() != static_cast<size_t>(HexRecordLen)) {
        record.State = IsEndRecord(line) ? HexEnd : HexBadSum;
        if (record.State == HexEnd) record.RecType = 1;
        return 0;
    }
    return ParseHexRecord(record, line);
}
