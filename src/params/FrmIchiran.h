// The parameter list windows: every 16-bit (FrmIchiran) or 32-bit (FrmIchiran32) parameter of the current
// axis in one grid, where a typed value is stored, and written and read back at once.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

#include "params/ParaLogic.h"

class QLabel;
class QTableWidget;

class FrmIchiran : public QDialog {
    Q_OBJECT
  public:
    // Shows the 16-bit (is32 false) or 32-bit list modally.
    static void Exec(bool is32);

    using ShowHook = std::function<void(FrmIchiran&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmIchiran() override;

    // Rows below the header: one per parameter shown in the current operating mode.
    int Count() const { return count_; }
    void layout_EnterCell(int row, int col);
    void layout_LeaveCell(int row, int col);
    // A key pressed on the grid; true when the window used it.
    bool layout_KeyPress(int key, char ch);

    QLabel* Label1 = nullptr;
    QTableWidget* layout = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    FrmIchiran(QWidget* parent, bool is32);
    void Form_Load();
    void ShowValue(int row);
    // Widens the columns to their headings and names, and the window to its columns.
    void FitWidth();

    bool is32_;
    bool loading_ = true;
    int count_ = 0;
    int current_ = 0;
    CellBuffer buffer_;
};
