// The driver-error window: tells the user that the amplifier answered a request with error bits in its
// status byte, and names those bits (listed in internal and SE mode).
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class FrmDrvErr : public QDialog {
    Q_OBJECT
  public:
    // When the last reply's status byte (ComStatus) is not 0: shows text, "Response:" and the status,
    // and the names of its set bits from bit-name set `set` (0..20), modally; logs "ChkRes:" & text &
    // ":" & status to Log.txt. A status of 0 shows nothing. A set outside 0..20 lists no names.
    static void DspErr(const std::string& text, int set);

    // For tests: while set, DspErr hands the filled window to the hook instead of running it modally;
    // the hook presses the buttons. Returns the previous hook.
    using ShowHook = std::function<void(FrmDrvErr&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmDrvErr() override;

    void CmdExit_Click();

    QLabel* Label1 = nullptr;
    QLabel* LblMsg = nullptr;
    QLabel* LblErrCod = nullptr;
    QListWidget* LstErr = nullptr;
    QPushButton* CmdExit = nullptr;

    // True while the window has the arrow pointer pushed over the caller's pointer.
    bool PointerPushed() const { return pointerPushed_; }

  private:
    explicit FrmDrvErr(QWidget* parent);
    void Form_Load();
    void RestorePointer();

    bool pointerPushed_ = false;
};

// "Response:" and the status in upper-case hexadecimal without leading zeros.
std::string DrvErrCodeText(int status);
// The names of the set bits of status, bit 7 down to bit 0, from bit-name set `set`; none for a set
// outside the table.
std::vector<std::string> DrvErrBitNames(int status, int set);
