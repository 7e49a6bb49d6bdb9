#include "positioning/FrmPopLod.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

#include "app/FrmPrmSel.h"
#include "app/Glb.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "positioning/PopEdit.h"
#include "positioning/PopGlb.h"

namespace {

FrmPopLod::ShowHook& Hook() {
    static FrmPopLod::ShowHook hook;
    return hook;
}

// The step positions in use: cleared for a load that does not carry them all, and put back when the
// load fails, so that a failed choice loses nothing.
struct Positions {
    std::vector<std::pair<int64_t, bool>> kept;
    Positions() {
        for (int i = 0; i < PopStepInUse(); ++i)
            kept.emplace_back(PopStep[i].Position, PopStep[i].PosEmpty);
    }
    static void Clear() {
        for (int i = 0; i < PopStepInUse(); ++i) {
            PopStep[i].Position = 0;
            PopStep[i].PosEmpty = false;
        }
    }
    void Restore() const {
        for (size_t i = 0; i < kept.size(); ++i) {
            PopStep[i].Position = kept[i].first;
            PopStep[i].PosEmpty = kept[i].second;
        }
    }
};

} // namespace

bool RecvAllPop() {
    if (ChkComm(0, "Communication error") == 0) {
        plat::MsgBox("Communication failed", plat::Buttons::Ok, plat::Icon::None, "Parameter reception");
        return false;
    }
    // Received into copies, so that a failed reception leaves the tables as they were.
    auto steps = std::make_unique<PopStepRec[]>(PopStepTblCnt);
    auto p16 = std::make_unique<PopPrmRec[]>(PopPrmCnt);
    auto p32 = std::make_unique<PopPrmRec[]>(PopPrmCnt);
    std::copy_n(PopStep, PopStepTblCnt, steps.get());
    std::copy_n(Pop16Prm, PopPrmCnt, p16.get());
    std::copy_n(Pop32Prm, PopPrmCnt, p32.get());
    if (PopRecvTables(steps.get(), p16.get(), p32.get(), "In-receiving the step parameter, page") != 0) {
        plat::MsgBox("Transfer failed", plat::Buttons::Ok, plat::Icon::None, "Parameter reception");
        return false;
    }
    std::copy_n(steps.get(), PopStepTblCnt, PopStep);
    std::copy_n(p16.get(), PopPrmCnt, Pop16Prm);
    std::copy_n(p32.get(), PopPrmCnt, Pop32Prm);
    ClrStepCmt(false);
    return true;
}

FrmPopLod::ShowHook FrmPopLod::SetShowHook(ShowHook hook) {
    ShowHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

FrmPopLod::FrmPopLod(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmPopLod");
    plat::RegisterForm("FrmPopLod", this);
    auto* frame = new QGroupBox(this);
    frame->setObjectName("Frame1");
    frame->setToolTip("Select the parameters to be read at log on.");
    OptDrv = new QRadioButton("Read-out from the amplifier", frame);
    OptDrv->setToolTip("Display the positioning parameter screen after reading the amplifier parameters.");
    OptFil = new QRadioButton("Read from the file", frame);
    OptFil->setToolTip("Display the positioning parameter screen after loading the filed data.");
    OptDefault = new QRadioButton("Read the default", frame);
    OptDefault->setToolTip("Display the positioning parameter screen after reading the preset parameters.");
    ChkRecvByPage = new QCheckBox("Read whenever the page changes", frame);
    ChkRecvByPage->setToolTip("Read the positioning parameter whenever the parameter page changes.");
    ChkRecvByAxis = new QCheckBox("Read whenever the axis address(ID) changes", frame);
    ChkRecvByAxis->setToolTip(
        "Read the positioning parameter from the amplifier whenever the axis address(ID) changes.");
    auto* fl = new QVBoxLayout(frame);
    fl->addWidget(OptDrv);
    auto* checks = new QVBoxLayout;
    checks->setContentsMargins(24, 0, 0, 0);
    checks->addWidget(ChkRecvByPage);
    checks->addWidget(ChkRecvByAxis);
    fl->addLayout(checks);
    fl->addWidget(OptFil);
    fl->addWidget(OptDefault);
    CmdOk = new QPushButton("OK", this);
    CmdOk->setToolTip("Display the positioning parameter screen.");
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setToolTip("Return to the menu screen without displaying the positioning parameter.");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(frame);
    top->addLayout(buttons);
    setWindowTitle("Selection of positioning parameter to be read");
    connect(OptDrv, &QRadioButton::clicked, this, &FrmPopLod::OptDrv_Click);
    connect(OptFil, &QRadioButton::clicked, this, &FrmPopLod::OptFil_Click);
    connect(OptDefault, &QRadioButton::clicked, this, &FrmPopLod::OptDefault_Click);
    connect(CmdOk, &QPushButton::clicked, this, &FrmPopLod::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmPopLod::CmdCancel_Click);
}

std::string FrmPopLod::Exec(const std::string& caption) {
    QPointer<FrmPopLod> w = new FrmPopLod(QApplication::activeWindow());
    w->setWindowTitle(QString::fromStdString(caption));
    w->Form_Load();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    std::string result = "Cancel";
    if (w) {
        result = w->result_;
        plat::UnregisterForm(w);
        w->deleteLater();
    }
    return result;
}

void FrmPopLod::Checks(bool on) {
    ChkRecvByPage->setEnabled(on);
    ChkRecvByAxis->setEnabled(on);
    ChkRecvByPage->setChecked(on);
    ChkRecvByAxis->setChecked(on);
}

void FrmPopLod::Form_Load() {
    const bool online = ComHandle != 0;
    OptDrv->setEnabled(online);
    (online ? OptDrv : OptFil)->setChecked(true);
    Checks(online);
}

void FrmPopLod::OptDrv_Click() {
    Checks(ComHandle != 0);
}
void FrmPopLod::OptFil_Click() {
    Checks(false);
}
void FrmPopLod::OptDefault_Click() {
    Checks(false);
}

void FrmPopLod::CmdOk_Click() {
    if (OptDrv->isChecked()) {
        if (!RecvAllPop()) return;
        SetPopDataSource(1, "");
        result_ = "Recieve";
    } else if (OptDefault->isChecked()) {
        const Positions kept;
        Positions::Clear();
        if (LoadPopDefault(KisyuMei, true) == 0) {
            kept.Restore();
            return;
        }
        SetPopDataSource(3, "");
        result_ = "Default";
    } else {
        const std::string path = FrmPrmSel::Exec("ncp", "ncp", "Positioning parameter");
        if (path.empty()) return;
        const Positions kept;
        Positions::Clear();
        if (POP_Load(path, KisyuCode, true) == 0) {
            kept.Restore();
            return;
        }
        SetPopDataSource(2, "");
        result_ = "File";
    }
    PopRecvByAxis = ChkRecvByAxis->isChecked() ? -1 : 0;
    PopRecvByPage = ChkRecvByPage->isChecked() ? -1 : 0;
    accept();
}

void FrmPopLod::CmdCancel_Click() {
    reject();
}
