// The caution dialog: shows one row of the caution table before a risky operation and asks whether to
// go on. The user may switch a row off for the rest of the session.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

class FrmCaution : public QDialog {
    Q_OBJECT
  public:
    // Shows caution row index (0..10) modally unless the row is switched off; ok is True to go on.
    // A switched-off row gives True without showing anything. An index outside the table gives False:
    // an operation whose caution cannot be shown does not run.
    static void Exec(int index, bool& ok);

    // For tests: while set, Exec hands the filled window to the hook instead of running it modally;
    // the hook presses the buttons. Returns the previous hook.
    using ShowHook = std::function<void(FrmCaution&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmCaution() override;

    void CmdOk_Click();
    void Command1_Click();
    void ChkVoid_Click();

    QLabel* Image1 = nullptr;
    QLabel* LblMsg = nullptr;
    QCheckBox* ChkVoid = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* Command1 = nullptr;

  private:
    explicit FrmCaution(QWidget* parent);
    void Form_Load();

    int index_ = 0;
    bool answer_ = false;
};

// True when caution row index is switched off (and so is not shown).
bool CautionOff(int index);
