// The value entry dialog: one 16-bit value in hexadecimal, decimal and 16 bit buttons.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

class FrmHexBit : public QDialog {
    Q_OBJECT
  public:
    // Edits parameter number (0..256) starting from PrmVal(number); returns the edited value on OK, the
    // unchanged value otherwise. A number outside the table returns 0 without a dialog.
    static int16_t Exec(int16_t number);
    // The same for 16-bit positioning parameter number, starting from and naming that parameter.
    static int16_t ExecPop(int16_t number);
    // The dialog itself, for a value and the name shown above it.
    static int16_t ExecValue(int16_t value, const std::string& name);

    // For tests: while set, the dialog goes to the hook instead of running modally.
    using ShowHook = std::function<void(FrmHexBit&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmHexBit() override;

    // The value the bit buttons show.
    int16_t GetBits() const;
    void SetBits(int16_t value);
    void CmdBits_Click(int index);
    void T_16_Change();
    void T_16_GotFocus();
    void T_16_Escape();
    void ok_Click();
    void cancel_Click();

    QLabel* msg = nullptr;
    QLineEdit* T_16 = nullptr;
    QLineEdit* T_10 = nullptr;
    std::array<QPushButton*, 16> CmdBits{};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FrmHexBit(QWidget* parent);
    void ShowBits(int16_t value);

    int16_t result_ = 0;
    std::string savedHex_;
};
