// The log window: diagnostic lines by category, copied to Log.txt. It is loaded hidden at start-up and
// stays loaded for the life of the program; lines are taken only while it is shown.
#pragma once

#include <QWidget>

#include <cstdint>
#include <string>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class FrmLog : public QWidget {
    Q_OBJECT
  public:
    static constexpr int LogModeCnt = 5;
    // The window keeps taking lines while it holds fewer characters than this; the file keeps everything.
    static constexpr int TextLimit = 2000;

    // The one log window, created hidden on the first call.
    static FrmLog* Load();
    // The log window when it is loaded, else null.
    static FrmLog* Loaded();
    // Unloads the window (at program end and in tests); its deletion is deferred to the event loop.
    static void Unload();

    // Shows text in the window and appends it to Log.txt, when the window is shown and kind shares a
    // category with the ticked boxes. A full window takes no more lines until it is cleared.
    void log(const std::string& text, int kind);
    // The category mask: bit i set while ChkLogMode[i] is ticked.
    int16_t Mask() const { return mask_; }

    ~FrmLog() override;

    void ChkLogMode_Click(int index);
    void CmdClear_Click();
    void CmdEdt_Click();

    QPlainTextEdit* TxtLog = nullptr;
    QCheckBox* ChkLogMode[LogModeCnt] = {};
    QPushButton* CmdClear = nullptr;
    QPushButton* CmdEdt = nullptr;

  private:
    explicit FrmLog(QWidget* parent = nullptr);

    int16_t mask_ = 0;
    int shownChars_ = 0; // characters in TxtLog, counting a line end as CR LF
};

// Whether a line of kind is logged: the window is shown and kind shares a bit with mask.
inline bool LogTakes(bool shown, int mask, int kind) {
    return shown && (mask & kind) != 0;
}
