// Intel-HEX parameter files: eight parameters a record at the series' address base, then the end record.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/IntelHex.h"
#include "data/PmtFil.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace {

// The file's series is told by the high address byte of its first record.
struct HexFileType {
    int adrHi;
    int16_t codes[2];
    int lastPrm;
};
constexpr HexFileType kHexTypes[] = {
    {0x00, {10, 11}, 63},
    {0x2F, {20, 20}, 95},
    {0x5F, {23, 25}, 127},
};

void Tell(const char* text) {
    plat::MsgBox(text);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A line that is a data record in every part but its checksum.
bool OnlySumWrong(std::string_view text, size_t from) {
    const size_t colon = text.find(':', from);
    if (colon == std::string_view::npos) return false;
    size_t end = colon;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    const std::string_view line = text.substr(colon, end - colon);
    if (line.size() != static_cast<size_t>(HexRecordLen)) return false;
    for (size_t i = 1; i < line.size(); i += 2)
        if (HexPairToVal(line[i], line[i + 1]) < 0) return false;
    return HexPairToVal(line[1], line[2]) == 2 * HexWords && HexPairToVal(line[7], line[8]) == 0;
}

bool ReadAll(const std::string& path, std::string& text) {
    plat::ReadError why;
    if (plat::ReadRegularFile(plat::RealPath(path), text, &why)) return true;
    log("Can't read " + path + ": " + why.text, LogOther);
    return false;
}

} // namespace

int16_t WriteHexFile(const std::string& path) {
    ClearErr();
    // Series 23 files carry the checksums of the parameters before them in 79 and 95; they go into the
    // written copy only, so that saving never changes the values on screen.
    const bool sums = KisyuCode == 23;
    const auto sum79 = static_cast<int16_t>(PrmSum(0, 79));
    const auto sum95 = static_cast<int16_t>(PrmSum(80, 95));
    plat::AtomicTextWriter out(path);
    uint32_t address = static_cast<uint32_t>(static_cast<uint16_t>(IhxBase)) * 256;
    for (int i = 0; i <= Prm16MaxAll && i < PrmCnt; i += HexWords) {
        int16_t values[HexWords] = {};
        for (int k = 0; k < HexWords; ++k) {
            const int n = i + k;
            if (n >= PrmCnt) break;
            // Below operating mode 2 the system parameters are not the user's to hand on.
            values[k] = UserLevel < 2 && (PrmAttr[n].Attr & PrmAttrSystem) ? int16_t(0) : PrmVal[n];
            if (sums && n == 79) values[k] = sum79;
            if (sums && n == 95) values[k] = sum95;
        }
        HexRecord r = MakeDataRecord(address & 0xFFFF, values);
        out.WriteLine(MakeHexRecord(r));
        address += 16;
    }
    out.WriteLine(HexEndRecord);
    if (!out.Commit()) {
        SetErr(ErrFileAccess, out.Error());
        ErrMsg("Writing the parameter");
        return plat::VbFalse;
    }
    return plat::VbTrue;
}

int16_t ReadHexFile(const std::string& path) {
    std::string text;
    if (!ReadAll(path, text)) return plat::VbFalse;

    HexRecord rec;
    size_t pos = 0;
    if (!ScanHexRecord(rec, text, pos)) {
        Tell(PmtText::FileError);
        return plat::VbFalse;
    }
    const HexFileType* type = nullptr;
    for (const HexFileType& t : kHexTypes)
        if (t.adrHi == rec.AdrHi) type = &t;
    if (!type) {
        Tell(PmtText::TypeDiffers);
        return plat::VbFalse;
    }
    if (KisyuCode != type->codes[0] && KisyuCode != type->codes[1]) {
        Tell(PmtText::ModelDiffers);
        return plat::VbFalse;
    }

    // Into a copy first: a file that fails part-way changes nothing.
    int16_t values[PrmCnt];
    std::copy(std::begin(PrmVal), std::end(PrmVal), std::begin(values));
    pos = 0;
    int n = 0;
    for (;;) {
        const size_t start = pos;
        if (ScanHexRecord(rec, text, pos)) {
            for (int k = 0; k < HexWords; ++k, ++n)
                if (n <= type->lastPrm) values[n] = static_cast<int16_t>(rec.Data[static_cast<size_t>(k)]);
            continue;
        }
        if (rec.State == HexEnd) break;
        size_t rest = start;
        while (rest < text.size() && IsSpace(text[rest]))
            ++rest;
        if (rest >= text.size())
            Tell(PmtText::FileError); // the file ends before its end record
        else if (rec.State == HexNoColon)
            Tell(PmtText::NoColon);
        else if (OnlySumWrong(text, start))
            Tell(PmtText::SumError);
        else
            Tell(PmtText::FileError);
        return plat::VbFalse;
    }
    std::copy(std::begin(values), std::end(values), std::begin(PrmVal));
    return plat::VbTrue;
}
