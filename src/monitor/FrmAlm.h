// The alarm window: the current alarm, the alarm (or, from operating mode 2, the system) history with one
// time stamp per entry, the present time counter and two internal-use values, polled on its timer; and
// the clears of the current alarm and of the histories.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

#include "monitor/MoniLogic.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;
class QToolBar;

class FrmAlm : public QWidget {
    Q_OBJECT
  public:
    static constexpr int Rows = 14;

    explicit FrmAlm(QWidget* parent = nullptr);
    ~FrmAlm() override;

    // Opens the window in the main window, or brings the open one to the front.
    static void Open();
    static FrmAlm* Instance();

    void Timer1_Timer();
    // Toolbar buttons by key: "ClearAlarm", "ClearHistory", "ClearSystemHistory", "Exit".
    void TBar_ButtonClick(const std::string& key);
    void ClrAlmAsk();
    void ClrHistAsk();
    void ClrSysHistAsk();

    QTimer* Timer1 = nullptr;
    QMenuBar* Menus = nullptr;
    QToolBar* TBar = nullptr;
    QLabel* PicAlmMsgNow = nullptr;
    QLabel* PicAlmTimNow = nullptr;
    QLabel* PicMkrDat1 = nullptr;
    QLabel* PicMkrDat2 = nullptr;
    std::array<QLabel*, Rows> Label2{};
    std::array<QLabel*, Rows> PicAlmMsg{};
    std::array<QLabel*, Rows> PicAlmTim{};
    QLabel* LblWork = nullptr;
    QAction* MnuClrSys = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void Form_Load();
    void CloseAlm();
    void SetWork(bool failed);
    void DispAlm();
    void RunClear(ClearKind kind);
    static void DrawPicText(QLabel* pic, const std::string& text, bool red);
    static void DrawHexVal(QLabel* pic, int32_t v);
    static void DrawHex4(QLabel* pic, int32_t v);
};
