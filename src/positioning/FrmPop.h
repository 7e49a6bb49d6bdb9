// The positioning editor: a child window with three pages, the steps and the 16-bit and 32-bit
// positioning parameters, eight rows each over the tables, with the transfers, files, EEPROM write and
// print of the positioning data. What it decides lives in PopEdit; the window shows and forwards.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

#include "positioning/PopEdit.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;

class FrmPop : public QWidget {
    Q_OBJECT
  public:
    // Opens the editor (or brings it to the front); the one instance while it is loaded, else null.
    static FrmPop* Show();
    static FrmPop* Instance();
    ~FrmPop() override;

    void UpdCaption(const std::string& name);
    void DispDataSource();
    void UpdAxis();
    static void SetCmbAsItmDat(QComboBox* combo, int32_t code);

    // Menu commands.
    void MnuPrmHoZon_Click();
    void MnuPrmYomiDashi_Click();
    void MnuPrmKiTeiChi_Click();
    void MnuHenSyuComment_Click();
    void MnuPrmZyuShin_Click();
    void MnuPrmSouShin_Click();
    void MnuEepromKakiKomi_Click();
    void MnuInSatu_Click();
    void MnuTojiru_Click();
    void bit_value_Click();

    // Pages and rows.
    void TabStrip1_Click(int index);
    void VScrStep_Change();
    void VScrPrm_Change(bool wide);
    void UpdStepRowAt(int r);
    void ApplyPrmRow(bool wide, int r);
    void MoveCurRow(int r, bool takeOver, int column);
    void DispStepPage();
    void DispPrmPage(bool wide);
    int CurRow() const { return curRow_; }
    int CurPrmRow(bool wide) const { return prmRow_[wide ? 1 : 0]; }

    // Controls, by row 0..7.
    QTabBar* TabStrip1 = nullptr;
    QStackedWidget* FraPage = nullptr;
    std::array<QLabel*, 8> LblSNo{};
    std::array<QComboBox*, 8> CmbMod{}, CmbVel{}, CmbAcc{}, CmbDec{}, CmbBlk{};
    std::array<QLineEdit*, 8> TxtPos{};
    QLineEdit* TxtStpCmt = nullptr;
    QScrollBar* VScrStep = nullptr;
    QPushButton* CmdStpUpdVal = nullptr;
    std::array<QLabel*, 4> LblMsgStep{};
    struct PrmPage {
        std::array<QLabel*, 8> no{}, name{}, min{}, kara{}, max{};
        std::array<QLineEdit*, 8> val{};
        std::array<QWidget*, 8> updn{}; // up-down beside each value box
        QPushButton* set = nullptr;
        QScrollBar* scr = nullptr;
        std::array<QLabel*, 4> msg{};
    };
    PrmPage Prm[2]; // 16-bit, 32-bit
    QAction* MnuPrmHoZon = nullptr;
    QAction* MnuPrmYomiDashi = nullptr;
    QAction* MnuPrmKiTeiChi = nullptr;
    QAction* MnuHenSyuComment = nullptr;
    QAction* MnuPrmZyuShin = nullptr;
    QAction* MnuPrmSouShin = nullptr;
    QAction* MnuEepromKakiKomi = nullptr;
    QAction* MnuInSatu = nullptr;
    QAction* MnuTojiru = nullptr;
    QAction* bit_value = nullptr;
    QMenu* MnuInput = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QTimer* TimDispDataSource = nullptr;
    QTimer* TimMsgParaNotSend = nullptr;
    QTimer* TimReShow = nullptr;
    QTimer* TimShowValidAfterBoot = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    FrmPop();
    void Form_Load();
    void BuildStepPage(QWidget* page);
    void BuildPrmPage(QWidget* page, bool wide);
    void BuildMenus();
    void UpdMenuEnable(bool portSelected, int32_t source);
    void DispStepRow(int r);
    void DispCurRow();
    void DispStepGuide(int kind, int r);
    void FocusCurCell();
    void ScrollStepTo(int value, int row);
    bool StepKey(int r, int column, QKeyEvent* key);
    bool PrmKey(bool wide, int r, QKeyEvent* key);
    void StepPrmBox(bool wide, int r, int by);
    void PrmFocus(bool wide, int r, bool in);
    void TxtStpCmt_Change();
    void TimDispDataSource_Timer();
    void TimMsgParaNotSend_Timer();
    void TimReShow_Timer();
    QWidget* Cell(int r, int column) const;

    PopPageKeeper keptStep_, kept16_, kept32_;
    int curRow_ = 0, curCol_ = 0;
    int prmRow_[2] = {0, 0};
    bool editMode_ = false;
    int16_t reShowValue_ = 0;
    bool closing_ = false;
};
