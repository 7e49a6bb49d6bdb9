// The launcher's one dialog: asks to start, copies the three disks into the temporary folder one after
// the other, a worker thread per disk, and then starts the installer there.
#pragma once

#include <QDialog>

#include <atomic>
#include <deque>
#include <mutex>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;
class QThread;

class SetupDlg : public QDialog {
    Q_OBJECT
  public:
    // diskFolder is where each disk is found when it is asked for.
    explicit SetupDlg(std::string diskFolder, QWidget* parent = nullptr);
    ~SetupDlg() override;

    // For tests: while set, messages go to the hook instead of a message box. Returns the previous one.
    using MessageHook = std::function<void(const QString& text, const QString& title)>;
    static MessageHook SetMessageHook(MessageHook hook);

    bool Copying() const { return worker_ != nullptr; }

    void CmdOk_Click();
    void CmdCancel_Click();

    QLineEdit* TxtMessage = nullptr;
    QLineEdit* TxtProgress = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  signals:
    // Sent by the worker thread; connected queued, so the dialog handles them on its own thread. They carry
    // no arguments: the block counts travel through a queue under a standard mutex, which, unlike the
    // arguments of a queued call, every race checker can see.
    void CopyFailed();
    void CopyProgress();
    void CopyDone();

  public slots:
    void reject() override; // the window's close box and Escape act as Cancel
    void done(int result) override;

  private:
    void StartCopy(int disk);
    void OnCopyFailed();
    void OnCopyProgress();
    void OnWorkerFinished();
    void JoinWorker();
    void ShowMessage(const QString& text);

    std::string diskFolder_;
    std::string tempFolder_;
    int step_ = 0;
    std::atomic<int> copyFlag_{0};
    std::mutex progressLock_;
    std::deque<int> progress_; // block counts the worker reported and the dialog has not shown yet
    QThread* worker_ = nullptr;
    int workerGeneration_ = 0; // tells a late finish of an earlier worker from the current one's
    bool cancelling_ = false;
};
