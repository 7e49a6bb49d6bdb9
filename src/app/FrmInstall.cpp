#include "app/FrmInstall.h"

#include "app/ConnectCalls.h"
#include "app/Fit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <cctype>

namespace {

int& TickMs() {
    static int ms = 500;
    return ms;
}

FrmLzfCopy*& CurrentCopy() {
    static FrmLzfCopy* current = nullptr;
    return current;
}

LzfFolderChooser& FolderChooser() {
    static LzfFolderChooser chooser;
    return chooser;
}

bool HaveWindows() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// "A:" and the like: the drive the medium was in, which here is a folder the user names.
bool IsDriveName(const std::string& s) {
    return s.size() == 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

QSettings Settings() {
    return QSettings(QStringLiteral("Mevalo"), QStringLiteral("Mevalo"));
}

std::string LastMedium() {
    return Settings().value("Install/Source").toString().toStdString();
}

void RememberMedium(const std::string& folder) {
    Settings().setValue("Install/Source", QString::fromStdString(folder));
}

std::string ChooseFolder(QWidget* parent, const std::string& start) {
    if (FolderChooser()) return FolderChooser()(start);
    if (!HaveWindows()) return {};
    return QFileDialog::getExistingDirectory(parent, "Install data", QString::fromStdString(start))
        .toStdString();
}

} // namespace

// ---- confirmation dialog -----------------------------------------------------------------------------

FrmLzfDataInst::FrmLzfDataInst(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmLzfDataInst");
    setWindowTitle("Install data");
    LblInsert = new QLabel(this);
    LblPath = new QLabel(this);
    LblPath->setWordWrap(true);
    LblReboot = new QLabel("Now Interpritting", this);
    CmdBrowse = new QPushButton("Browse...", this);
    CmdExec = new QPushButton("Continue operation", this);
    CmdCansel = new QPushButton("Cancel", this);
    CmdExec->setDefault(true);

    auto* box = new QVBoxLayout(this);
    box->addWidget(LblInsert);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(LblPath, 1);
    pathRow->addWidget(CmdBrowse);
    box->addLayout(pathRow);
    box->addWidget(LblReboot);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdExec);
    buttons->addWidget(CmdCansel);
    box->addLayout(buttons);

    connect(CmdExec, &QPushButton::clicked, this, &FrmLzfDataInst::CmdExec_Click);
    connect(CmdCansel, &QPushButton::clicked, this, &FrmLzfDataInst::CmdCansel_Click);
    connect(CmdBrowse, &QPushButton::clicked, this, &FrmLzfDataInst::CmdBrowse_Click);
    // The path wraps; the window takes the height it needs whatever folder is shown.
    FitToContents(this);
}

void FrmLzfDataInst::SetSource(const std::string& folder) {
    InstSrc = folder;
    LblPath->setText(QString::fromStdString("(Path of file: '" + folder + "' )"));
}

void FrmLzfDataInst::CmdExec_Click() {
    started_ = true;
    InstResult = 1;
    accept();
}

void FrmLzfDataInst::CmdCansel_Click() {
    InstResult = 0;
    reject();
}

void FrmLzfDataInst::CmdBrowse_Click() {
    const std::string folder = ChooseFolder(this, InstSrc);
    if (!folder.empty()) SetSource(folder);
}

int16_t FrmLzfDataInst::Execute(const std::string& source, bool show) {
    std::string folder = source;
    if (IsDriveName(source)) {
        folder = LastMedium();
        if (folder.empty())
            folder = ChooseFolder(QApplication::activeWindow(), QDir::homePath().toStdString());
        if (folder.empty()) return 0;
    }
    FrmLzfDataInst dlg(QApplication::activeWindow());
    dlg.InstResult = 0;
    dlg.LblReboot->setVisible(show);
    dlg.LblInsert->setText("Data install");
    dlg.SetSource(folder);
    dlg.exec();
    if (!dlg.Started()) return 0;
    RememberMedium(dlg.InstSrc);
    LzfDataInstaller installer(dlg.InstSrc, &FrmLzfCopy::Execute);
    return installer.Install();
}

