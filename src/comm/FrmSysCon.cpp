#include "comm/FrmSysCon.h"

#include "app/FrmLog.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/QelApi.h"
#include "comm/TeskCmd.h"
#include "data/DefFil.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

SysConRec SysCon;

namespace {

QPointer<FrmSysCon>& Instance() {
    static QPointer<FrmSysCon> instance;
    return instance;
}

int16_t OnOff(int16_t value) {
    return value != 0 ? 1 : 0;
}

void UnavailableMessage(const std::string& what) {
    plat::MsgBox(what + " is not available for this series.");
}

} // namespace

void SysConSetCheck(const std::string& box, int16_t value) {
    const int16_t v = OnOff(value);
    if (box == "ChkDmyCom") {
        SysCon.ChkDmyCom = DbgState.ChkDmyCom = v;
    } else if (box == "ChkBlkLog") {
        SysCon.ChkBlkLog = DbgState.ChkBlkLog = v;
    } else if (box == "Chk485Err") {
        SysCon.Chk485Err = v;
    } else if (box == "ChkComLog") {
        SysCon.ChkComLog = DbgState.ChkComLog = v;
        try {
            qel::LogOn(v);
        } catch (const std::exception& e) {
            log(std::string("ChkComLog: ") + e.what(), LogOther);
        }
    } else if (box == "ChkLogWin") {
        SysCon.ChkLogWin = DbgState.ChkLogWin = v;
        FrmLog::Load()->setVisible(v != 0);
    } else {
        return;
    }
    if (FrmSysCon* w = FrmSysCon::Loaded()) w->ShowSwitches();
}

void SysConInstallHooks() {
    DebugStateHooks& h = DebugHooks();
    h.setCheck = [](const std::string& box, int16_t value) { SysConSetCheck(box, value); };
    h.setLogMode = [](int16_t k, bool on) {
        if (k >= 0 && k < FrmLog::LogModeCnt) FrmLog::Load()->ChkLogMode[k]->setChecked(on);
    };
    h.showConsole = [](bool shown) { FrmSysCon::Load()->setVisible(shown); };
    h.comPortTest = [] { ComPortTest(); };
}

SysConCallsRec& SysConCalls() {
    static SysConCallsRec calls;
    return calls;
}

FrmSysCon* FrmSysCon::Load() {
    if (!Instance()) {
        Instance() = new FrmSysCon;
        SysConInstallHooks();
    }
    return Instance();
}

FrmSysCon* FrmSysCon::Loaded() {
    return Instance();
}

void FrmSysCon::Unload() {
    if (FrmSysCon* w = Instance()) {
        Instance() = nullptr;
        plat::UnregisterForm(w);
        w->hide();
        w->deleteLater();
    }
}

FrmSysCon::FrmSysCon(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FrmSysCon"));
    setWindowTitle(QStringLiteral("Debug control"));
    auto* layout = new QVBoxLayout(this);

    auto box = [&](QCheckBox*& b, const char* name, const char* caption, void (FrmSysCon::*click)()) {
        b = new QCheckBox(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QCheckBox::clicked, this, [this, click] { (this->*click)(); });
        layout->addWidget(b);
    };
    box(ChkDmyCom, "ChkDmyCom", "Dummy communication with the file", &FrmSysCon::ChkDmyCom_Click);
    box(ChkBlkLog, "ChkBlkLog", "Load the communication block to the file", &FrmSysCon::ChkBlkLog_Click);
    box(Chk485Err, "Chk485Err", "trigger 485 error", &FrmSysCon::Chk485Err_Click);
    box(ChkComLog, "ChkComLog", "Log of communication DLL", &FrmSysCon::ChkComLog_Click);
    box(ChkLogWin, "ChkLogWin", "Log window", &FrmSysCon::ChkLogWin_Click);

    auto button = [&](QPushButton*& b, const char* name, const char* caption, void (FrmSysCon::*click)()) {
        b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, click] { (this->*click)(); });
        layout->addWidget(b);
    };
    button(CmdComTest, "CmdComTest", "Communication test", &FrmSysCon::CmdComTest_Click);
    button(CmdSave, "CmdSave", "Creation of the DEF file", &FrmSysCon::CmdSave_Click);
    button(CmdSavePmt, "CmdSavePmt", "Saving of the current parameter buffer", &FrmSysCon::CmdSavePmt_Click);
    button(CmdSetkiSyuMei, "CmdSetkiSyuMei", "Setting of model name and voltage calibration",
           &FrmSysCon::CmdSetkiSyuMei_Click);
    layout->addStretch();

    ShowSwitches();
    plat::RegisterForm("FrmSysCon", this);
}

FrmSysCon::~FrmSysCon() {
    plat::UnregisterForm(this);
}

void FrmSysCon::ShowSwitches() {
    const std::pair<QCheckBox*, int16_t> boxes[] = {{ChkDmyCom, SysCon.ChkDmyCom},
                                                    {ChkBlkLog, SysCon.ChkBlkLog},
                                                    {Chk485Err, SysCon.Chk485Err},
                                                    {ChkComLog, SysCon.ChkComLog},
                                                    {ChkLogWin, SysCon.ChkLogWin}};
    for (const auto& [b, v] : boxes) {
        const QSignalBlocker quiet(b);
        b->setChecked(v != 0);
    }
}

void FrmSysCon::ChkDmyCom_Click() {
    SysConSetCheck("ChkDmyCom", ChkDmyCom->isChecked());
}

void FrmSysCon::ChkBlkLog_Click() {
    SysConSetCheck("ChkBlkLog", ChkBlkLog->isChecked());
}

void FrmSysCon::Chk485Err_Click() {
    SysConSetCheck("Chk485Err", Chk485Err->isChecked());
}

void FrmSysCon::ChkComLog_Click() {
    SysConSetCheck("ChkComLog", ChkComLog->isChecked());
}

void FrmSysCon::ChkLogWin_Click() {
    SysConSetCheck("ChkLogWin", ChkLogWin->isChecked());
}

void FrmSysCon::CmdComTest_Click() {
    ComPortTest();
}

void FrmSysCon::CmdSave_Click() {
    const std::string path = AppPath("SaveTest.txt");
    if (FIL_SaveDebugState(path) == 0) plat::MsgBox(path + " cannot be written.");
}

void FrmSysCon::CmdSavePmt_Click() {
    if (!SysConCalls().prmHoZon) {
        UnavailableMessage("Saving the parameter buffer");
        return;
    }
    SysConCalls().prmHoZon(AppPath("Buffer.prm of the current parameter"), KisyuCode);
}

void FrmSysCon::CmdSetkiSyuMei_Click() {
    if (!FamilyR().SetKisyuMei) {
        UnavailableMessage("Setting of model name and voltage calibration");
        return;
    }
    FamilyR().SetKisyuMei();
}

void FrmSysCon::closeEvent(QCloseEvent* event) {
    // The console stays loaded for the whole run: closing only hides it.
    log("syscon unload", LogOther);
    event->ignore();
    hide();
}

void FrmSysCon::showEvent(QShowEvent* event) {
    DbgState.SysConShown = 1;
    QWidget::showEvent(event);
}

void FrmSysCon::hideEvent(QHideEvent* event) {
    DbgState.SysConShown = 0;
    QWidget::hideEvent(event);
}
