// The axis window: which axis addresses (IDs 0 to 15) answer on an RS-485 line, and the choice of one,
// followed by the model set-up of the amplifier there. Also the set-up of the one amplifier of an RS-232C
// connection, which needs no window. While the window is loaded, busy bit 0x20 keeps the polling screens
// off the link.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace AxisMsg {
inline constexpr const char* Searching = "Searching the axis address(ID).";
inline constexpr const char* CommTitle = "Communication";
inline constexpr const char* NoAnswerAtOk =
    "Communication failed. Execute searching after confirming RSW(ID).";
inline constexpr const char* NoAnswer232 = "Communication failed. Confirm the connection.";
inline constexpr const char* ChangeTitle = "Change of the axis";
inline constexpr const char* PrmDefault = "Has read factory preset parameter.";
inline constexpr const char* PopDefault = "positioning parameter Default read.";
inline constexpr const char* KeptSource = "Value before the change of axis address(ID).";
inline constexpr const char* CantCancel = "Can't cancel.  Do you exit Mevalo ?";
inline constexpr const char* CantCancelTitle = "Selecting the axis address(ID).";
inline constexpr const char* ClickOk = "Click the <OK> button after setting the axis address(ID).";
inline constexpr const char* WindowTitle = "Selection of the axis address(ID)";
} // namespace AxisMsg

// The amplifier's answer to the axis query at address id (its own address as it knows it), or -1.
int16_t ValidAxis(int16_t id);

// Asks address 0, and when it answers 0 the addresses 1 to 15, with the scan time-outs in force; marks
// AxisTxt. The address found (0 after a scan, the answer of address 0 when it is 1 to 15), or -1.
// redraw is called after every change of AxisTxt.
int16_t SearchAxis(const std::function<void()>& redraw = {});
// The button to select after a search: the search result when no axis is chosen yet, else the chosen
// axis while its text is not empty, else the search result.
int16_t AxisSelection(int16_t axisNo, int16_t searchResult);
// The button caption of address i.
std::string AxisCaption(int i);

// True when the line answers through address 0 and the amplifier at id answers with its own address.
bool CheckAxis(int16_t id);

// Model set-up of the one amplifier of an RS-232C connection (at the address it gives). Busy bit 0x20 is
// set while it runs and cleared on every exit.
bool Set232Axis();

// The axis window's OK: checks id, changes the axis and tells the open screens. True when the change is
// complete (DlgResult -1); on false the window stays and the previous axis and model are in force.
bool AxisChangeOk(int16_t sel, const std::function<void(int16_t)>& redraw = {});

// What the axis window's Cancel does.
enum class AxisCancel { Unload, Stay, Quit };
// Before start-up has finished, or before OK was pressed: unload. Otherwise ask whether to end the
// program; No leaves the window open after telling the user to press OK.
AxisCancel AxisCancelAction(bool startUpDone, bool okPressed);

class FrmAxis : public QDialog {
  public:
    explicit FrmAxis(QWidget* parent = nullptr);
    ~FrmAxis() override;

    QGroupBox* Frame1;
    std::array<QRadioButton*, 16> OptAxis{};
    QPushButton* CmdReScan;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

    void Form_Load();
    void Form_Activate();
    void CmdReScan_Click();
    void CmdOk_Click();
    void CmdCancel_Click();

    // The 16 buttons from AxisTxt, selected the one at selected.
    void SetAxisCaption(int16_t selected);
    bool OkPressed() const { return okPressed_; }

  protected:
    void showEvent(QShowEvent* e) override;
    void reject() override; // Esc and the close button act as Cancel

  private:
    void RunAxisSearch();
    void Unload();
    int16_t Selected() const;

    bool okPressed_ = false;
    bool loaded_ = false;
};

// Shows the axis window modally (connection dialog, the main window's Setting menu); leaves DlgResult.
void ShowFrmAxis(QWidget* parent = nullptr);

// Installs detection, the axis query, the RS-232C set-up and the axis window into the connection calls.
void WireConnectSteps();
