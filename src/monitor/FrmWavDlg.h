// The option dialogs of the waveform graph: what to save (FrmWavSav), what to read of a chosen file
// (FrmWavLod) and what to print (FrmPrnItem, also used by the frequency graph). Each returns its option
// words; callers test them by substring (the save dialog's whole).
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class FrmWavSav : public QDialog {
    Q_OBJECT
  public:
    // "result", "condition", "parameter" or "cancel"; ver becomes "ver2" or "ver3".
    static std::string Exec(std::string& ver);
    using ShowHook = std::function<void(FrmWavSav&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void CmdOk_Click();
    void CmdCancel_Click();

    QRadioButton* OptSaveMode[3] = {};
    QCheckBox* ChkVer2 = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    FrmWavSav();
    std::string result_ = "cancel";
    std::string ver_ = "ver3";
};

class FrmWavLod : public QDialog {
    Q_OBJECT
  public:
    // Word list of "toref", "result", "condition", "reference", "parameter", or "cancel".
    static std::string Exec(const std::string& fileName);
    using ShowHook = std::function<void(FrmWavLod&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void ChkLoadMode_Click(int index);
    void ChkReference_Click();
    void CmdOk_Click();
    void CmdCancel_Click();
    const std::string& Result() const { return result_; }

    QCheckBox* ChkReference = nullptr;
    QGroupBox* FraMeasure = nullptr;
    QGroupBox* FraReference = nullptr;
    QCheckBox* ChkLoadMode[4] = {};
    QCheckBox* ChkRefLoadMode[4] = {};
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    FrmWavLod();
    void SetKind(const std::string& fileName);
    std::string result_ = "cancel";
};

class FrmPrnItem : public QDialog {
    Q_OBJECT
  public:
    // Word list of "graph" and "parameter", or "cancel".
    static std::string Exec(const std::string& caption);
    using ShowHook = std::function<void(FrmPrnItem&)>;
    static ShowHook SetShowHook(ShowHook hook);

    void CmdOk_Click();
    void CmdCancel_Click();

    QCheckBox* ChkGraph = nullptr;
    QCheckBox* ChkParam = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    FrmPrnItem();
    std::string result_ = "cancel";
};
