// The series dialog: lists the series of the catalogue and loads the chosen series' definition files.
// With TypeSelMode 2 it goes on to the model dialog.
#pragma once

#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;
class ModeKeyFilter;

// Loads the definition files of series key with the default rate table in place (the files may replace
// it). Only when they loaded do KisyuKey, BaudTbl and BaudCnt take the new series' values; otherwise they
// keep the old ones and the user is told. Returns loaded.
bool SelectSeries(const std::string& key);

class FrmType : public QDialog {
  public:
    explicit FrmType(QWidget* parent = nullptr);
    ~FrmType() override;

    QListWidget* List1;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;

    void Form_Load();
    void CmdOk_Click();
    void CmdCancel_Click();

  protected:
    void reject() override;

  private:
    void Unload();

    std::string modeBuf_;
    ModeKeyFilter* modeKeys_ = nullptr;
};

// Shows the series dialog modally; the outcome is DlgResult and the shared state.
void ShowFrmType(QWidget* parent = nullptr);
