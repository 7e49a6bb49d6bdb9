#include "app/PrtTbl.h"

#include "app/Prd.h"
#include "platform/Numbers.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <vector>

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

// A text never gets smaller than this share of its row's font to fit its cell's width; past that it is cut.
constexpr double MinShrink = 0.7;
const char* const Ellipsis = "\xE2\x80\xA6";

double AskedPt(const PrtTblRec& rec) {
    return double(rec.FontScale) * rec.PageWidthPt / 10000.0;
}

// The cells' font: the size asked for, or less when the row is too low for it. The page is 1414 units high
// in either orientation, so a landscape sheet has low rows for a font sized by the page's width.
void SetCellFont(const PrtTblRec& rec) {
    PrdSurface& p = Printer();
    p.SetFontName(rec.FontName);
    double pt = AskedPt(rec);
    p.SetFontSize(pt);
    // The text's box holds the room for accents above the capitals and below the descenders; a quarter of
    // the padding on either side keeps the letters themselves clear of the rules.
    const double room = rec.RowHeight - rec.Pad / 2.0;
    if (room <= 0 || p.TextHeight("Xg") <= room) return;
    pt *= room / p.TextHeight("Xg");
    p.SetFontSize(pt);
    // Heights come in whole device pixels: a step or two more where the scaled size still rounds up.
    for (int i = 0; i < 10 && pt > 1 && p.TextHeight("Xg") > room; ++i) {
        pt *= 0.99;
        p.SetFontSize(pt);
    }
}

// Drops characters from the end, a whole UTF-8 sequence at a time, until the text and an ellipsis fit.
std::string CutToWidth(const std::string& text, double room) {
    PrdSurface& p = Printer();
    std::string s = text;
    while (!s.empty()) {
        size_t n = s.size() - 1;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
            --n;
        s.erase(n);
        if (p.TextWidth(s + Ellipsis) <= room) return s + Ellipsis;
    }
    return p.TextWidth(Ellipsis) <= room ? Ellipsis : std::string();
}

// Fits text into room in the current font: a smaller font, then a shorter text.
std::string FitWidth(const std::string& text, double room) {
    PrdSurface& p = Printer();
    if (p.TextWidth(text) <= room) return text;
    const double rowPt = p.FontSize();
    double pt = rowPt;
    for (int i = 0; i < 10 && p.TextWidth(text) > room && pt > rowPt * MinShrink; ++i) {
        pt = std::max(rowPt * MinShrink, pt * std::min(0.99, room / p.TextWidth(text)));
        p.SetFontSize(pt);
    }
    return p.TextWidth(text) <= room ? text : CutToWidth(text, room);
}

void Cell(PrtTblRec& rec, int col, int row, Align align) {
    if (col < 0 || col + 1 >= PrtTblCols) return;
    PrdSurface& p = Printer();
    SetCellFont(rec);
    const double left = Col(rec, col) + rec.OffsetX;
    const double right = Col(rec, col + 1) + rec.OffsetX;
    const std::string text = FitWidth(rec.CellText[col], right - left - 2.0 * rec.Pad);
    const double w = p.TextWidth(text);
    const double h = p.TextHeight(text);
    double x = 0;
    switch (align) {
    case Align::Centre:
        x = left + (right - left) / 2.0 - w / 2;
        break;
    case Align::Right:
        x = right - w - rec.Pad;
        break;
    case Align::Left:
        x = left + rec.Pad;
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

double PrtTblTextWidth(PrtTblRec& rec, const std::string& text) {
    SetCellFont(rec);
    return Printer().TextWidth(text);
}

void PrtTblFitColumns(PrtTblRec& rec, std::span<const double> widest, int16_t maxWidth) {
    const int n = ColsInUse(rec);
    std::vector<double> width(n), need(n);
    double shortBy = 0, slack = 0, total = 0;
    for (int c = 0; c < n; ++c) {
        width[c] = Col(rec, c + 1) - Col(rec, c);
        const double text =
            std::max(c < int(widest.size()) ? widest[c] : 0.0, PrtTblTextWidth(rec, rec.HeadText[c]));
        // A unit more for the rounding of the edges to whole units.
        need[c] = std::ceil(text) + 2.0 * rec.Pad + 1;
        if (need[c] > width[c])
            shortBy += need[c] - width[c];
        else
            slack += width[c] - need[c];
        total += width[c];
    }
    if (shortBy <= 0) return;
    // Room from the other columns first, so that the table keeps its size where it can; what is still
    // missing is shared out, and those texts shrink in their cells.
    const double fromSlack = std::min(shortBy, slack);
    const double grown = std::min(shortBy - fromSlack, std::max(0.0, maxWidth - total));
    const double given = fromSlack + grown;
    for (int c = 0; c < n; ++c) {
        if (need[c] > width[c])
            width[c] += (need[c] - width[c]) * given / shortBy;
        else if (slack > 0)
            width[c] -= (width[c] - need[c]) * fromSlack / slack;
    }
    double x = Col(rec, 0);
    for (int c = 0; c < n; ++c) {
        x += width[c];
        rec.ColX[c + 1] = static_cast<int16_t>(std::lround(x));
    }
}
