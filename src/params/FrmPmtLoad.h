// The parameter load source dialog: where the editor's values come from (the amplifier, a parameter file or
// the factory presets), and whether the editor reads again on page and axis changes.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QRadioButton;

class FrmPmtLoad : public QDialog {
    Q_OBJECT
  public:
    // True (-1) when a load succeeded and the dialog closed by OK; False (0) otherwise.
    static int16_t Exec();

    using ShowHook = std::function<void(FrmPmtLoad&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmPmtLoad() override;
    void OptDrv_Click();
    void OptFil_Click();
    void OptDefault_Click();
    void CmdOk_Click();
    void Command1_Click();

    QRadioButton* OptDrv = nullptr;
    QRadioButton* OptFil = nullptr;
    QRadioButton* OptDefault = nullptr;
    QCheckBox* ChkRecvByPage = nullptr;
    QCheckBox* ChkRecvByAxis = nullptr;

  private:
    explicit FrmPmtLoad(QWidget* parent);
    void Form_Load();
    // Runs the chosen load. True when it succeeded.
    bool Load();

    int16_t result_ = 0;
};
