// The frequency-response measurement dialog: takes the measuring conditions, starts the measurement on
// the amplifier, polls it page by page and transfers the samples into the current measurement record.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/Adj.h"
#include "frequency/FrqGlb.h"

class BusyGuard;
class ExecRightGuard;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTextEdit;
class QTimer;

class FrmSokuTei : public QDialog {
    Q_OBJECT
  public:
    // Shows the dialog modally; "success" (the samples are in SokuTeiRec), "failure" (a measurement was
    // started and did not complete) or "cancel" (nothing was sent).
    static std::string Exec();

    // For tests: while set, Exec hands the filled window to the hook instead of running it modally.
    using ShowHook = std::function<void(FrmSokuTei&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmSokuTei() override;

    void CmdZiKkou_Click();
    void CmdCyuuShi_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();
    void TimDatPol_Timer();
    void ChkCondRange();

    const std::string& Result() const { return result_; }
    bool Measuring() const { return measuring_; }
    bool Unloaded() const { return unloaded_; }

    QLineEdit* TxtAmp = nullptr;
    QLineEdit* TxtOff = nullptr;
    QLineEdit* TxtSmp = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QCheckBox* ChkFce = nullptr;
    std::array<QLabel*, 10> Lbl1{};
    QGroupBox* FramZyouKen = nullptr;
    QPushButton* CmdZiKkou = nullptr;
    QPushButton* CmdCyuuShi = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* CmdHelp = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTextEdit* TxtMsg = nullptr;
    std::array<QLabel*, 2> LblMsg{};
    QLabel* LblResult = nullptr;
    QProgressBar* PbrTenSou = nullptr;
    QLabel* LblBui = nullptr;
    QLabel* LblKsy = nullptr;
    QTimer* TimDatPol = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FrmSokuTei(QWidget* parent);
    void Form_Load();
    void SetMeasuring(bool flag);
    bool FrqReqSend();
    bool FrqReqZero();
    void Stop(bool tell);
    void EndTransfer(); // release the right, unlock the controls
    void Unload();
    void SetLblResult(const char* text);
    void StoreCond(FrqCondRec& cond) const;

    std::string result_ = "cancel";
    int page_ = 0;
    int ptr_ = 0;
    int count_ = 0; // words the running measurement asked for
    bool torque_ = false;
    bool measuring_ = false;
    bool unloaded_ = false;
    AdjTbl adj_;
    std::array<QString, 3> saved_;
    bool savedFce_ = false;
    std::unique_ptr<BusyGuard> busy_;
    std::unique_ptr<ExecRightGuard> right_;
};
