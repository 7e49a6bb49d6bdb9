// The positioning monitor: watches a running positioning program (positions, speed, torque, errors,
// warnings, the current alarm, and on its tabs the step being executed, the positioning I/O bits and the
// load rates). It only reads from the amplifier.
#pragma once

#include <QWidget>

#include <array>

#include "positioning/PomPoll.h"

class QLabel;
class QStackedWidget;
class QTabBar;
class QTimer;

class FrmPom : public QWidget {
    Q_OBJECT
  public:
    static FrmPom* Show();
    static FrmPom* Instance();
    ~FrmPom() override;

    // The next poll reads from the new axis by itself.
    void UpdAxis() {}
    void Timer1_Timer();
    void TabStrip1_Click(int index);
    void LblTgtPos_Click();
    void CloseMonitor();
    // Shows what a poll reached.
    void Apply(const PomView& v);
    QString TabKey() const;

    QTabBar* TabStrip1 = nullptr;
    QStackedWidget* Frame4 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel *LblCmdPos = nullptr, *LblActPos = nullptr, *speed = nullptr, *LblTrq = nullptr, *LblErr = nullptr,
           *LblFce = nullptr, *LblAlmMsgNow = nullptr, *PicAlart = nullptr, *LblWork = nullptr;
    std::array<QLabel*, 8> LblPom{};
    std::array<QLabel*, 10> LblTgtMsg{};
    QLabel *LblTgtStp = nullptr, *LblTgtMod = nullptr, *LblTgtPos = nullptr, *LblTgtTim = nullptr;
    QLabel *LblTgtVel = nullptr, *LblTgtVelNam = nullptr, *LblTgtAcc = nullptr, *LblTgtAccNam = nullptr;
    QLabel *LblTgtAcS = nullptr, *LblTgtAcSNam = nullptr, *LblTgtDec = nullptr, *LblTgtDecNam = nullptr;
    QLabel *LblTgtDeS = nullptr, *LblTgtDeSNam = nullptr, *LblTgtBlk = nullptr;
    QLabel *Picture1 = nullptr, *Picture2 = nullptr;
    QLabel *LblLoad = nullptr, *LblKaisei = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    FrmPom();
    void Form_Load();
};
