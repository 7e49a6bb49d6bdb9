#include "params/FrmEEP.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "app/Fit.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComGuard.h"
#include "comm/TeskCmd.h"
#include "comm/TeskR.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "params/ParaLogic.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"

namespace {

constexpr int16_t EepBusyBit = 0x10;

FrmEEP::ShowHook& Hook() {
    static FrmEEP::ShowHook hook;
    return hook;
}

QTimer* GuardTimer() {
    Mevalo* m = Mevalo::Instance();
    return m ? m->TimFrmEEPDisable() : nullptr;
}

bool Ok(int16_t r) {
    return r == -1;
}

// Family M and K amplifiers have no comparison pages: their block reads fill the working table, so the
// values read are taken into the copy and the working values are put back.
template <class T, size_t N, class Read>
bool ReadInto(T (&work)[N], T (&copy)[N], int first, int last, Read read) {
    std::array<T, N> keep;
    std::copy(std::begin(work), std::end(work), keep.begin());
    const bool ok = read();
    if (ok)
        for (int n = std::max(0, first); n <= std::min<int>(static_cast<int>(N) - 1, last); ++n)
            copy[n] = work[n];
    std::copy(keep.begin(), keep.end(), std::begin(work));
    return ok;
}

bool ReadUser16(int k) {
    switch (CurrentFamily()) {
    case CmdFamilyKind::R:
        return Ok(UsrPrm16HiKaKu(0, 7, static_cast<int16_t>(k)));
    case CmdFamilyKind::M:
        return ReadInto(PrmVal, PrmCmpVal[k], 0, Prm16Max - 1, [] { return Ok(FamilyM().UsrPrmJuShinM()); });
    case CmdFamilyKind::K:
        return ReadInto(PrmVal, PrmCmpVal[k], 0, 63, [] { return Ok(FamilyK().PrmJuShinK()); });
    }
    return false;
}

bool ReadSystem16(int k) {
    switch (CurrentFamily()) {
    case CmdFamilyKind::R:
        return Ok(SysPrm16HiKaKu(0, 7, static_cast<int16_t>(k)));
    case CmdFamilyKind::M:
        return ReadInto(PrmVal, PrmCmpVal[k], Prm16Max, 255, [] { return Ok(FamilyM().SysPrmJuShinM()); });
    case CmdFamilyKind::K:
        return ReadUser16(k); // one upload holds every parameter
    }
    return false;
}

// 32-bit copies: family R by pages, the others one value at a time.
bool Read32(int k, bool system) {
    const int first = system ? Prm32Max : 0;
    const int last = system ? Prm32MaxSys - 1 : Prm32Max - 1;
    if (last < first) return true;
    if (CurrentFamily() == CmdFamilyKind::R) {
        const int pages = system ? LastSys32Page() : LastUsr32Page();
        return Ok(system ? SysPrm32HiKaKu(0, static_cast<int16_t>(pages), static_cast<int16_t>(k))
                         : UsrPrm32HiKaKu(0, static_cast<int16_t>(pages), static_cast<int16_t>(k)));
    }
    if (CurrentFamily() == CmdFamilyKind::K) return false;
    return ReadInto(Prm32Val, Prm32CmpVal[k], first, last, [&] {
        for (int n = first; n <= last; ++n) {
            const auto n16 = static_cast<int16_t>(n);
            if (!Ok(system ? FamilyM().SysPrm32RdM(n16) : FamilyM().Prm32RdM(n16))) return false;
        }
        return true;
    });
}

} // namespace

