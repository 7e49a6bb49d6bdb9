// The auto-tuning window: cautions, the stiffness slider, the tuned parameters before and after, and the
// run of the amplifier's own tuning. The window only shows; AutoTune decides.
#pragma once

#include "frequency/AutoLogic.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;
class QToolBar;

class FrmAuto : public QWidget {
    Q_OBJECT

public:
    explicit FrmAuto(QWidget* parent = nullptr);
    ~FrmAuto() override;

    // Opens the window (or brings it to the front) after the link check.
    static void Open();
    // The loaded window, else null.
    static FrmAuto* Instance();

    // Controls enabled exactly when busy is False; the text goes to the main window's status strip.
    void SetStatus(const std::string& text, bool busy);
    void UpdAxis();

    AutoTune& Logic() { return logic_; }

    // ---- event handlers ----
    void CmdZiKkou_Click();
    void SldGouSei_Change(int value);
    void Timer1_Timer();
    void WriteEEP();
    void ExitAuto();
    void MnuClose_Click();

    QToolBar* TBar = nullptr;
    QAction* TbStart = nullptr;
    QAction* TbExit = nullptr;
    QAction* TbEEP = nullptr;
    QGroupBox* FrameCaution = nullptr;
    QWidget* Picture1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QSlider* SldGouSei = nullptr;
    QLabel* LblGouSei = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LblMsgGouSei = nullptr;
    QPushButton* CmdZiKkou = nullptr;
    QGroupBox* FrmPara = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QLabel*, AutoTune::RowCnt> LblPara{};
    std::array<QLabel*, AutoTune::RowCnt> LblParaVal{};
    std::array<QLabel*, AutoTune::RowCnt> LblParaValAfter{};
    QTimer* Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus(QMenu* fil, QMenu* hyouji, QMenu* win, QMenu* help);
    void Form_Load();
    void Form_Unload();
    // Controls, timer and labels from the logic's state.
    void Sync();

    AutoTune logic_;
    bool unloaded_ = false;
};
