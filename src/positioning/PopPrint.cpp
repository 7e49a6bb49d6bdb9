#include "positioning/PopPrint.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <utility>

#include "app/Glb.h"
#include "app/Prd.h"
#include "app/PrtTbl.h"
#include "app/Uty.h"
#include "positioning/PopGlb.h"

namespace {

constexpr int StepRows = 32;
constexpr int PrmRows = 64;
constexpr int MaxSheets = 1001;
constexpr int StepLeft = 80; // left edge of the step table

std::string HexText(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(v) & 0xFFFFu);
    return buf;
}

// The value of a hexadecimal text the way the dialog reads it (16-bit, so FFFF is -1); nothing when the
// text is not hexadecimal at all.
std::optional<int> HexValue(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    return static_cast<int16_t>(std::stoul(text, nullptr, 16));
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct Tables {
    PrtTblRec list, title, info;
};

void OneCellBox(PrtTblRec& r, int16_t top, int16_t rowHeight) {
    r.OffsetX = 0;
    r.OffsetY = top;
    r.RowHeight = rowHeight;
    r.ColCount = 1;
    r.ColX[0] = 100;
    r.ColX[1] = 900;
    r.ColX[2] = 1000;
    r.Pad = 4;
    r.FontName = "Arial";
}

void PrmEdges(PrtTblRec& l) {
    static const int16_t edges[] = {0, 60, 350, 430};
    l.ColCount = 3;
    std::copy(std::begin(edges), std::end(edges), l.ColX);
}

void InitTables(Tables& t, bool steps) {
    t = Tables{};
    PrtTblRec& l = t.list;
    l.OffsetX = 5;
    l.OffsetY = 200;
    l.RowHeight = 25;
    l.Pad = 4;
    l.FontName = "Arial";
    if (steps) {
        static const int16_t edges[] = {0, 50, 110, 230, 290, 350, 410, 470, 800};
        static const char* const heads[] = {"Number",   "Mode",         "Position/Dowel time",
                                            "Velocity", "Acceleration", "Deceleration",
                                            "Block",    "Comment"};
        static const int16_t kinds[] = {1, 1, 2, 1, 1, 1, 1, 3};
        l.ColCount = 8;
        std::copy(std::begin(edges), std::end(edges), l.ColX);
        for (int c = 0; c < 8; ++c) {
            l.HeadText[c] = heads[c];
            l.ColKind[c] = kinds[c];
        }
    } else {
        PrmEdges(l);
        l.HeadText[0] = "Number";
        l.HeadText[1] = "Parameter";
        l.HeadText[2] = "Setting value";
        l.ColKind[0] = 1;
        l.ColKind[1] = 3;
        l.ColKind[2] = 2;
    }
    OneCellBox(t.title, 50, 100);
    OneCellBox(t.info, 1070, 30);
    PrtTblInit(t.list);
    PrtTblInit(t.title);
    PrtTblInit(t.info);
    t.list.FontScale = steps ? 95 : 120;
    t.title.FontScale = steps ? 300 : 400;
    t.info.FontScale = steps ? 100 : 150;
}

void SheetHead(Tables& t, const std::string& title) {
    t.info.CellText[0] = "Model name : " + DelMark(KisyuMei);
    PrtTblCell(t.info, 0, 0);
    for (int i = 0; i < CommentLines; ++i) {
        t.info.CellText[0] = CommentTxt[3][i];
        PrtTblCell(t.info, 0, static_cast<int16_t>(i + 1));
    }
    t.title.CellText[0] = title;
    PrtTblCell(t.title, 0, 0);
}

// VB's Str: a leading blank for values of 0 and more.
std::string StrOf(int64_t v) {
    return v >= 0 ? " " + std::to_string(v) : std::to_string(v);
}

void StepCells(PrtTblRec& l, int n) {
    const PopStepRec& st = PopStep[n];
    // Names are looked up by code, as the editor's lists show them.
    l.CellText[0] = PopNo(n);
    l.CellText[1] = GetPopItmName(3, st.Mod);
    l.CellText[2] = st.PosEmpty ? std::string() : StrOf(st.Position);
    l.CellText[3] = GetPopItmName(0, st.Vel);
    l.CellText[4] = GetPopItmName(1, st.Acc);
    l.CellText[5] = GetPopItmName(2, st.Dec);
    l.CellText[6] = GetPopItmName(4, st.Blk);
    l.CellText[7] = st.Comment;
}

// Steps first to last that are in use.
int StepEnd(int last) {
    return std::min(last + 1, PopStepInUse());
}

// The step columns as wide as their widest text: the name columns as any name of the item table, the
// others as the steps printed. The table may grow up to a right margin as wide as its left one.
void FitStepColumns(PrtTblRec& l, int first, int last) {
    double widest[8] = {};
    auto widen = [&](int c, const std::string& text) {
        widest[c] = std::max(widest[c], PrtTblTextWidth(l, text));
    };
    const int itemColumn[8] = {-1, 3, -1, 0, 1, 2, 4, -1};
    for (int c = 0; c < 8; ++c)
        if (itemColumn[c] >= 0)
            for (const PopItemRec& it : PopItem[itemColumn[c]])
                widen(c, it.Name);
    for (int n = std::max(first, 0); n < StepEnd(last); ++n) {
        StepCells(l, n);
        for (int c : {0, 2, 7})
            widen(c, l.CellText[c]);
    }
    // The names first: a long comment may be cut, a name that says which speed a step runs at may not.
    const int16_t maxWidth = 1000 - 2 * StepLeft;
    const double comment = std::exchange(widest[7], 0.0);
    PrtTblFitColumns(l, widest, maxWidth);
    widest[7] = comment;
    PrtTblFitColumns(l, widest, maxWidth);
}

void StepSheet(Tables& t, int s, int first, int last) {
    SheetHead(t, "Step data list");
    PrtTblRec& l = t.list;
    l.OffsetX = StepLeft;
    PrtTblHead(l, 0);
    for (int r = 0; r < StepRows; ++r) {
        const int n = s * StepRows + first + r;
        for (auto& c : l.CellText)
            c.clear();
        if (n <= last && n < PopStepInUse()) StepCells(l, n);
        PrtTblRow(l, static_cast<int16_t>(r + 1));
    }
    PrtTblWaku(l, StepRows + 1);
}

void PrmCells(PrtTblRec& l, const PopPrmRec* tbl, int n) {
    l.CellText[0] = PopNo(n);
    l.CellText[1] = tbl[n].Name;
    l.CellText[2] = StrOf(tbl[n].Value);
}

// The parameter columns share the block's width as their widest texts need.
void FitPrmColumns(PrtTblRec& l, bool wide) {
    const PopPrmRec* tbl = wide ? Pop32Prm : Pop16Prm;
    double widest[3] = {};
    for (int n = 0, count = wide ? Pop32InUse() : Pop16InUse(); n < count; ++n) {
        PrmCells(l, tbl, n);
        for (int c = 0; c < 3; ++c)
            widest[c] = std::max(widest[c], PrtTblTextWidth(l, l.CellText[c]));
    }
    PrtTblFitColumns(l, widest, l.ColX[3]);
}

void PrmSheet(Tables& t, int s, bool wide) {
    SheetHead(t, wide ? "Positioning parameter list (32bit)" : "Positioning parameter list (16bit)");
    const PopPrmRec* tbl = wide ? Pop32Prm : Pop16Prm;
    const int count = wide ? Pop32InUse() : Pop16InUse();
    PrtTblRec& l = t.list;
    for (int block = 0; block < 2; ++block) {
        l.OffsetX = block == 0 ? 80 : 530;
        PrtTblHead(l, 0);
        for (int r = 0; r < StepRows; ++r) {
            const int n = s * PrmRows + block * StepRows + r;
            for (auto& c : l.CellText)
                c.clear();
            if (n < count) PrmCells(l, tbl, n);
            PrtTblRow(l, static_cast<int16_t>(r + 1));
        }
        PrtTblWaku(l, StepRows + 1);
    }
}

} // namespace