LzfFolderChooser SetLzfFolderChooser(LzfFolderChooser chooser) {
    LzfFolderChooser previous = std::move(FolderChooser());
    FolderChooser() = std::move(chooser);
    return previous;
}

// ---- copy window -------------------------------------------------------------------------------------

FrmLzfCopy::FrmLzfCopy(LzfGroupCopy& copy, QWidget* parent) : QDialog(parent), copy_(copy) {
    setObjectName("FrmLzfCopy");
    setWindowTitle(QString::fromStdString(copy.Job().caption));
    LblFileName = new QLabel("File name to copy", this);
    LblCnt = new QLabel("0/0", this);
    PicDirMsg = new QLabel(this);
    PicDirMsg->setMinimumWidth(360);
    PicWork = new QFrame(this);
    PicWork->setFrameShape(QFrame::Box);
    PicWork->setFixedHeight(18);
    ShpWork = new QFrame(PicWork);
    ShpWork->setAutoFillBackground(true);
    QPalette pal = ShpWork->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
    ShpWork->setPalette(pal);
    ShpWork->setGeometry(0, 0, 0, 0);
    ImgArrow = new QLabel(this);
    ImgArrow->setPixmap(style()->standardIcon(QStyle::SP_ArrowRight).pixmap(32, 32));
    CmdCancel = new QPushButton("Cancel", this);
    TimCopyFile = new QTimer(this);
    TimCopyFile->setInterval(TickMs());
    TimBlink = new QTimer(this);
    TimBlink->setInterval(250);

    auto* grid = new QGridLayout(this);
    grid->addWidget(ImgArrow, 0, 0, 2, 1);
    grid->addWidget(LblFileName, 0, 1);
    grid->addWidget(LblCnt, 0, 2, Qt::AlignRight);
    grid->addWidget(PicDirMsg, 1, 1, 1, 2);
    grid->addWidget(PicWork, 2, 0, 1, 3);
    grid->addWidget(CmdCancel, 3, 2);

    connect(CmdCancel, &QPushButton::clicked, this, &FrmLzfCopy::CmdCancel_Click);
    connect(TimCopyFile, &QTimer::timeout, this, &FrmLzfCopy::TimCopyFile_Timer);
    connect(TimBlink, &QTimer::timeout, this, &FrmLzfCopy::TimBlink_Timer);
    TimBlink->start();
    CurrentCopy() = this;
}

FrmLzfCopy::~FrmLzfCopy() {
    if (CurrentCopy() == this) CurrentCopy() = nullptr;
}

FrmLzfCopy* FrmLzfCopy::Current() {
    return CurrentCopy();
}
void FrmLzfCopy::SetTickMs(int ms) {
    TickMs() = ms < 0 ? 0 : ms;
}

bool FrmLzfCopy::Execute(const LzfGroupJob& job, std::string& overAnswer) {
    LzfGroupCopy copy(job, overAnswer);
    if (!copy.Start()) return false;
    if (copy.Total() == 0) return true;
    if (!HaveWindows()) {
        while (copy.GoOn() && !copy.AtEnd())
            copy.Step();
        return copy.Completed();
    }
    FrmLzfCopy w(copy, QApplication::activeWindow());
    w.ShowProgress();
    w.TimCopyFile->start();
    w.exec();
    w.TimCopyFile->stop();
    return copy.Completed();
}

void FrmLzfCopy::ShowProgress() {
    LblFileName->setText(QString::fromStdString(copy_.CurrentName()));
    DirMsg(copy_.SourceDir(), copy_.DestDir());
    LblCnt->setText(QString("%1/%2").arg(copy_.Done()).arg(copy_.Total()));
    const QRect inner = PicWork->contentsRect();
    const int total = copy_.Total() > 0 ? copy_.Total() : 1;
    ShpWork->setGeometry(inner.x(), inner.y(), inner.width() * copy_.Done() / total, inner.height());
    repaint();
}

