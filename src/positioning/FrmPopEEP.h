// The positioning EEPROM write dialog: lists what differs from the reference copy of the current axis
// and writes to EEPROM on confirmation.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

class FrmPopEEP : public QDialog {
    Q_OBJECT
  public:
    // Builds the change list and shows the dialog when it has rows; with the explicit option word and no
    // change, asks whether to write anyway. DlgResult -1 after a write, else 0. Does nothing while the
    // main window's re-entry timer runs.
    static void Exec(const std::string& options);
    // Reads the reference copy of the current axis (see PopCheckPoint).
    static void PopCheckPoint(const std::string& options);

    // For tests: while set, Exec hands the filled dialog to the hook instead of running it modally.
    using ShowHook = std::function<void(FrmPopEEP&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdSetBase_Click();

    QTreeWidget* ListView1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* CmdSetBase = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    explicit FrmPopEEP(QWidget* parent);
    bool Fill();
    void Widths();
    void Closed();
};
