// The decisions of the main window and its button panel, kept apart from the widgets so that they can be
// called without a window: which items the capability masks enable, the caption, the progress-bar range,
// the close-all order and its sequence, and the tiling of child windows.
#pragma once

#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- capability masks --------------------------------------------------------------------------

// Bits of a capability word.
enum FuncBit : uint16_t {
    FuncMonitor = 0x0001,
    FuncAlarm = 0x0002,
    FuncParameter = 0x0004,
    FuncAutoTuning = 0x0008,
    FuncWaveform = 0x0010,
    FuncFrequency = 0x0020,
    FuncPopParameter = 0x0040,
    FuncPopMonitor = 0x0080,
    FuncModelSelect = 0x0100, // Setting item 1, panel button CmdModel
    FuncAxisSelect = 0x0400,  // Setting item 0, panel button CmdAxis
};

// The word in force for a link state: off line (no handle) the off-line word, on line the word of the
// connection kind (1 RS-232C, 2 RS-485), any other kind 0. masks: 0 RS-232C, 1 RS-485, 2 off line.
int16_t FuncEnableFor(uint32_t comHandle, int32_t linkKind, const int16_t masks[3]);
// The same for the shared state (ComHandle, LinkKind, MenuMask).
int16_t GetFuncEnable();

// Display item (MnuHyouji index) and panel button (CmdGo index) 1 to 8: enabled by the mask's low byte.
// Item 0 (the window menu) is always enabled; item 9 (close all) is never switched and answers true.
bool HyoujiEnabled(int16_t mask, int index);
// Setting item (MnuSeTtei index) 0 to 3: 0 by the axis bit, 1 by the model bit, 2 always, 3 while a port
// is selected.
bool SeTteiEnabled(int16_t mask, int index, int16_t comPortNo);
// Panel buttons shown or hidden by the mask.
inline bool CmdModelVisible(int16_t mask) { return (static_cast<uint16_t>(mask) & FuncModelSelect) != 0; }
inline bool CmdAxisVisible(int16_t mask) { return (static_cast<uint16_t>(mask) & FuncAxisSelect) != 0; }

// ---- caption and status strip ------------------------------------------------------------------

// The main window's caption: model, axis (RS-485 only), port and bit rate, operating mode.
std::string CaptionText(const std::string& kisyuMei, int16_t comPortNo, int32_t linkKind, int16_t axisNo,
                        int32_t comBaud, int16_t userLevel);
// The same for the shared state.
std::string BuildCaption();

struct PbarRange {
    int max;
    int value;
};
// Progress bar settings for cur of max: max below 1 counts as 1, the value stays within 0..max.
PbarRange PbarFor(long cur, long max);

// ---- close-all ---------------------------------------------------------------------------------

// What the close-all sequence does once every screen is down.
enum CloseKindCode : int16_t {
    CloseForSeries = 1,     // series (and model) choice
    CloseForConnection = 2, // connection dialog
    CloseForComSettings = 3,// communication settings dialog
    CloseOnly = 9,          // nothing more
};

// The screens the sequence takes down, by form name: hidden in one order, unloaded in another.
extern const std::array<const char*, 8> HideOrder;
extern const std::array<const char*, 8> UnloadOrder;

// The window side of the close-all work.
class CloseAllHost {
public:
    virtual ~CloseAllHost() = default;
    virtual void EnableAllMenu(bool flag) = 0;
    virtual void Pump() = 0; // repaint the frame and let pending events run
    virtual bool IsLoaded(const char* form) = 0;
    virtual void HideForm(const char* form) = 0;
    virtual void UnloadForm(const char* form) = 0;
    virtual void AfterAllClose(int16_t kind) = 0;
};

// The state of a close-all request: pending from Start until its work is done. The work runs from a timer
// tick, and waits while a long operation runs (ComBusy non-zero), because such an operation lets events
// run inside its own code and its window must not be taken down under it.
class CloseAllSequence {
public:
    enum class Tick { Done, Wait, Idle };

    // Records a request; a second request before the work starts replaces the kind. False while the work
    // itself runs (the request is dropped).
    bool Start(int16_t kind);
    // One tick of the close-all timer: Wait while busy is non-zero (the timer must run again), Idle when
    // nothing is pending, Done after the work and the follow-up action ran.
    Tick OnTimer(CloseAllHost& host, int16_t busy);

    bool CloseGoing() const { return closeGoing_; }
    int16_t CloseKind() const { return closeKind_; }
    bool Running() const { return running_; }

private:
    void ExecAllClose(CloseAllHost& host);

    bool closeGoing_ = false;
    int16_t closeKind_ = CloseOnly;
    bool running_ = false;
};

// ---- window arrangement ------------------------------------------------------------------------

// Rectangles for n windows tiled in area: horizontally means one above the other, each as wide as the area;
// vertically means side by side. With many windows the tiles form a grid whose last row or column takes
// the remainder, so that every pixel of area is covered once.
std::vector<QRect> TileRects(int n, const QRect& area, bool horizontally);

// ---- frame size ----------------------------------------------------------------------------------

// The size at which a screen opens in the frame (its own widget, without the sub-window's frame and title),
// in pixels at a font whose lines are ScreenFontHeight pixels high. Measured from the screens' layouts; the
// walk through every screen checks each against its entry.
struct ScreenOpeningSize {
    const char* form;
    int width;
    int height;
};
inline constexpr int ScreenFontHeight = 14;
extern const std::array<ScreenOpeningSize, 8> ScreenOpeningSizes;
// The largest width and the largest height among the screens, for a font with lines fontHeight pixels high:
// a larger font makes the screens larger in proportion, a smaller one is taken as the measured font.
QSize LargestScreen(int fontHeight);
// Where the frame opens: at the size it needs, within the desktop's available area (the whole area when it
// needs more), centred in it.
QRect FrameOpeningRect(const QSize& need, const QRect& available);

// ---- texts -------------------------------------------------------------------------------------

namespace MainText {
inline constexpr const char* ExitQuestion = "Do you exit the Mevalo ?";
inline constexpr const char* ExitTitle = "Yes ?";
inline constexpr const char* NoMemory = "Too many application is being used.\nClose some unnecessary windows.";
inline constexpr const char* NoMemoryTitle = "Can not open the window.";
// Said when Close or Exit is asked for while a long operation runs.
inline constexpr const char* Busy = "Communication with the amplifier is in progress.\nTry again after it ends.";
inline constexpr const char* CloseTitle = "Close";
inline constexpr const char* ExitBusyTitle = "Exit of Mevalo";
} // namespace MainText

// ---- windows of other parts ---------------------------------------------------------------------

// What the main window opens but does not own. Each entry is wired by the code that provides the window;
// an empty entry opens nothing (the window does not exist yet). Tests replace entries to record calls.
struct MainLinks {
    std::function<void()> showVersion; // version window, modal
    std::function<void()> showPort;    // connection dialog, modal; leaves DlgResult
    std::function<void()> showType;    // series dialog, modal (reads TypeSelMode)
    std::function<void()> showCom;     // communication settings dialog, modal
    std::function<void()> comClose;    // closes the serial link and goes off line (see ConnClose)
    // Display items 1 to 8: open (or bring to the front) the screen of that item; index 0 unused.
    std::array<std::function<void()>, 9> openScreen;
    // The parameter editor's notice that its values were read from the amplifier.
    std::function<void(const std::string&)> paraUpdForRecv;
};
MainLinks& Links();