FrmEEP::ShowHook FrmEEP::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmEEP::FrmEEP(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmEEP");
    setWindowTitle(QStringLiteral("Writing to EEPROM "));
    Label1 = new QLabel(
        QStringLiteral("Parameters in the table below are changed. Do you write the changes to EEPROM?"),
        this);
    Label1->setWordWrap(true);
    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(5);
    ListView1->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Number"), QStringLiteral("Title"),
                                QStringLiteral("Before the change"), QStringLiteral("After the change")});
    ListView1->setToolTip(
        QStringLiteral("Display the changed parameter and its value after and before the change."));
    ListView1->setMinimumSize(560, 220);
    Label2 = new QLabel(QStringLiteral("No change in parameter"), this);
    Fram1 = new QGroupBox(QStringLiteral("Detection of the change"), this);
    Label3 = new QLabel(
        QStringLiteral(
            "Detection of the change is made based on the amplifier status when the amplifier is "
            "recognized by Mevalo at the first time. Click this button to make the current status as a "
            "reference for the change detection. Note that you can make the current status as a "
            "reference by clicking the <OK> button to write in EEPROM."),
        Fram1);
    Label3->setWordWrap(true);
    CmdSetBase = new QPushButton(QStringLiteral("Reference setting"), Fram1);
    CmdSetBase->setToolTip(QStringLiteral("Renew the detection reference for the change."));
    auto* fl = new QHBoxLayout(Fram1);
    fl->addWidget(Label3, 1);
    fl->addWidget(CmdSetBase, 0, Qt::AlignVCenter);
    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setToolTip(QStringLiteral("Exit this screen after writing to EEPROM."));
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setToolTip(QStringLiteral("Exit this screen without writing to EEPROM."));
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
    connect(CmdSetBase, &QPushButton::clicked, this, [this] { CmdSetBase_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ListView1, 1);
    layout->addWidget(Label2);
    layout->addWidget(Fram1);
    layout->addLayout(buttons);
    plat::RegisterForm("FrmEEP", this);
}

FrmEEP::~FrmEEP() {
    plat::UnregisterForm(this);
}

