#include "app/FrmDrvErr.h"

#include "app/Fit.h"
#include "app/Glb.h"
#include "app/LogSvc.h"
#include "comm/ComStatus.h"
#include "platform/FormRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

FrmDrvErr::ShowHook& Hook() {
    static FrmDrvErr::ShowHook hook;
    return hook;
}

std::string HexNoZeros(int v) {
    static const char kHex[] = "0123456789ABCDEF";
    unsigned u = static_cast<unsigned>(v);
    std::string out;
    do {
        out.insert(out.begin(), kHex[u & 0xF]);
        u >>= 4;
    } while (u != 0);
    return out;
}

// Client-area layout: the message and code at the top; the bit list below them, inside the window only
// in internal and SE mode.
constexpr int kMargin = 12;
constexpr int kWidth = 380;
constexpr int kListHeight = 140;

} // namespace

std::string DrvErrCodeText(int status) {
    return "Response:" + HexNoZeros(status);
}

std::vector<std::string> DrvErrBitNames(int status, int set) {
    std::vector<std::string> names;
    if (set < 0 || set >= BitNameSets) return names;
    for (int bit = 7; bit >= 0; --bit)
        if (status & (1 << bit)) names.push_back(BitName[set][bit]);
    return names;
}

FrmDrvErr::ShowHook FrmDrvErr::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmDrvErr::FrmDrvErr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmDrvErr"));
    setWindowTitle(QStringLiteral("Communication error"));

    Label1 = new QLabel(QStringLiteral("Amplifier sends error back."), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    LblMsg = new QLabel(this);
    LblMsg->setObjectName(QStringLiteral("LblMsg"));
    LblMsg->setWordWrap(true);

    LblErrCod = new QLabel(this);
    LblErrCod->setObjectName(QStringLiteral("LblErrCod"));

    CmdExit = new QPushButton(QStringLiteral("Confirmation"), this);
    CmdExit->setObjectName(QStringLiteral("CmdExit"));
    CmdExit->setDefault(true);
    CmdExit->setMinimumWidth(120);
    connect(CmdExit, &QPushButton::clicked, this, [this] { CmdExit_Click(); });

    LstErr = new QListWidget(this);
    LstErr->setObjectName(QStringLiteral("LstErr"));
    LstErr->setMinimumHeight(kListHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(Label1);
    layout->addWidget(LblMsg);
    layout->addWidget(LblErrCod);
    layout->addWidget(CmdExit, 0, Qt::AlignHCenter);
    layout->addWidget(LstErr, 1);
    setMinimumWidth(kWidth);

    plat::RegisterForm("FrmDrvErr", this);
}

FrmDrvErr::~FrmDrvErr() {
    RestorePointer(); // also when the window goes with its parent while it runs
    plat::UnregisterForm(this);
}

void FrmDrvErr::Form_Load() {
    // In normal mode only the message and the code are seen; the bit names are for the developers.
    LstErr->setVisible(UserLevel >= 2);
    FitToContents(this);
    if (QWidget* main = parentWidget()) {
        const QRect m = main->frameGeometry();
        move(m.x() + m.width() / 2 - frameGeometry().width() / 2,
             m.y() + m.height() / 2 - frameGeometry().height() / 2);
    }
}

void FrmDrvErr::RestorePointer() {
    if (pointerPushed_) {
        QApplication::restoreOverrideCursor();
        pointerPushed_ = false;
    }
}

void FrmDrvErr::CmdExit_Click() {
    RestorePointer();
    accept();
}

void FrmDrvErr::DspErr(const std::string& text, int set) {
    const int status = ComStatus;
    // Nothing to show: the caller's pointer (often the busy pointer) is left alone.
    if (status == 0) return;

    QPointer<FrmDrvErr> w = new FrmDrvErr(QApplication::activeWindow());
    w->Form_Load();
    w->LblMsg->setText(QString::fromStdString(text));
    const std::string code = DrvErrCodeText(status);
    w->LblErrCod->setText(QString::fromStdString(code));
    LogFileOut("ChkRes:" + text + ":" + code.substr(sizeof "Response:" - 1));
    w->LstErr->clear();
    for (const std::string& name : DrvErrBitNames(status, set))
        w->LstErr->addItem(QString::fromStdString(name));

    QApplication::setOverrideCursor(Qt::ArrowCursor);
    w->pointerPushed_ = true;
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (w) {
        w->RestorePointer(); // closed without the button
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}
