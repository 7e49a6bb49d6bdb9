#include "data/PrmPrint.h"

#include "app/Glb.h"
#include "app/Prd.h"
#include "app/PrtTbl.h"
#include "app/Uty.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <algorithm>
#include <string>

namespace {

constexpr int SheetRows = 64;
constexpr int BlockRows = 32;
constexpr int MaxSheets = 4;

// The three tables of a sheet: the title, the header with the model and the comments, and the list.
struct SheetTables {
    PrtTblRec title;
    PrtTblRec head;
    PrtTblRec list;
};

void OneColumnBox(PrtTblRec& r, int16_t top, int16_t rowHeight) {
    r.OffsetX = 0;
    r.OffsetY = top;
    r.RowHeight = rowHeight;
    r.ColCount = 1;
    r.ColX[0] = 100;
    r.ColX[1] = 900;
    r.ColX[2] = 1000;
    r.Pad = 4;
    r.LineColor = 0;
    r.FontName = "Arial";
}

void FillTables(SheetTables& t, bool wide) {
    OneColumnBox(t.title, 50, 100);
    OneColumnBox(t.head, 1070, 30);
    PrtTblRec& l = t.list;
    l.OffsetX = 5;
    l.OffsetY = 200;
    l.RowHeight = 25;
    l.ColCount = 3;
    const int16_t edges[4] = {0, 60, 350, 430};
    for (int i = 0; i < 4; ++i)
        l.ColX[i] = edges[i];
    l.HeadText[0] = "Number";
    l.HeadText[1] = wide ? "32bit parameter" : "16bit parameter";
    l.HeadText[2] = "Setting value";
    l.ColKind[0] = 1;
    l.ColKind[1] = 3;
    l.ColKind[2] = 2;
    l.Pad = 4;
    l.LineColor = 0;
    l.FontName = "Arial";
}

void StartSheet(SheetTables& t, int16_t listScale) {
    PrtTblInit(t.title);
    PrtTblInit(t.head);
    PrtTblInit(t.list);
    t.title.FontScale = 400;
    t.list.FontScale = listScale;
    t.head.FontScale = 150;
}

struct ListKind {
    bool wide;         // 32-bit parameters
    std::string title; // by series
    int16_t count;     // parameters that have rows with name and value
};

void FillRow(PrtTblRec& list, const ListKind& k, int n) {
    list.CellText[0] = Hex2(n);
    // Rows past the count are left blank in both lists, so that parameters the mode hides are not printed.
    if (n < k.count && !k.wide) {
        list.CellText[1] = PrmAttr[n].name;
        list.CellText[2] = std::to_string(PrmVal[n]);
    } else if (n < k.count) {
        list.CellText[1] = Prm32Attr[n].name;
        list.CellText[2] = std::to_string(Prm32Val[n]);
    } else {
        list.CellText[1].clear();
        list.CellText[2].clear();
    }
}

// Widens the columns of the list where a number, name or value of the sheets first to last would not fit.
void FitList(SheetTables& t, const ListKind& k, int first, int last) {
    double widest[3] = {};
    for (int n = first * SheetRows; n < (last + 1) * SheetRows; ++n) {
        FillRow(t.list, k, n);
        for (int c = 0; c < 3; ++c)
            widest[c] = std::max(widest[c], PrtTblTextWidth(t.list, t.list.CellText[c]));
    }
    PrtTblFitColumns(t.list, widest, t.list.ColX[3]);
}

void PageBody(SheetTables& t, const ListKind& k, int sheet) {
    t.head.CellText[0] = "Model name : " + DelMark(KisyuMei);
    PrtTblCell(t.head, 0, 0);
    for (int i = 0; i < CommentLines; ++i) {
        t.head.CellText[0] = CommentTxt[0][i];
        PrtTblCell(t.head, 0, static_cast<int16_t>(i + 1));
    }
    t.title.CellText[0] = k.title;
    PrtTblCell(t.title, 0, 0);

    for (int block = 0; block < 2; ++block) {
        t.list.OffsetX = block == 0 ? 80 : 530;
        PrtTblHead(t.list, 0);
        for (int i = 0; i < BlockRows; ++i) {
            FillRow(t.list, k, sheet * SheetRows + block * BlockRows + i);
            PrtTblRow(t.list, static_cast<int16_t>(i + 1));
        }
        PrtTblWaku(t.list, BlockRows + 1);
    }
}

// Gives the printer back in the orientation it had, however printing ends.
class KeepOrientation {
  public:
    explicit KeepOrientation(int16_t now) : was_(Printer().Orientation()) { Printer().SetOrientation(now); }
    ~KeepOrientation() { Printer().SetOrientation(was_); }
    KeepOrientation(const KeepOrientation&) = delete;
    KeepOrientation& operator=(const KeepOrientation&) = delete;

  private:
    int16_t was_;
};

void PrintSheets(const ListKind& k, int first, int last) {
    const KeepOrientation orientation(k.wide ? 2 : 1);
    SheetTables t;
    FillTables(t, k.wide);
    PrdSurface& printer = Printer();
    if (ExtV25Opt[2] != 1) {
        for (int s = first; s <= last; ++s) {
            StartSheet(t, 130);
            FitList(t, k, first, last);
            PageBody(t, k, s);
            printer.EndDoc();
        }
        return;
    }
    StartSheet(t, k.wide ? 110 : 130);
    FitList(t, k, first, last);
    for (int s = first; s <= last; ++s) {
        PageBody(t, k, s);
        if (s < last) printer.NewPage();
    }
    printer.EndDoc();
}

void PrintList(const ListKind& k, int16_t count) {
    // One document can hold the four sheets of numbers 00 to FF and no more; say so rather than leave
    // the user with nothing.
    if (count > MaxSheets * SheetRows && ExtV25Opt[2] == 1) {
        plat::MsgBox(
            "The parameter list holds the parameters 00 to FF only; the parameters from 100 on are not "
            "printed.",
            plat::Buttons::Ok, plat::Icon::Information, "Print");
    }
    PrintSheets(k, 0, PrmPrintSheets(count) - 1);
}

} // namespace

int16_t PrmPrintSheets(int16_t count) {
    if (count <= SheetRows) return 1;
    const int sheets = (count + SheetRows - 1) / SheetRows;
    return static_cast<int16_t>(sheets > MaxSheets ? MaxSheets : sheets);
}

std::string PrmPrintTitle16(int16_t code) {
    if ((code >= 10 && code <= 12) || (code >= 20 && code <= 24)) return "16bit parameter list";
    if (code == 25) return "16bit Parameter list";
    return {};
}

std::string PrmPrintTitle32(int16_t code) {
    if ((code >= 10 && code <= 12) || (code >= 20 && code <= 25)) return "32bit parameter list";
    return {};
}

void PrintPrm16(int16_t count) {
    PrintList({false, PrmPrintTitle16(KisyuCode), count}, count);
}

void PrintPrm32(int16_t count) {
    PrintList({true, PrmPrintTitle32(KisyuCode), count}, count);
}
