// The parameter editor: a child window that shows the 16-bit and 32-bit parameters page by page on grids
// of eight rows, lets the user choose the parameters of the Select lists, commits typed values through the
// single write, and carries the transfers, files, EEPROM writes, lists and print of the parameters.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

#include "params/ParaLogic.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;

// One grid of eight rows (16-bit or 32-bit) with its page bar and guide.
struct ParaGrid {
    bool is32 = false;
    QWidget* pane = nullptr;
    QLabel* HeadExtrac = nullptr;
    QScrollBar* VScrPage = nullptr;
    QLabel* LblPage = nullptr;
    QWidget* Frame1 = nullptr;              // the grid, in the window colour
    std::array<QLabel*, ParaRows> Label5{}; // each row's band, in the focus colours with its labels
    std::array<QCheckBox*, ParaRows> ChkGain{};
    std::array<QLabel*, ParaRows> No1{};
    std::array<QLabel*, ParaRows> name1{};
    std::array<QLabel*, ParaRows> min1{};
    std::array<QLabel*, ParaRows> max1{};
    std::array<QLineEdit*, ParaRows> PA{};
    std::array<QToolButton*, ParaRows> Up{};
    std::array<QToolButton*, ParaRows> Dn{};
    std::array<QPushButton*, ParaRows> CmdUpdVal{};
    QWidget* PicGuide = nullptr; // holds msg; shown while a row with a parameter has the focus
    std::array<QLabel*, 4> msg{};
    QLabel* LblMsgWrite = nullptr;
    int page = -2; // -2 before the first page is shown, so that showing page 0 counts as a change
    int row = 0;
};

class FrmPara : public QWidget {
    Q_OBJECT
  public:
    explicit FrmPara(QWidget* parent = nullptr);
    ~FrmPara() override;

    // The loaded editor, or null.
    static FrmPara* Instance();

    // ---- public methods of the form ----
    void UpdCaption(const std::string& text);
    void DispDataSource();
    void UpdForRecv(const std::string& text);
    void UpdAxis();
    void PS_load_Click();
    void DispPage(bool is32, int page);
    void DispParam(bool is32, int page);

    // ---- what tests and the menus drive ----
    ParaTab Tab() const { return tab_; }
    void SelectTab(ParaTab tab);
    ParaGrid& Grid(bool is32) { return is32 ? g32_ : g16_; }
    // The row's key handling in a value box; true when the key was used.
    bool PA_KeyDown(bool is32, int row, int key);
    void PA_SpaceUp(bool is32, int row);
    void CommitRow(bool is32, int row);
    void ChkGain_MouseUp(bool is32, int row);
    void GoToPage(bool is32, int page);
    void FocusRow(bool is32, int row);
    void UpdMenuState(int16_t level, bool linkOpen);
    QAction* Item(const char* name) const;

    void MnuPrmZyuShin_Click();
    void MnuUsrPrmSouShin_Click();
    void MnuSysPrmSouShin_Click();
    void MnuEepromKakiKomi_Click();
    void MnuSysEepromKakiKomi_Click();
    void MnuHenSyuComment_Click();
    void MnuPrmHoZon_Click();
    void MnuPrmSelHoZon_Click();
    void MnuPrmYomiDashi_Click();
    void MnuPrmSelYomiDashi_Click();
    void MnuPrmKiTeiChi_Click();
    void MnuInSatu_Click();
    void menu_Click(bool is32);
    void bit_value_Click();

    // Timers, each a one-shot deferral.
    void TimTabChange_Timer();
    void TimDispDataSource_Timer();
    void TimMsgParaNotSend_Timer();
    void TimReShow_Timer();
    void TimShowValidAfterBoot_Timer();

    QTabBar* TabStrip1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QMenuBar* MenuBar = nullptr;
    QTimer* TimTabChange = nullptr;
    QTimer* TimDispDataSource = nullptr;
    QTimer* TimMsgParaNotSend = nullptr;
    QTimer* TimReShow = nullptr;
    QTimer* TimShowValidAfterBoot = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Whether showing a page reads it from the amplifier first (only ever while pages are read as they
    // change): when it is not the page shown before, always, or not at all.
    enum class PageRead { IfNew, Always, None };

    void BuildGrid(ParaGrid& g);
    void BuildMenus();
    void Form_Load();
    void Form_Unload();
    ParaTab TabFor(bool is32) const;
    void ShowTab(PageRead read);
    void SetScrollRange(bool is32, int last, PageRead read);
    void ShowPage(bool is32, int page, PageRead read = PageRead::IfNew);
    void DispGuide(bool is32, int row, bool focused);
    void RowFocus(bool is32, int row, bool in);
    void RestoreRow(bool is32, int row);
    int RowIndex(bool is32, int row) const;
    // Reads the selection bits of a .prs file; only the selected bit is taken from it.
    void LoadSelection(const std::string& path);

    ParaGrid g16_;
    ParaGrid g32_;
    QStackedWidget* stack_ = nullptr;
    ParaTab tab_ = ParaTab::EditAll;
    bool scrollLock_ = false;
    bool focusLock_ = false;
    PageRead tabRead_ = PageRead::Always; // how the next tab build reads its page 0
    int16_t reShowValue_ = 0;
    int reShowRow_ = 0;
    bool unloaded_ = false;
};
