// The data-file chooser: a drive list of the mounted volumes, a folder tree of the whole file system and a
// list of the data files of the chosen folder with the model name and first comment line from each file's
// header. The screens open their data files through it.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "app/FrmPrmSelLogic.h"

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTimer;
class QTreeView;
class QTreeWidget;

class FrmPrmSel : public QDialog {
    Q_OBJECT
  public:
    // Shows the chooser for files of the kind key with the given extensions (three letters each, run
    // together, e.g. "wgdwgcwgp") and returns the full path chosen, or "" (cancelled, or OK in a folder
    // without such files). The folder of a chosen file is remembered for key.
    static std::string Exec(const std::string& key, const std::string& extensions,
                            const std::string& typeName);

    // For tests: while set, Exec hands the window to the hook instead of running it modally.
    using ShowHook = std::function<void(FrmPrmSel&)>;
    static ShowHook SetShowHook(ShowHook hook);
    // For tests of the screens: while set, Exec returns its answer without any window.
    using Answerer = std::function<std::string(const std::string& key, const std::string& extensions,
                                               const std::string& typeName)>;
    static Answerer SetAnswerer(Answerer answerer);

    ~FrmPrmSel() override;

    const PrmSelLogic& Logic() const { return logic_; }
    // Makes path the current folder as if the user had picked it in the tree.
    void SelectFolder(const std::string& path);

    void TimInit_Timer();
    void TimSearch_Timer();
    void Drive1_Change();
    void Dir1_Change();
    void CmdOk_Click();
    void CmdCancel_Click();
    void ListView1_KeyPress(char key);

    QComboBox* Drive1 = nullptr;
    QTreeView* Dir1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;
    QTimer* TimInit = nullptr;
    QTimer* TimSearch = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FrmPrmSel(QWidget* parent);
    void Form_Load();
    // Shows path as the tree's current folder without taking it for a change by the user.
    void ShowFolder(const std::string& path);
    std::string TreeFolder() const;
    // Shows root as the drive list's current entry without taking it for a change by the user.
    void ShowDrive(const std::string& root);

    PrmSelLogic logic_;
    QFileSystemModel* dirModel_ = nullptr;
    std::vector<std::string> drives_;
    bool syncing_ = false;
};
