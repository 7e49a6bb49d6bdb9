#include "setup/SetupDlg.h"

#include "setup/CopyToTemp.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QThread>

#include <cstdio>

namespace {

SetupDlg::MessageHook& Hook() {
    static SetupDlg::MessageHook hook;
    return hook;
}

const char* const Caption = "Setup";

// The dialog is laid out in dialog units: a quarter of the average character width across, an eighth
// of the character height down, so that it grows with the font.
class Units {
  public:
    explicit Units(const QFont& font) {
        const QFontMetrics fm(font);
        const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        baseX_ = (fm.horizontalAdvance(letters) / 26 + 1) / 2;
        baseY_ = fm.height();
    }
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
    int X(int units) const { return units * baseX_ / 4; }
    int Y(int units) const { return units * baseY_ / 8; }

  private:
    int baseX_ = 8;
    int baseY_ = 16;
};

QLineEdit* MessageLine(QWidget* parent, const QRect& where) {
    auto* line = new QLineEdit(parent);
    line->setReadOnly(true);
    line->setAlignment(Qt::AlignCenter);
    line->setFocusPolicy(Qt::NoFocus);
    line->setGeometry(where);
    return line;
}

} // namespace

SetupDlg::SetupDlg(std::string diskFolder, QWidget* parent)
    : QDialog(parent), diskFolder_(std::move(diskFolder)), tempFolder_(instoran::TempFolder()) {
    setWindowTitle(Caption);
    const Units u(font());
    setFixedSize(u.X(263), u.Y(49));

    CmdOk = new QPushButton("OK", this);
    CmdOk->setGeometry(u.Rect(205, 5, 50, 14));
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setGeometry(u.Rect(205, 22, 50, 14));

    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_LargeIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_DriveFDIcon).pixmap(side, side));
    icon->setAlignment(Qt::AlignCenter);
    icon->setGeometry(u.X(9), u.Y(10), side, side);

    TxtMessage = MessageLine(this, u.Rect(37, 11, 163, 12));
    TxtProgress = MessageLine(this, u.Rect(37, 28, 163, 12));
    TxtMessage->setText("Are you sure to start setup?");

    connect(CmdOk, &QPushButton::clicked, this, &SetupDlg::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &SetupDlg::CmdCancel_Click);
    connect(this, &SetupDlg::CopyFailed, this, &SetupDlg::OnCopyFailed, Qt::QueuedConnection);
    connect(this, &SetupDlg::CopyProgress, this, &SetupDlg::OnCopyProgress, Qt::QueuedConnection);
    // A worker that has copied its disk presses OK, as the user would.
    connect(this, &SetupDlg::CopyDone, this, &SetupDlg::CmdOk_Click, Qt::QueuedConnection);
}

SetupDlg::~SetupDlg() {
    copyFlag_ = instoran::CopyCancel;
    JoinWorker();
}

SetupDlg::MessageHook SetupDlg::SetMessageHook(MessageHook hook) { return std::exchange(Hook(), std::move(hook)); }

void SetupDlg::CmdOk_Click() {
    if (cancelling_) return;
    switch (step_) {
    case 0:
    case 2:
    case 4:
        StartCopy(step_ / 2 + 1);
        break;
    case 1:
    case 3:
        TxtMessage->setText(QString("Insert DISK %1 in the drive.").arg(step_ / 2 + 2));
        TxtProgress->clear();
        TxtProgress->setEnabled(true);
        CmdOk->setEnabled(true);
        // Disabling OK for the copy moved the focus to Cancel; Enter at the request must go on, not cancel.
        CmdOk->setFocus();
        break;
    default: {
        done(1);
        const std::string error = instoran::StartInstaller(tempFolder_);
        if (!error.empty())
            ShowMessage(QString::fromStdString("Cannot start the installer in " + tempFolder_ + ".\n" + error));
        return;
    }
    }
    ++step_;
}

void SetupDlg::CmdCancel_Click() {
    if (cancelling_) return;
    if (!worker_) {
        QDialog::done(2);
        return;
    }
    // The worker stops after its current block; the dialog ends once it has.
    cancelling_ = true;
    copyFlag_ = instoran::CopyCancel;
    CmdOk->setEnabled(false);
    CmdCancel->setEnabled(false);
}

void SetupDlg::reject() { CmdCancel_Click(); }

void SetupDlg::done(int result) {
    if (worker_) {
        copyFlag_ = instoran::CopyCancel;
        JoinWorker();
    }
    QDialog::done(result);
}

void SetupDlg::StartCopy(int disk) {
    JoinWorker();
    CmdOk->setEnabled(false);
    TxtMessage->setText("Prepareing setup.");
    TxtProgress->setText("Wait a minute...");

    copyFlag_ = instoran::CopyIdle;
    instoran::CopyJob job{diskFolder_, tempFolder_, &copyFlag_, [this](int blocks) {
                                  {
                                      std::lock_guard lock(progressLock_);
                                      progress_.push_back(blocks);
                                  }
                                  emit CopyProgress();
                              }};
    worker_ = QThread::create([this, job, disk] {
        std::string error;
        switch (instoran::CopyDisk(job, disk, &error)) {
        case instoran::CopyResult::Copied:
            emit CopyDone();
            break;
        case instoran::CopyResult::Failed:
            std::fprintf(stderr, "instoran: %s\n", error.c_str());
            emit CopyFailed();
            break;
        case instoran::CopyResult::Cancelled:
            break;
        }
    });
    const int generation = ++workerGeneration_;
    connect(worker_, &QThread::finished, this, [this, generation] {
        if (generation == workerGeneration_) OnWorkerFinished();
    });
    worker_->start();
}

void SetupDlg::OnCopyFailed() {
    if (cancelling_) return;
    ShowMessage("A setup goes wrong.");
    done(0);
}

void SetupDlg::OnCopyProgress() {
    std::deque<int> shown;
    {
        std::lock_guard lock(progressLock_);
        shown.swap(progress_);
    }
    for (const int blocks : shown) TxtProgress->setText(QString::fromStdString(instoran::ProgressText(blocks)));
}

void SetupDlg::OnWorkerFinished() {
    JoinWorker();
    if (cancelling_) QDialog::done(2);
}

void SetupDlg::JoinWorker() {
    if (!worker_) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void SetupDlg::ShowMessage(const QString& text) {
    if (Hook()) {
        Hook()(text, Caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, Caption, text, QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
}