bool ChkStepRange(std::string& from, std::string& to) {
    const int lastAllowed = std::max(PopStepInUse() - 1, 0);
    bool adjusted = false;
    const auto f = HexValue(from), t = HexValue(to);
    const bool fOk = f && Upper(from) == HexText(*f);
    const bool tOk = t && Upper(to) == HexText(*t);
    if (!fOk) from = "0";
    if (!tOk) to = HexText(lastAllowed);
    adjusted = !fOk || !tOk;
    if (fOk && tOk) {
        auto inside = [&](std::string& box, int v) {
            if (v < 0)
                box = "0";
            else if (v > lastAllowed)
                box = HexText(lastAllowed);
            else
                return;
            adjusted = true;
        };
        inside(from, *f);
        inside(to, *t);
        if (*f > *t) {
            std::swap(from, to);
            adjusted = true;
        }
    }
    return !adjusted;
}

int PopStepSheets(int first, int last) {
    const int span = last - first + 1;
    int s = 0;
    while (s < MaxSheets) {
        ++s;
        if (s * StepRows >= span || s * StepRows >= PopStepInUse()) break;
    }
    return s;
}

int PopPrmSheets(int count) {
    int s = 0;
    while (s < MaxSheets) {
        ++s;
        if (s * PrmRows >= count) break;
    }
    return s;
}

void PrintPop(const std::string& options, int first, int last) {
    PrdSurface& printer = Printer();
    const int16_t was = printer.Orientation();
    bool started = false;
    // A new sheet only between sheets, so that the job ends without an empty page; an orientation
    // change applies from the next sheet.
    auto sheet = [&](int16_t orientation) {
        printer.SetOrientation(orientation);
        if (started) printer.NewPage();
        started = true;
    };
    Tables t;
    if (options.find("step") != std::string::npos) {
        for (int s = 0, n = PopStepSheets(first, last); s < n; ++s) {
            sheet(2);
            if (s == 0) {
                InitTables(t, true);
                FitStepColumns(t.list, first, last);
            }
            StepSheet(t, s, first, last);
        }
    }
    bool prmInit = false;
    auto prmSheets = [&](bool wide, int count) {
        for (int s = 0, n = PopPrmSheets(count); s < n; ++s) {
            sheet(1);
            if (!prmInit) InitTables(t, false);
            prmInit = true;
            if (s == 0) {
                PrmEdges(t.list);
                FitPrmColumns(t.list, wide);
            }
            PrmSheet(t, s, wide);
        }
    };
    if (options.find("pop16") != std::string::npos) prmSheets(false, Pop16InUse());
    if (options.find("pop32") != std::string::npos) prmSheets(true, Pop32InUse());
    printer.EndDoc();
    printer.SetOrientation(was);
}
