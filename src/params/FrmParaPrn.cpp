#include "params/FrmParaPrn.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/PrmGlb.h"
#include "params/ParaLogic.h"
#include "platform/FormRegistry.h"

namespace {
FrmParaPrn::ShowHook& Hook() {
    static FrmParaPrn::ShowHook hook;
    return hook;
}
} // namespace

FrmParaPrn::ShowHook FrmParaPrn::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmParaPrn::FrmParaPrn(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmParaPrn");
    setWindowTitle(QStringLiteral("Print of the parameter"));
    ChkPara16 = new QCheckBox(QStringLiteral("16bit parameter"), this);
    ChkPara16->setToolTip(QStringLiteral("Print the 16bit parameter list."));
    ChkPara16->setChecked(true);
    ChkPara32 = new QCheckBox(QStringLiteral("32bit parameter"), this);
    ChkPara32->setToolTip(QStringLiteral("Print the 32bit parameter list."));
    ChkPara32->setChecked(Prm32Cnt != 0);
    ChkPara32->setVisible(Prm32Cnt != 0);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setToolTip(QStringLiteral("Execute the print"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setToolTip(QStringLiteral("Return to the previous menu without printing."));
    connect(ok, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ChkPara16);
    layout->addWidget(ChkPara32);
    layout->addLayout(buttons);
    plat::RegisterForm("FrmParaPrn", this);
}

FrmParaPrn::~FrmParaPrn() {
    plat::UnregisterForm(this);
}

void FrmParaPrn::CmdOk_Click() {
    result_ = ParaPrnWord(ChkPara16->isChecked(), ChkPara32->isChecked());
    accept();
}

void FrmParaPrn::CmdCancel_Click() {
    reject();
}

std::string FrmParaPrn::Exec() {
    QPointer<FrmParaPrn> w = new FrmParaPrn(QApplication::activeWindow());
    w->adjustSize();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (!w) return "cancel";
    const std::string r = w->result() == QDialog::Accepted ? w->result_ : "cancel";
    plat::UnregisterForm(w);
    w->deleteLater();
    return r;
}
