// The system-configuration console ("Debug control"): developer switches of the link wrapper and the
// request core, the port test, and a few developer buttons. It is loaded hidden at start-up and stays
// loaded. The switches live in SysCon, which the link code reads; the definition file's DEBUG STATE group
// sets them through the hooks the console installs.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QPushButton;

// Switches of the console, 0 off and 1 on.
struct SysConRec {
    int16_t ChkDmyCom = 0; // replies from reply files, sends without the line
    int16_t ChkBlkLog = 0; // every block to a block log file
    int16_t Chk485Err = 0; // one extra reply dropped before each reply, status marked 0x90
    int16_t ChkComLog = 0; // the link library's trace
    int16_t ChkLogWin = 0; // the log window shown (and so recording)
};
extern SysConRec SysCon;

// Sets a switch by its box name as a click on the box does (the box follows while the console is
// loaded; the definition file's DEBUG STATE record is kept in step). Unknown names change nothing.
void SysConSetCheck(const std::string& box, int16_t value);
// Connects the DEBUG STATE group to the console: its switches, log categories, display and port test.
void SysConInstallHooks();

// Developer buttons whose work belongs to other modules; each reports that it is unavailable until set.
struct SysConCallsRec {
    // Saves the current parameters to path in the series' parameter format (code = KisyuCode).
    std::function<int16_t(const std::string& path, int16_t code)> prmHoZon;
};
SysConCallsRec& SysConCalls();

class FrmSysCon : public QWidget {
    Q_OBJECT
  public:
    // The one console, created hidden on the first call (which also installs the hooks).
    static FrmSysCon* Load();
    static FrmSysCon* Loaded();
    static void Unload();

    ~FrmSysCon() override;

    void ChkDmyCom_Click();
    void ChkBlkLog_Click();
    void Chk485Err_Click();
    void ChkComLog_Click();
    void ChkLogWin_Click();
    void CmdComTest_Click();
    void CmdSave_Click();
    void CmdSavePmt_Click();
    void CmdSetkiSyuMei_Click();

    // Puts the switches' values into the boxes without running their clicks.
    void ShowSwitches();

    QCheckBox* ChkDmyCom = nullptr;
    QCheckBox* ChkBlkLog = nullptr;
    QCheckBox* Chk485Err = nullptr;
    QCheckBox* ChkComLog = nullptr;
    QCheckBox* ChkLogWin = nullptr;
    QPushButton* CmdComTest = nullptr;
    QPushButton* CmdSave = nullptr;
    QPushButton* CmdSavePmt = nullptr;
    QPushButton* CmdSetkiSyuMei = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    explicit FrmSysCon(QWidget* parent = nullptr);
};
