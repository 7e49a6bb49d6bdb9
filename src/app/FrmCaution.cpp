#include "app/FrmCaution.h"

#include "app/Fit.h"
#include "app/Glb.h"
#include "platform/FormRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
FrmCaution::ShowHook& Hook() {
    static FrmCaution::ShowHook hook;
    return hook;
}

bool InTable(int index) {
    return index >= 0 && index < AlartCnt;
}
} // namespace

bool CautionOff(int index) {
    return InTable(index) && AlartTbl[index].Off != 0;
}

FrmCaution::ShowHook FrmCaution::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmCaution::FrmCaution(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmCaution"));
    setWindowTitle(QStringLiteral("Caution"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop);

    LblMsg = new QLabel(this);
    LblMsg->setObjectName(QStringLiteral("LblMsg"));
    LblMsg->setWordWrap(true);
    LblMsg->setMinimumWidth(320);

    ChkVoid = new QCheckBox(QStringLiteral("No display of this window hereafter"), this);
    ChkVoid->setObjectName(QStringLiteral("ChkVoid"));
    connect(ChkVoid, &QCheckBox::clicked, this, [this] { ChkVoid_Click(); });

    CmdOk = new QPushButton(QStringLiteral("Execute"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    // The safe answer is the one Enter gives.
    Command1->setDefault(true);
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addWidget(LblMsg, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(ChkVoid);
    layout->addLayout(buttons);

    plat::RegisterForm("FrmCaution", this);
}

FrmCaution::~FrmCaution() {
    plat::UnregisterForm(this);
}

void FrmCaution::Form_Load() {
    FitToContents(this);
    if (QWidget* main = parentWidget()) {
        const QRect m = main->frameGeometry();
        move(m.x() + m.width() / 2 - width() / 2, m.y() + m.height() / 2 - height() / 2);
    }
}

void FrmCaution::CmdOk_Click() {
    answer_ = true;
    accept();
}

void FrmCaution::Command1_Click() {
    answer_ = false;
    reject();
}

void FrmCaution::ChkVoid_Click() {
    // Takes effect at once: ticking the box and then cancelling still switches the caution off.
    if (InTable(index_)) AlartTbl[index_].Off = ChkVoid->isChecked() ? 1 : 0;
}

void FrmCaution::Exec(int index, bool& ok) {
    ok = true;
    if (!InTable(index)) {
        ok = false;
        return;
    }
    if (AlartTbl[index].Off != 0) return;

    QPointer<FrmCaution> w = new FrmCaution(QApplication::activeWindow());
    const AlartRec& row = AlartTbl[index];
    w->index_ = index;
    w->ChkVoid->setVisible(row.Offer != 0);
    w->ChkVoid->setChecked(false);
    w->setWindowTitle(QString::fromStdString(row.Caption));
    w->LblMsg->setText(QString::fromStdString(row.Message));
    w->answer_ = false;
    w->Form_Load();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    ok = w && w->answer_;
    if (w) {
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}
