// The main window: the multiple-document frame every screen lives in, with the menus, the status strip,
// the caption and the close-all sequence that takes every screen down before the connection, the series
// or the communication settings change.
//
// Menu items of the indexed menus are QActions named "<menu>_<index>" (ItemName), on this window and on
// every screen that carries the same menus, so that MnuFilEnable and MnuHyoujiEnable can set them on any
// window by name.
//
// A screen builds its menus in a menu bar of its own, as a window would; in the frame that bar stays hidden
// and the frame's one menu bar shows the active screen's menus while it is active, and the frame's own
// menus when no screen with menus is.
#pragma once

#include "app/MainLogic.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <string>

class QAction;
class QCloseEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QTimer;

class Mevalo : public QMainWindow, private CloseAllHost {
    Q_OBJECT

public:
    explicit Mevalo(QWidget* parent = nullptr);
    ~Mevalo() override;

    // The main window while it exists, else null.
    static Mevalo* Instance();
    // Object name of item index of an indexed menu, e.g. ItemName("MnuSeTtei", 2) = "MnuSeTtei_2".
    static QString ItemName(const char* menu, int index);

    // ---- public methods the program and the screens call ----
    void MnuVerGrp_Click();
    // 0 cascade, 1 tiled horizontally (one above the other), 2 tiled vertically (side by side).
    void MnuWin_Click(int16_t index);
    // Sets frm's Setting items 0 to 3 from the mask in force and the port.
    void MnuFilEnable(QWidget* frm);
    // 0 axis dialog; 1 series choice, 2 connection dialog, 3 communication settings, each after close-all.
    void MnuSeTtei_Click(int16_t index);
    // Sets frm's Display item 0 enabled and items 1 to 8 from the mask in force.
    void MnuHyoujiEnable(QWidget* frm);
    void MnuHyouji_Oya_Click();
    // Opens the screen of a Display item: 0 the button panel, 1 to 8 the screens, 9 close all windows.
    void MnuHyouji_Click(int16_t index);
    // Closes the serial link, hides the main window and ends the program at once.
    [[noreturn]] void bye();
    void MnuSyuuRyou_Click();
    // For the screens' polling timers: true (and tmr switched off) while a close-all request is pending.
    bool IsCloseGoing(QTimer* tmr);
    void AfterAllClose(int16_t kind) override;
    void UpdCaption();
    void UpdStat(const std::string& text);    // shown for about one second
    void UpdStatFix(const std::string& text); // shown until the next UpdStat or UpdPbar
    void UpdPbar(long cur, long max);
    void ParaUpdMsg(const std::string& text);

    // ---- frame services ----
    // Puts a screen into the frame as a child window (not shown yet); returns its sub-window. The screen's
    // own menu bar is hidden: its menus show in the frame's menu bar while the screen is active.
    QMdiSubWindow* AddChild(QWidget* screen);
    // The screen whose menus the frame's menu bar shows, or null for the frame's own.
    QWidget* MenuOwner() const;
    // Shows a screen (its sub-window when it is in the frame) and brings it to the front: what a second
    // open of a screen does, and the end of the first.
    static void ShowChild(QWidget* screen);
    // Cuts the connections from a screen's controls to the screen. A screen's destructor calls it first: its
    // controls go down after it, and a last signal of theirs (a box losing its focus) must not reach the
    // handlers of a window that is no longer whole.
    static void DetachControls(QWidget* screen);
    QMdiArea* MdiArea() const { return mdi_; }
    // Shows the button panel (loading it first when needed) and brings it to the front.
    void ShowFrmMenu();
    // Takes a loaded window down with its own unload handling and deletes it once control is back in the
    // event loop. False when the window refused to close.
    bool UnloadWindow(QWidget* form);
    // The one-shot timers the EEPROM write dialogs of the screens arm and test.
    QTimer* TimFrmEEPDisable() const { return timFrmEEPDisable_; }
    QTimer* TimFrmPopEEPDisable() const { return timFrmPopEEPDisable_; }

    bool CloseGoing() const { return closeAll_.CloseGoing(); }
    int16_t CloseKind() const { return closeAll_.CloseKind(); }

    // ---- unload handling ----
    enum class UnloadReason { User, SessionEnd };
    // True cancels the unload: refused while a long operation or the close-all work runs, or the user
    // answered No. At the end of the session the program ends at once.
    bool Form_QueryUnload(UnloadReason reason);
    [[noreturn]] void Form_Unload();

    // ---- event handlers ----
    void Timer1_Timer();
    void TimAllClose_Timer();
    void TimFrmEEPDisable_Timer();
    void TimFrmPopEEPDisable_Timer();
    void MnuFil_Click();
    void MnuClose_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void BuildMenus();
    void StartAllClose(int16_t kind);
    void EnableAllMenu(bool flag) override;
    void Pump() override;
    bool IsLoaded(const char* form) override;
    void HideForm(const char* form) override;
    void UnloadForm(const char* form) override;
    void UnloadAllChildren();
    void InstallFrameHooks();
    void RemoveFrameHooks();
    void ShowStrip();
    // Shows the menus of the active visible screen in the menu bar, or the frame's own.
    void UpdMenuBar();
    void ShowMenusOf(QWidget* screen);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The frame's client size at load: the inner size, or more when the button panel, the status strip
    // and the largest screen need it.
    QSize NeededClientSize() const;

    QMdiArea* mdi_ = nullptr;
    QWidget* PicStat = nullptr;
    QLabel* LblStat = nullptr;
    QProgressBar* PBar = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* TimAllClose = nullptr;
    QTimer* timFrmEEPDisable_ = nullptr;
    QTimer* timFrmPopEEPDisable_ = nullptr;
    QMenu* MnuFil = nullptr;
    QMenu* MnuHyouji_Oya = nullptr;
    QMenu* MnuWindow = nullptr;
    QMenu* MnuHelp = nullptr;
    QList<QAction*> ownMenus_;
    QPointer<QWidget> menuOwner_;

    CloseAllSequence closeAll_;
    bool waitCursor_ = false;
};
