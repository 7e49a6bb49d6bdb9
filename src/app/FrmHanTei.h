// Port and baud detection: finds the COM port and bit rate at which an amplifier answers and opens the
// link there. The scan blocks for each try's time-outs and lets pending events run before every try,
// which is how Cancel gets in.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace HanTeiMsg {
inline constexpr const char* NotFound = "Can't detect the communication port or the amplifier.";
inline constexpr const char* NotFoundTitle = "Communication test";
inline constexpr const char* AskTitle = "Yes ?";
} // namespace HanTeiMsg

// "COM" & port & "  " & rate & "bps": the try shown while it runs.
std::string HanTeiTryText(int16_t port, int32_t rate);
// "Detect the amplifier at COM" & port & ". Do you connect ?"
std::string HanTeiAskText(int16_t port);

// The scan over ports and rates. Plain logic; the window supplies the event pump and the display.
class HanTeiScan {
  public:
    std::function<void()> pump;                      // lets pending events run (Cancel)
    std::function<bool()> cancelled;                 // true once the user pressed Cancel
    std::function<void(const std::string&)> showTry; // the current try

    int16_t port = 0; // in: the port to test, 0 = every port 1 to ComPortCnt; out: the port found
    int32_t baud = 0; // out: the rate found
    bool found = false;

    // Every port (or the one asked for), each at every rate of BaudTbl, up to the first that answers.
    void ScanAmp();
    // Every rate of BaudTbl on port p; true when one answered (baud is then that rate).
    bool ScanPort(int16_t p);
    // Opens p at rate, asks address 0 whether it is there, closes again. True when it answered with
    // status bit 0x80 clear. Nothing is tried once Cancel was pressed.
    bool TryBaud(int16_t p, int32_t rate);
};

// The detection's outcome once scan has run on port (0 = every port): asks whether to connect and opens
// the link. On success port and baud hold what was found, ComPortNo / ComBaud are set and DlgResult is
// -1; otherwise all four are 0 and DlgResult is 0 (a link that cannot be opened counts as not found).
void HanTeiExecWith(int16_t& port, int32_t& baud, const std::function<void(HanTeiScan&)>& scan);

class FrmHanTei : public QDialog {
  public:
    explicit FrmHanTei(HanTeiScan& scan, QWidget* parent = nullptr);
    ~FrmHanTei() override;

    QLabel* Label1;
    QLabel* LblPort;
    QPushButton* CmdCancel;

    void Form_Activate();
    void CmdCancel_Click();

    // Detection with the window shown modally while the scan runs.
    static void Exec(int16_t& port, int32_t& baud);

  protected:
    void showEvent(QShowEvent* e) override;
    void reject() override; // Esc and the close button act as Cancel

  private:
    HanTeiScan& scan_;
    bool started_ = false;
};
