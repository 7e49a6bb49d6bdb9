// The positioning print dialog: step data (all, to the page shown, or a range typed in hexadecimal) and
// the 16-bit and 32-bit parameter lists.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FrmPopPrn : public QDialog {
    Q_OBJECT
  public:
    // last goes in (the last step the editor shows) and comes back with first; options gets the words
    // (" step_all", " step_current", " step_specify", " pop16", " pop32") or "cancel".
    static void Exec(int& first, int& last, std::string& options);
    using ShowHook = std::function<void(FrmPopPrn&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void CmdOk_Click();
    void CmdCancel_Click();
    void ChkStep_Click();
    void OptStep_Click();

    QCheckBox* ChkStep = nullptr;
    QGroupBox* FraRange = nullptr;
    QRadioButton* OptStep[3] = {};
    QLineEdit* TxtNoFrom = nullptr;
    QLineEdit* TxtNoTo = nullptr;
    QCheckBox* ChkPop16 = nullptr;
    QCheckBox* ChkPop32 = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FrmPopPrn(QWidget* parent);
    int first_ = 0, last_ = 0;
    std::string options_ = "cancel";
    QString fromWas_, toWas_;
};
