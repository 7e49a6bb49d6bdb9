// The windows of the data installer: the confirmation dialog that runs the installation, the copy window
// that shows one group being copied, and the replace question. What they decide is in app/ModLzf.h.
#pragma once

#include "app/ModLzf.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCloseEvent;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// Confirmation dialog: shows the medium's folder and starts the installation.
class FrmLzfDataInst : public QDialog {
  public:
    // Installs from source, a folder; a drive name such as "A:" stands for the folder of the installation
    // medium, which the user chooses (the last one is offered again). show: show the "Now Interpritting"
    // line. Returns the outcome: 0 not started, 1 started but not finished, 2 every group was copied.
    static int16_t Execute(const std::string& source, bool show);

    explicit FrmLzfDataInst(QWidget* parent = nullptr);
    void SetSource(const std::string& folder);
    bool Started() const { return started_; }

    QLabel* LblInsert = nullptr;
    QLabel* LblPath = nullptr;
    QLabel* LblReboot = nullptr;
    QPushButton* CmdBrowse = nullptr;
    QPushButton* CmdExec = nullptr;
    QPushButton* CmdCansel = nullptr;

    void CmdExec_Click();
    void CmdCansel_Click();
    void CmdBrowse_Click();

    int16_t InstResult = 0;
    std::string InstSrc;

  private:
    bool started_ = false;
};

// The folder chooser for the installation medium; returns the chosen folder, empty when cancelled. The
// program shows a folder dialog; tests install their own.
using LzfFolderChooser = std::function<std::string(const std::string& start)>;
LzfFolderChooser SetLzfFolderChooser(LzfFolderChooser chooser);

// Copy window: copies one group, one file per tick, with its progress. Closing it cancels the group.
class FrmLzfCopy : public QDialog {
  public:
    // Copies the group of job while the window shows; true when the group completed (also with no file).
    static bool Execute(const LzfGroupJob& job, std::string& overAnswer);
    // The pause between two files, in milliseconds (500 in the program).
    static void SetTickMs(int ms);
    // The window being shown, or null.
    static FrmLzfCopy* Current();

    FrmLzfCopy(LzfGroupCopy& copy, QWidget* parent = nullptr);
    ~FrmLzfCopy() override;
    // Shows "from <from> to <to>", both shortened until the line fits.
    void DirMsg(const std::string& from, const std::string& to);

    QLabel* LblFileName = nullptr;
    QLabel* LblCnt = nullptr;
    QLabel* PicDirMsg = nullptr;
    QFrame* PicWork = nullptr;
    QFrame* ShpWork = nullptr;
    QLabel* ImgArrow = nullptr;
    QPushButton* CmdCancel = nullptr;
    QTimer* TimCopyFile = nullptr;
    QTimer* TimBlink = nullptr;

    void TimCopyFile_Timer();
    void TimBlink_Timer();
    void CmdCancel_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void ShowProgress();

    LzfGroupCopy& copy_;
};

// Replace question: names the file and shows the sizes and dates of both.
class FrmLzfOverWrite : public QDialog {
  public:
    // The caption of the button pressed; "Cancel" when the window was closed.
    static std::string Execute(const LzfOverwriteInfo& info);

    explicit FrmLzfOverWrite(QWidget* parent = nullptr);
    void Fill(const LzfOverwriteInfo& info);
    const std::string& Answer() const { return answer_; }

    QLabel* LblTitle = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LblDstSize = nullptr;
    QLabel* LblDstDate = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* LblSrcSize = nullptr;
    QLabel* LblSrcDate = nullptr;
    QPushButton* CmdBtn[4] = {};

    void CmdBtn_Click(int index);

  private:
    std::string answer_ = LzfCancel;
};

// Gives the connection dialog its data-install call.
void WireDataInstaller();
