// The EEPROM write dialog: lists what differs from the amplifier's EEPROM copy and writes the scope to
// EEPROM. Other screens reach it through the three static entries.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class FrmEEP : public QDialog {
    Q_OBJECT
  public:
    // Shows the change list for the scope in flags (option words) and writes on OK; leaves DlgResult -1
    // after a write, 0 when nothing was written. Does nothing within 100 ms of the dialog's last close.
    static void Exec(const std::string& flags);
    // Reads the scope's EEPROM copy of the current axis into the reference tables. The copy counts as read
    // only when every read of the scope succeeded.
    static void CheckPoint(const std::string& flags);
    // Copies the current axis's EEPROM copies back into the current values, each width when it was read.
    static void ChkeckDataToUserData();

    // For tests: while set, Exec hands the filled window to the hook instead of running it modally.
    using ShowHook = std::function<void(FrmEEP&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmEEP() override;

    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdSetBase_Click();

    QLabel* Label1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* Fram1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* CmdSetBase = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    explicit FrmEEP(QWidget* parent);
    // Writes the kept scope and reads its copy back. False when a write failed.
    bool WriteScope();
    void Closed();

    std::string flags_;
};
