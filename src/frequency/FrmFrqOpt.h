// The two option dialogs of the frequency files: what a save shall contain, and which parts of a file a
// load shall read and whether into the reference.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class FrmFrqSav : public QDialog {
    Q_OBJECT
  public:
    // "cancel", or one of "result", "condition", "parameter", "idtformat".
    static std::string Exec();
    using ShowHook = std::function<void(FrmFrqSav&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void CmdOk_Click();
    void Command1_Click();

    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 4> OptSaveMode{};
    QPushButton* CmdOk = nullptr;
    QPushButton* Command1 = nullptr;

  private:
    explicit FrmFrqSav(QWidget* parent);
    std::string result_ = "cancel";
};

class FrmFrqLod : public QDialog {
    Q_OBJECT
  public:
    // "cancel", or words with a leading blank each, in this order: " toref", " result", " condition",
    // " reference", " parameter". The boxes start as the file's kind (its last three letters) offers.
    static std::string Exec(const std::string& path, const std::string& caption);
    using ShowHook = std::function<void(FrmFrqLod&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void CmdOk_Click();
    void CmdCancel_Click();
    void ChkReference_Click();
    void ChkLoadMode_Click();

    QCheckBox* ChkReference = nullptr;
    QGroupBox* FraMeasure = nullptr;
    QGroupBox* FraReference = nullptr;
    std::array<QCheckBox*, 4> ChkLoadMode{}; // result, condition, reference, parameter
    std::array<QCheckBox*, 4> ChkRefLoadMode{};
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    explicit FrmFrqLod(QWidget* parent);
    void SetKind(const std::string& kind);
    std::string result_ = "cancel";
};