void FrmEEP::Exec(const std::string& flags) {
    if (QTimer* t = GuardTimer(); t && t->isActive()) return;
    if (!ChkComm(0, "Communication error")) {
        DlgResult = 0;
        return;
    }
    const std::vector<EepRow> rows = BuildChangeList(flags, AxisNo);
    QPointer<FrmEEP> w = new FrmEEP(QApplication::activeWindow());
    w->flags_ = flags;
    if (rows.empty()) {
        if (flags.find(EepWord::Explicit) != std::string::npos &&
            MsgYesNo("No change in parameter. Do you still write ?", "Yes ?")) {
            w->CmdOk_Click();
        } else {
            DlgResult = 0;
        }
        delete w;
        return;
    }
    for (const EepRow& r : rows) {
        auto* item = new QTreeWidgetItem(w->ListView1);
        const std::array<std::string, 5> cells{r.type, r.number, r.title, r.before, r.after};
        for (int c = 0; c < 5; ++c)
            item->setText(c, QString::fromStdString(cells[static_cast<size_t>(c)]));
        item->setTextAlignment(1, Qt::AlignCenter);
    }
    // The columns keep their shares of the list, but never less than their longest cell or heading: a
    // cut "Prm16" and "Prm32" read alike. The list then widens to show every column.
    const int wdt = w->ListView1->minimumWidth();
    w->ListView1->setMinimumWidth(std::max(wdt, FitColumns(w->ListView1, wdt, {2, 1, 11, 5, 5})));
    w->Label2->setVisible(false);
    w->adjustSize();
    DlgResult = 0;
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (w) {
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}

bool FrmEEP::WriteScope() {
    // The busy bit keeps the polling screens off the line from the first write to the last read-back.
    BusyGuard busy(EepBusyBit);
    const std::string scope = EepWriteScope(flags_);
    bool sysOk = true;
    bool usrOk = true;
    if (scope == "/ALL") {
        UpdStat("In-writing to EEPROM(SYSTEM/USER)");
        sysOk = Ok(FamilyM().SysPrmEepM());
        usrOk = Ok(FamilyM().UsrPrmEepM());
        if (sysOk && usrOk) UpdStat("Writing to EEPROM(SYSTEM/USER) completed");
        CheckPoint(sysOk && usrOk ? EepWord::ForcedAll
                   : sysOk        ? EepWord::ForcedSystem
                   : usrOk        ? EepWord::ForcedUser
                                  : std::string());
    } else if (scope == "/SYSTEM") {
        UpdStat("In-writing to EEPROM(sys)");
        sysOk = Ok(FamilyM().SysPrmEepM());
        if (sysOk) {
            UpdStat("Writing to EEPROM(sys) completed");
            CheckPoint(EepWord::ForcedSystem);
        }
    } else if (scope == "/USER") {
        UpdStat("In-writing to EEPROM ");
        usrOk = Ok(FamilyM().UsrPrmEepM());
        if (usrOk) {
            UpdStat("Writing to EEPROM completed");
            CheckPoint(EepWord::ForcedUser);
        }
    }
    if (sysOk && usrOk) return true;
    // The reference of a scope that did not reach EEPROM stays as it was, so its edits stay listed.
    UpdStat("Writing to EEPROM  failed");
    plat::MsgBox("Writing to EEPROM  failed", plat::Buttons::Ok, plat::Icon::Exclamation,
                 "Writing to EEPROM");
    return false;
}

void FrmEEP::Closed() {
    if (QTimer* t = GuardTimer()) t->start();
}

void FrmEEP::CmdOk_Click() {
    if (!ChkComm(0, "Communication error")) {
        plat::MsgBox("Communication failed", plat::Buttons::Ok, plat::Icon::Exclamation, "Writing to EEPROM");
        UpdStat("Writing to EEPROM  failed");
        return;
    }
    DlgResult = WriteScope() ? -1 : 0;
    Closed();
    accept();
}

void FrmEEP::CmdCancel_Click() {
    DlgResult = 0;
    Closed();
    reject();
}

void FrmEEP::CmdSetBase_Click() {
    CheckPoint(EepWord::ForcedAll);
}

void FrmEEP::CheckPoint(const std::string& flags) {
    const int k = AxisNo;
    if (k < 0 || k >= PrmCmpAxisCnt) return;
    auto has = [&](const std::string& w) { return flags.find(w) != std::string::npos; };
    if (has(EepWord::IfNotRead)) {
        if (Prm32Cnt != 0 && Prm32CmpDone[k] != 0) return;
        if (Prm32Cnt == 0 && PrmCmpDone[k] != 0) return;
    }
    if (!has("/ALL") && !has("/SYSTEM") && !has("/USER")) return;
    if (!ChkComm(0, "Communication error")) {
        if (has("/ALL")) PrmCmpDone[k] = 0;
        return;
    }
    if (has("/ALL")) {
        bool ok16 = ReadUser16(k);
        ok16 &= ReadSystem16(k);
        PrmCmpDone[k] = ok16 ? -1 : 0;
        if (Prm32Cnt == 0) {
            Prm32CmpDone[k] = 0;
            return;
        }
        bool ok32 = Read32(k, false);
        ok32 &= Read32(k, true);
        Prm32CmpDone[k] = ok32 ? -1 : 0;
        return;
    }
    // A partial scope refreshes part of the copy: a failure makes the whole copy count as unread, so that
    // the next read that asks for it reads again.
    const bool system = has("/SYSTEM");
    const bool ok16 = system ? ReadSystem16(k) : ReadUser16(k);
    if (!ok16) PrmCmpDone[k] = 0;
    if (Prm32Cnt != 0 && !Read32(k, system)) Prm32CmpDone[k] = 0;
}

void FrmEEP::ChkeckDataToUserData() {
    const int k = AxisNo;
    if (k < 0 || k >= PrmCmpAxisCnt) return;
    if (PrmCmpDone[k] != 0)
        for (int n = 0; n <= 255; ++n)
            PrmVal[n] = PrmCmpVal[k][n];
    // The 32-bit values too: after an axis is taken up they are the presets, which the amplifier never
    // had, and the change list would offer them as changes.
    if (Prm32Cnt != 0 && Prm32CmpDone[k] != 0)
        for (int n = 0; n < std::min<int>(Prm32MaxAll, PrmCnt); ++n)
            Prm32Val[n] = Prm32CmpVal[k][n];
}
