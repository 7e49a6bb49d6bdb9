// The positioning load dialog: where the positioning data come from before the editor opens (the
// amplifier, the factory presets or a data file), and whether the editor receives pages as they are
// shown and everything again after an axis change.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QRadioButton;
class QPushButton;

class FrmPopLod : public QDialog {
    Q_OBJECT
  public:
    // Shows the dialog under caption; returns "Recieve", "Default", "File", or "Cancel".
    static std::string Exec(const std::string& caption);
    // For tests: while set, Exec hands the loaded dialog to the hook instead of running it modally.
    using ShowHook = std::function<void(FrmPopLod&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void Form_Load();
    void CmdOk_Click();
    void CmdCancel_Click();
    void OptDrv_Click();
    void OptFil_Click();
    void OptDefault_Click();

    const std::string& Result() const { return result_; }

    QRadioButton* OptDrv = nullptr;
    QRadioButton* OptFil = nullptr;
    QRadioButton* OptDefault = nullptr;
    QCheckBox* ChkRecvByPage = nullptr;
    QCheckBox* ChkRecvByAxis = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    explicit FrmPopLod(QWidget* parent);
    void Checks(bool on);
    std::string result_ = "Cancel";
};

// Receives everything from the amplifier for the load dialog (comments emptied first). False, after
// telling the user, when the link or a table failed.
bool RecvAllPop();
