// The monitor window: live speed, torque, position error, control mode, alarm and warnings of the
// amplifier, and one page chosen on a tab strip (I/O states, pulse check-sums, load rates, absolute
// encoder, external scale). It polls on its timer beside the other polling windows.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

#include "monitor/MoniLogic.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;

class FrmMoni : public QWidget {
    Q_OBJECT
  public:
    explicit FrmMoni(QWidget* parent = nullptr);
    ~FrmMoni() override;

    // Opens the window in the main window, or brings the open one to the front.
    static void Open();
    // The loaded monitor window, or null.
    static FrmMoni* Instance();

    // The next poll uses the new axis address: nothing to do.
    void UpdAxis() {}
    // The interval the timer is armed with (the alarm window watches it while the monitor backs off).
    int TimerInterval() const;

    void Timer1_Timer();
    void TabStrip1_Click();
    void TBar_ButtonClick(const std::string& key);
    void CmdBatClr_Click();
    void CmdClr_Click();

    QTimer* Timer1 = nullptr;
    QTabBar* TabStrip1 = nullptr;
    QStackedWidget* Pages = nullptr;
    std::array<QGroupBox*, 5> Frame4{};
    QToolBar* TBar = nullptr;
    QLabel* speed = nullptr;
    QLabel* trq = nullptr;
    QLabel* err_cnt = nullptr;
    QLabel* LblCtrlMode = nullptr;
    QLabel* LblCtrlModeMsg = nullptr;
    QLabel* LblAlmMsgNow = nullptr;
    QLabel* PicAlart = nullptr;
    QLabel* LblWork = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QLabel* LblLoad = nullptr;
    QLabel* LblLoadMsg = nullptr;
    QLabel* LblKaisei = nullptr;
    QLabel* LblKaiseiMsg = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* LblAbsoType = nullptr;
    QLabel* LblAbsoTypeMsg = nullptr;
    QLabel* LblAbsoPosS = nullptr;
    QLabel* LblAbsoPosSMsg = nullptr;
    QLabel* LblAbsoPosM = nullptr;
    QLabel* LblAbsoPosMMsg = nullptr;
    QLabel* PicAbsoStat = nullptr;
    QLabel* LblAbsoStatMsg = nullptr;
    QPushButton* CmdBatClr = nullptr;
    QPushButton* CmdClr = nullptr;
    QLabel* LblCmdCnt = nullptr;
    QLabel* LblFBCnt = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* LblCmdCnt2 = nullptr;
    QLabel* LblExtFBPSum = nullptr;
    QLabel* LblExtFBErr = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label15a = nullptr;
    QLabel* Label15b = nullptr;
    QLabel* Label16 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void Form_Unload();
    void CloseMoni();
    void SetWork(bool failed);
    void Rearm(int ms);
    std::string SelectedTab() const;
    void ShowPage(const MoniCycle& c, const std::string& tab);
    void DispWarn();
    void DispIo(const std::string& tab);
    void DispAbsoStat();
    void DispAlmNow();
    void SetExtScaleEnabled(bool on);
    void RunClear(ClearKind kind);

    int32_t ExtFbPulseSum = 0;
    int32_t ExtScaleErr = 0;
};
