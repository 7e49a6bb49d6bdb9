#include "monitor/MonGlb.h"

#include <cstdio>

std::string AlmName[AlmCodeCnt];
std::string AlmTxt2[AlmCodeCnt];
std::string AlmTxt3[AlmCodeCnt];
std::string CtrlModeMenu[CtrlModeCnt];
int16_t FullCloseMode[CtrlModeCnt] = {};
std::string AbsoMenu[AbsoMenuCnt][3];
std::string IoName[IoKindCnt][IoBitCnt][3];
MeasItemRec MeasItem[MeasItemCnt];
EncoderRec EncoderTbl[EncoderCnt];
int16_t MoniOptCtrlMode = 0;
int16_t MoniOptIo1 = 0;
int16_t MoniOptIo2 = 0;
int16_t MoniOptLoad = 0;
int16_t MoniOptAbso = 0;
int16_t MoniOptMultiClr = 0;
int16_t ExtV30Val3 = 0;
int16_t ExtV30Val4 = 0;
std::string ExtV30Val16;
WavGraphRec WavGraph;
WavDateRec SokuTeiDate;
WavViewRec WavView;
WavLoadRec WavLoaded;

WavGraphRec::WavGraphRec()
{
    Ch[0].ShowLabels = 0;
    Ch[5].ShowLabels = 0;
    Ch[2].Factor = 20.0f;
}

std::string WavDateText(const WavDateRec& d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", d.Year, d.Month, d.Day, d.Hour, d.Minute,
                  d.Second);
    return buf;
}

namespace {

// Reads up to width digits at p; false when there is none.
bool Digits(const std::string& s, size_t& p, int width, int& out)
{
    const size_t start = p;
    out = 0;
    while (p < s.size() && p - start < static_cast<size_t>(width) && s[p] >= '0' && s[p] <= '9')
        out = out * 10 + (s[p++] - '0');
    return p > start;
}

bool Expect(const std::string& s, size_t& p, char c)
{
    if (p >= s.size() || s[p] != c) return false;
    ++p;
    return true;
}

} // namespace

bool WavDateParse(const std::string& text, WavDateRec& d)
{
    size_t p = 0;
    int y = 0, mo = 0, dd = 0, h = 0, mi = 0, sec = 0;
    if (!Digits(text, p, 4, y) || p != 4 || !Expect(text, p, '/') || !Digits(text, p, 2, mo) ||
        !Expect(text, p, '/') || !Digits(text, p, 2, dd))
        return false;
    if (p < text.size()) {
        if (!Expect(text, p, ' ') || !Digits(text, p, 2, h) || !Expect(text, p, ':') || !Digits(text, p, 2, mi) ||
            !Expect(text, p, ':') || !Digits(text, p, 2, sec) || p != text.size())
            return false;
    }
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 100 || mo < 1 || mo > 12 || dd < 1 || dd > kDays[mo - 1] || h > 23 || mi > 59 || sec > 59) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (mo == 2 && dd == 29 && !leap) return false;
    d = WavDateRec{static_cast<int16_t>(y), static_cast<int16_t>(mo), static_cast<int16_t>(dd),
                   static_cast<int16_t>(h), static_cast<int16_t>(mi), static_cast<int16_t>(sec)};
    return true;
}
