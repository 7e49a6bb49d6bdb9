#include "params/FrmPmtLoad.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/FrmPrmSel.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "data/PmtFil.h"
#include "data/PrmTbl.h"
#include "params/ParaTransfer.h"
#include "platform/FormRegistry.h"

namespace {
FrmPmtLoad::ShowHook& Hook() {
    static FrmPmtLoad::ShowHook hook;
    return hook;
}
} // namespace

FrmPmtLoad::ShowHook FrmPmtLoad::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmPmtLoad::FrmPmtLoad(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmPmtLoad");
    setWindowTitle(QStringLiteral("Selection of parameter to be read"));
    auto* frame = new QGroupBox(this);
    frame->setToolTip(QStringLiteral("Select the parameters to be read at log on."));
    OptDrv = new QRadioButton(QStringLiteral("Read-out from the amplifier"), frame);
    OptDrv->setToolTip(
        QStringLiteral("Display the parameter screen after reading the amplifier parameters."));
    OptFil = new QRadioButton(QStringLiteral("Read from the file"), frame);
    OptFil->setToolTip(QStringLiteral("Display the parameter screen after loading the filed data."));
    OptDefault = new QRadioButton(QStringLiteral("Read the default"), frame);
    OptDefault->setToolTip(
        QStringLiteral("Display the parameter screen after reading the preset parameters."));
    auto* fl = new QVBoxLayout(frame);
    fl->addWidget(OptDrv);
    fl->addWidget(OptFil);
    fl->addWidget(OptDefault);
    ChkRecvByPage = new QCheckBox(QStringLiteral("Read whenever the page changes"), this);
    ChkRecvByPage->setToolTip(QStringLiteral("Read the parameter whenever the parameter page changes."));
    ChkRecvByAxis = new QCheckBox(QStringLiteral("Read whenever the axis address(ID) changes"), this);
    ChkRecvByAxis->setToolTip(
        QStringLiteral("Read the parameter from the amplifier whenever the axis address(ID) changes."));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setToolTip(QStringLiteral("Display the parameter screen."));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setToolTip(QStringLiteral("Return to the menu screen without displaying the parameter."));
    connect(OptDrv, &QRadioButton::clicked, this, [this] { OptDrv_Click(); });
    connect(OptFil, &QRadioButton::clicked, this, [this] { OptFil_Click(); });
    connect(OptDefault, &QRadioButton::clicked, this, [this] { OptDefault_Click(); });
    connect(ok, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { Command1_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(ChkRecvByPage);
    layout->addWidget(ChkRecvByAxis);
    layout->addLayout(buttons);
    plat::RegisterForm("FrmPmtLoad", this);
}

FrmPmtLoad::~FrmPmtLoad() {
    plat::UnregisterForm(this);
}

void FrmPmtLoad::Form_Load() {
    ChkRecvByPage->setEnabled(ComPortNo != 0);
    ChkRecvByAxis->setEnabled(ComPortNo != 0);
    if (ComHandle != 0) {
        OptDrv->setEnabled(true);
        OptDrv->setChecked(true);
        ChkRecvByPage->setChecked(true);
        ChkRecvByAxis->setChecked(true);
    } else {
        OptDrv->setEnabled(false);
        OptFil->setChecked(true);
        OptFil_Click();
    }
    adjustSize();
    if (QWidget* main = parentWidget()) {
        const QRect m = main->frameGeometry();
        move(m.x() + m.width() / 2 - width() / 2, m.y() + m.height() / 2 - height() / 2);
    }
}

void FrmPmtLoad::OptDrv_Click() {
    const bool port = ComPortNo != 0;
    for (QCheckBox* c : {ChkRecvByPage, ChkRecvByAxis}) {
        c->setEnabled(port);
        c->setChecked(port);
    }
}

void FrmPmtLoad::OptFil_Click() {
    for (QCheckBox* c : {ChkRecvByPage, ChkRecvByAxis}) {
        c->setEnabled(false);
        c->setChecked(false);
    }
}

void FrmPmtLoad::OptDefault_Click() {
    OptFil_Click();
}

bool FrmPmtLoad::Load() {
    if (OptDrv->isChecked()) {
        if (!RecvAllPrm()) return false;
        SetPrmSrc(1, "");
    } else if (OptDefault->isChecked()) {
        if (PrmKiTeiChi(KisyuMei, -1) == 0) return false;
        SetPrmSrc(3, "");
    } else {
        const std::string path = FrmPrmSel::Exec("prm", "prm", "Parameter file");
        if (path.empty()) return false;
        if (PMT_Load(path, KisyuCode, -1) == 0) return false;
        SetPrmSrc(2, "");
    }
    return true;
}

void FrmPmtLoad::CmdOk_Click() {
    // The result turns True only after a load went through, so that closing the window after a failed
    // load opens no editor over partial values.
    if (!Load()) return;
    result_ = -1;
    PrmFlg = ChkRecvByAxis->isChecked() ? -1 : 0;
    PrmIsAmp = ChkRecvByPage->isChecked() ? -1 : 0;
    accept();
}

void FrmPmtLoad::Command1_Click() {
    result_ = 0;
    reject();
}

int16_t FrmPmtLoad::Exec() {
    QPointer<FrmPmtLoad> w = new FrmPmtLoad(QApplication::activeWindow());
    w->Form_Load();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (!w) return 0;
    const int16_t r = w->result_;
    plat::UnregisterForm(w);
    w->deleteLater();
    return r;
}
