// The connection dialog: RS-232C, RS-485 or no amplifier, the COM port, and the entry to the data
// installer (shown in SE mode only). Its outcome is DlgResult and the shared connection state.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ModeKeyFilter;

// Entries of the port list: "Auto-set", then "COM1" to "COM<comPortCnt>" (COM1 always).
std::vector<std::string> PortEntries(int16_t comPortCnt);
// The text under the port list for entry index (0 is the automatic search).
std::string PortMessage(int index, const std::string& entryText);

class FrmPort : public QDialog {
  public:
    explicit FrmPort(QWidget* parent = nullptr);
    ~FrmPort() override;

    QGroupBox* FrmDrv;
    QRadioButton* Opt232;
    QRadioButton* OptDrv;
    QRadioButton* OptNoDrv;
    QLabel* Lbl232Msg;
    QLabel* LblDrvMsg;
    QLabel* LblNoDrvMsg;
    QGroupBox* FramPort;
    QLabel* LblDrv;
    QComboBox* CmbPort;
    QLabel* LblComMsg;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;
    QPushButton* CmdDataInstall;

    // The amplifier's answer to the axis query at address id, or -1.
    int16_t ValidAxis(int16_t id);

    void Form_Load();
    void Opt232_Click();
    void OptDrv_Click();
    void OptNoDrv_Click();
    void CmbPort_Click();
    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdDataInstall_Click();

    bool OkPressed() const { return okPressed_; }

  protected:
    void reject() override; // Esc and the window's close button act as Cancel

  private:
    void EnablePortFrame(bool on);
    void Conn232();
    void ConnDrv();
    void ConnNoDrv();
    void Unload();
    // Steps 1 to 3 shared by both on-line paths: series, then detection. False when the path stops.
    bool ChooseSeriesAndDetect();

    std::string modeBuf_;
    bool okPressed_ = false;
    ModeKeyFilter* modeKeys_ = nullptr;
};

// Shows the connection dialog modally (start-up loop, the main window's Setting menu).
void ShowFrmPort(QWidget* parent = nullptr);
