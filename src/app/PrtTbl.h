// Ruled tables on the program's printer. A table is described by one record and printed row by row; the
// page is 1000 units wide and 1414 high (an A-series sheet in portrait) whatever the paper, so one layout
// fits every printer. The caller sets the printer's orientation.
#pragma once

#include <cstdint>
#include <span>
#include <string>

constexpr int PrtTblCols = 11; // column boundaries 0..10, so at most 10 columns

struct PrtTblRec {
    int32_t PageWidthPt = 0; // page width in points, set by PrtTblInit
    int16_t OffsetX = 0;     // origin of the table, in page units
    int16_t OffsetY = 0;     // top of row 0
    int16_t RowHeight = 0;
    int16_t ColCount = 0;          // columns in use
    int16_t ColX[PrtTblCols] = {}; // column c spans ColX[c] to ColX[c + 1], relative to OffsetX
    std::string HeadText[PrtTblCols];
    std::string CellText[PrtTblCols]; // filled by the caller before each row
    int16_t ColKind[PrtTblCols] = {}; // 1 centred, 2 right, 3 left, anything else no text
    int16_t Pad = 0;                  // gap between text and cell edge for kinds 2 and 3
    int16_t LineColor = 0;            // colour of the rules (0 black)
    int16_t FontScale = 0;            // font size in ten-thousandths of the page width in points
    std::string FontName = "Arial";
};

// Prepares the printer page for tables and sets PageWidthPt.
void PrtTblInit(PrtTblRec& rec);
// The heading row (always centred) at row index row.
void PrtTblHead(PrtTblRec& rec, int16_t row);
// CellText as the row at row index row.
void PrtTblRow(PrtTblRec& rec, int16_t row);
// The rule at the top of row across all columns: after the last row it closes the table.
void PrtTblWaku(PrtTblRec& rec, int16_t row);
// CellText[col] in row: centred, right-aligned, left-aligned. A text keeps Pad from the rules on every side:
// a row too low for the font takes a smaller one, and a text too wide for its cell is shrunk a little or,
// beyond that, cut short with an ellipsis.
void PrtTblCell(PrtTblRec& rec, int16_t col, int16_t row);
void PrtTblCell2(PrtTblRec& rec, int16_t col, int16_t row);
void PrtTblCell3(PrtTblRec& rec, int16_t col, int16_t row);
// The top and left edges of cell (col, row).
void PrtTblRule(PrtTblRec& rec, int16_t col, int16_t row);

// Width of text in the font the cells of rec print in, in page units.
double PrtTblTextWidth(PrtTblRec& rec, const std::string& text);
// Widens the columns whose widest text (widest[c], as PrtTblTextWidth measures it; the headings count too)
// and padding do not fit, taking the room from columns that have more than their texts need, then letting
// the table grow up to maxWidth. Column order and the left edge stay.
void PrtTblFitColumns(PrtTblRec& rec, std::span<const double> widest, int16_t maxWidth);
