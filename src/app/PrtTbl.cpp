#include "app/PrtTbl.h"

#include "app/Prd.h"
#include "platform/Numbers.h"

#include <QColor>

namespace {

constexpr double PageWidth = 1000;
constexpr double PageHeight = 1414;

// Colour numbers hold red in the low byte, then green (and blue, which a 16-bit word cannot reach).
QColor RuleColor(int16_t c) {
    const auto v = static_cast<uint16_t>(c);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, 0);
}

int Col(const PrtTblRec& rec, int c) {
    return c >= 0 && c < PrtTblCols ? rec.ColX[c] : 0;
}

double RowTop(const PrtTblRec& rec, int row) {
    return double(rec.RowHeight) * row + rec.OffsetY;
}

enum class Align { Centre, Right, Left };

void Cell(PrtTblRec& rec, int col, int row, Align align) {
    if (col < 0 || col + 1 >= PrtTblCols) return;
    PrdSurface& p = Printer();
    p.SetFontName(rec.FontName);
    p.SetFontSize(double(rec.FontScale) * rec.PageWidthPt / 10000.0);
    const std::string& text = rec.CellText[col];
    const double w = p.TextWidth(text);
    const double h = p.TextHeight(text);
    double x = 0;
    switch (align) {
    case Align::Centre:
        x = Col(rec, col) + rec.OffsetX + (Col(rec, col + 1) - Col(rec, col)) / 2.0 - w / 2;
        break;
    case Align::Right:
        x = Col(rec, col + 1) + rec.OffsetX - w - rec.Pad;
        break;
    case Align::Left:
        x = Col(rec, col) + rec.OffsetX + rec.Pad;
        break;
    }
    const double y = RowTop(rec, row) + rec.RowHeight / 2.0 - h / 2;
    p.PrintText(x, y, text);
}

void RightBorder(const PrtTblRec& rec, int row) {
    const double x = Col(rec, rec.ColCount) + rec.OffsetX;
    const double y0 = RowTop(rec, row);
    Printer().Line(x, y0, x, y0 + rec.RowHeight, RuleColor(rec.LineColor));
}

int ColsInUse(const PrtTblRec& rec) {
    return rec.ColCount < 0 ? 0 : rec.ColCount < PrtTblCols ? rec.ColCount : PrtTblCols - 1;
}

} // namespace

void PrtTblInit(PrtTblRec& rec) {
    PrdSurface& p = Printer();
    p.ScalePoints();
    rec.PageWidthPt = static_cast<int32_t>(plat::RoundHalfEven(p.ScaleWidth()));
    p.Scale(0, 0, PageWidth, PageHeight);
    p.SetForeColor(Qt::black);
    p.SetDrawWidth(1);
    p.SetDrawStyle(Qt::SolidLine);
    p.SetFontName(rec.FontName);
    p.SetFontSize(rec.PageWidthPt * 150 / 10000.0);
}

void PrtTblCell(PrtTblRec& rec, int16_t col, int16_t row) {
    Cell(rec, col, row, Align::Centre);
}
void PrtTblCell2(PrtTblRec& rec, int16_t col, int16_t row) {
    Cell(rec, col, row, Align::Right);
}
void PrtTblCell3(PrtTblRec& rec, int16_t col, int16_t row) {
    Cell(rec, col, row, Align::Left);
}

void PrtTblRule(PrtTblRec& rec, int16_t col, int16_t row) {
    const double y0 = RowTop(rec, row);
    const double x0 = Col(rec, col) + rec.OffsetX;
    const QColor c = RuleColor(rec.LineColor);
    Printer().Line(x0, y0, Col(rec, col + 1) + rec.OffsetX, y0, c);
    Printer().Line(x0, y0, x0, y0 + rec.RowHeight, c);
}

void PrtTblRow(PrtTblRec& rec, int16_t row) {
    for (int c = 0; c < ColsInUse(rec); ++c) {
        switch (rec.ColKind[c]) {
        case 1:
            PrtTblCell(rec, c, row);
            break;
        case 2:
            PrtTblCell2(rec, c, row);
            break;
        case 3:
            PrtTblCell3(rec, c, row);
            break;
        default:
            break;
        }
        PrtTblRule(rec, c, row);
    }
    RightBorder(rec, row);
}

void PrtTblHead(PrtTblRec& rec, int16_t row) {
    for (int c = 0; c < ColsInUse(rec); ++c) {
        rec.CellText[c] = rec.HeadText[c];
        PrtTblCell(rec, c, row);
        PrtTblRule(rec, c, row);
    }
    RightBorder(rec, row);
}

void PrtTblWaku(PrtTblRec& rec, int16_t row) {
    const double y0 = RowTop(rec, row);
    for (int c = 0; c < ColsInUse(rec); ++c)
        Printer().Line(Col(rec, c) + rec.OffsetX, y0, Col(rec, c + 1) + rec.OffsetX, y0,
                       RuleColor(rec.LineColor));
}
