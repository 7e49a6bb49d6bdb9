// Sizing a window to its contents. A wrapped text needs the height that its width gives it; a window's
// layout takes only the texts' own size hints as its minimum, so a window sized by it cuts wrapped texts
// whenever they get less width than they asked for.
#pragma once

#include <initializer_list>

class QWidget;

// Keeps w at least as high as its layout needs at its current width, wrapped texts included, from now on
// (texts that change later are measured again); the first time w is shown it opens at its preferred width
// and the height that width needs. Nothing for a window without a layout.
void FitToContents(QWidget* w);

class QTreeWidget;

// Sets each column of list to its share of width (shares in 32nds), but never narrower than its heading or
// its longest cell, so that no cell is cut. Returns the width the list needs to show every column whole
// that way: the columns' own needs, its frame and a vertical scroll bar.
int FitColumns(QTreeWidget* list, int width, const int (&shares32)[5]);

class QTableView;

// Sets each column of table to its width in least (the width it is laid out for), but never narrower than its
// heading or its longest cell. Returns the width the table needs to show every column whole that way.
int FitColumns(QTableView* table, std::initializer_list<int> least);

class QAbstractButton;
class QLabel;
class QString;

// The width button needs to show the widest of texts whole, clear of its bevel, and never less than least:
// for a small button drawn at a fixed width that changes its text.
int ButtonWidth(const QAbstractButton* button, std::initializer_list<QString> texts, int least);

// The height label needs to show lines lines of its font whole, inside its frame and margins.
int LinesHeight(QLabel* label, int lines);