void FrmLzfCopy::DirMsg(const std::string& from, const std::string& to) {
    const QFontMetrics fm(PicDirMsg->font());
    const int room = PicDirMsg->contentsRect().width();
    QString text;
    for (int n = 40; n >= 5; --n) {
        text = QString::fromStdString("from " + LimStr(from, n) + " to " + LimStr(to, n));
        if (fm.horizontalAdvance(text) < room) break;
    }
    PicDirMsg->setText(text);
}

void FrmLzfCopy::TimCopyFile_Timer() {
    TimCopyFile->stop();
    copy_.Step();
    if (copy_.GoOn() && !copy_.AtEnd()) {
        ShowProgress();
        TimCopyFile->start();
        return;
    }
    accept();
}

void FrmLzfCopy::TimBlink_Timer() {
    ImgArrow->setVisible(!ImgArrow->isVisible());
}

void FrmLzfCopy::CmdCancel_Click() {
    copy_.Cancel();
    TimCopyFile->stop();
    done(QDialog::Rejected);
}

// However the window goes away before its group is done, the rest of the group was not copied: a Cancel.
void FrmLzfCopy::closeEvent(QCloseEvent* event) {
    if (!copy_.AtEnd()) copy_.Cancel();
    QDialog::closeEvent(event);
}

void FrmLzfCopy::reject() {
    CmdCancel_Click();
}

// ---- replace question --------------------------------------------------------------------------------

FrmLzfOverWrite::FrmLzfOverWrite(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmLzfOverWrite");
    setWindowTitle("Confirm file replace");
    LblTitle = new QLabel(this);
    Label4 = new QLabel("Would you like to replace the existing file", this);
    LblDstSize = new QLabel(this);
    LblDstDate = new QLabel(this);
    Label5 = new QLabel("with this one?", this);
    LblSrcSize = new QLabel(this);
    LblSrcDate = new QLabel(this);
    const char* captions[4] = {LzfYes, LzfYesToAll, LzfNo, LzfCancel};
    auto* box = new QVBoxLayout(this);
    for (QLabel* l : {LblTitle, Label4, LblDstSize, LblDstDate, Label5, LblSrcSize, LblSrcDate})
        box->addWidget(l);
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        CmdBtn[i] = new QPushButton(captions[i], this);
        CmdBtn[i]->setObjectName(QString("CmdBtn_%1").arg(i));
        row->addWidget(CmdBtn[i]);
        connect(CmdBtn[i], &QPushButton::clicked, this, [this, i] { CmdBtn_Click(i); });
    }
    box->addLayout(row);
}

void FrmLzfOverWrite::Fill(const LzfOverwriteInfo& info) {
    LblTitle->setText(QString::fromStdString(info.title));
    LblDstSize->setText(QString::fromStdString(info.dstSize));
    LblDstDate->setText(QString::fromStdString(info.dstDate));
    LblSrcSize->setText(QString::fromStdString(info.srcSize));
    LblSrcDate->setText(QString::fromStdString(info.srcDate));
}

void FrmLzfOverWrite::CmdBtn_Click(int index) {
    if (index >= 0 && index < 4) answer_ = CmdBtn[index]->text().toStdString();
    accept();
}

std::string FrmLzfOverWrite::Execute(const LzfOverwriteInfo& info) {
    if (!HaveWindows()) return LzfCancel;
    QWidget* parent =
        FrmLzfCopy::Current() ? static_cast<QWidget*>(FrmLzfCopy::Current()) : QApplication::activeWindow();
    FrmLzfOverWrite dlg(parent);
    dlg.Fill(info);
    dlg.exec();
    return dlg.Answer();
}

// ---- wiring ------------------------------------------------------------------------------------------

void WireDataInstaller() {
    Connect().dataInstall = [](const std::string& source, bool show) {
        return FrmLzfDataInst::Execute(source, show);
    };
}
