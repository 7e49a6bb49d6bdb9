// What the series and model dialogs share: a list above OK and Cancel, the operating-mode keys counted on
// the buttons and the dialog, the form registered under its name, and the ways out.
#pragma once

#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;
class ModeKeyFilter;
enum class ModeDlg;

class ListDlg : public QDialog {
  public:
    ~ListDlg() override;

    QListWidget* List1;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;

    // OK and a double click on the list.
    virtual void CmdOk_Click() = 0;
    virtual void CmdCancel_Click();

  protected:
    // name: the object and form name; mode: which dialog the mode keys count for.
    ListDlg(const char* name, ModeDlg mode, QWidget* parent);

    void reject() override;
    // Centres the dialog on the main window, when it has one.
    void CenterOnMain();
    void Unload();

  private:
    std::string modeBuf_;
    ModeKeyFilter* modeKeys_ = nullptr;
};
