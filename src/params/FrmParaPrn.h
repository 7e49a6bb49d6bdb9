// The parameter print dialog: which of the two parameter lists the editor prints.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;

class FrmParaPrn : public QDialog {
    Q_OBJECT
  public:
    // "cancel", or " para16" and / or " para32" in that order.
    static std::string Exec();

    using ShowHook = std::function<void(FrmParaPrn&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmParaPrn() override;
    void CmdOk_Click();
    void CmdCancel_Click();

    QCheckBox* ChkPara16 = nullptr;
    QCheckBox* ChkPara32 = nullptr;

  private:
    explicit FrmParaPrn(QWidget* parent);
    std::string result_ = "cancel";
};
