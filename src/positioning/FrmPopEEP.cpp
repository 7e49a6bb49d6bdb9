#include "positioning/FrmPopEEP.h"

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

#include "app/Fit.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "platform/FormRegistry.h"
#include "positioning/PopEep.h"

namespace {

FrmPopEEP::ShowHook& Hook() {
    static FrmPopEEP::ShowHook hook;
    return hook;
}

QTimer* Guard() {
    Mevalo* m = Mevalo::Instance();
    return m ? m->TimFrmPopEEPDisable() : nullptr;
}

} // namespace

FrmPopEEP::ShowHook FrmPopEEP::SetShowHook(ShowHook hook) {
    ShowHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

FrmPopEEP::FrmPopEEP(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmPopEEP");
    plat::RegisterForm("FrmPopEEP", this);
    setWindowTitle("Writing to EEPROM ");
    Label1 =
        new QLabel("Parameters in the table below are changed. Do you write the changes to EEPROM?", this);
    Label1->setWordWrap(true);
    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setToolTip("Display the changed parameter and its value after and before the change.");
    ListView1->setHeaderLabels({"Type", "No", "Title", "Before the change", "After the change"});
    ListView1->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    auto* frame = new QGroupBox("Detection of the change", this);
    auto* label3 = new QLabel(
        "Detection of the change is made based on the amplifier status when the amplifier is recognized by "
        "Mevalo at the first time. Click this button to make the current status as a reference for the "
        "change detection. Note that you can make the current status as a reference by clicking the <OK> "
        "button to write in EEPROM.",
        frame);
    label3->setWordWrap(true);
    CmdSetBase = new QPushButton("Reference setting", frame);
    CmdSetBase->setToolTip("Renew the detection reference for the change.");
    auto* fl = new QHBoxLayout(frame);
    fl->addWidget(label3, 1);
    fl->addWidget(CmdSetBase);
    CmdOk = new QPushButton("OK", this);
    CmdOk->setToolTip("Exit this screen after writing to EEPROM.");
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setToolTip("Exit this screen without writing to EEPROM.");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(Label1);
    top->addWidget(ListView1, 1);
    top->addWidget(frame);
    top->addLayout(buttons);
    resize(640, 420);
    connect(CmdOk, &QPushButton::clicked, this, &FrmPopEEP::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmPopEEP::CmdCancel_Click);
    connect(CmdSetBase, &QPushButton::clicked, this, &FrmPopEEP::CmdSetBase_Click);
}

void FrmPopEEP::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Widths();
}

void FrmPopEEP::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Widths();
}

// Column widths in 32nds of the list's width, but never less than the column's longest cell or its heading:
// a cut "Step", "Prm16" and "Prm32" read alike.
constexpr int ColumnShares[5] = {2, 1, 11, 6, 6};

void FrmPopEEP::Widths() {
    FitColumns(ListView1, ListView1->viewport()->width(), ColumnShares);
}

bool FrmPopEEP::Fill() {
    ListView1->clear();
    for (const PopChangeRow& r : PopChangeList()) {
        auto* item = new QTreeWidgetItem(ListView1);
        const std::string cells[] = {r.type, r.no, r.title, r.before, r.after};
        for (int c = 0; c < 5; ++c)
            item->setText(c, QString::fromStdString(cells[c]));
        item->setTextAlignment(1, Qt::AlignCenter);
    }
    // The list widens to show every column whole.
    ListView1->setMinimumWidth(FitColumns(ListView1, ListView1->viewport()->width(), ColumnShares));
    return ListView1->topLevelItemCount() > 0;
}

void FrmPopEEP::Exec(const std::string& options) {
    if (QTimer* t = Guard(); t && t->isActive()) return;
    DlgResult = 0;
    if (ChkComm(0, "Communication error") == 0) return;
    QPointer<FrmPopEEP> w = new FrmPopEEP(QApplication::activeWindow());
    if (w->Fill()) {
        if (Hook())
            Hook()(*w);
        else
            w->exec();
    } else if (options.find(PopEepOpt::ExplicitWord) != std::string::npos &&
               MsgYesNo("No change in parameter. Do you still write ?", "Yes ?")) {
        w->CmdOk_Click();
    }
    if (w) {
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}

void FrmPopEEP::PopCheckPoint(const std::string& options) {
    ::PopCheckPoint(options);
}

void FrmPopEEP::Closed() {
    if (QTimer* t = Guard()) t->start();
    hide();
}

void FrmPopEEP::CmdOk_Click() {
    if (!PopEepWrite()) {
        // The change stays listed; the user may try again or cancel.
        DlgResult = 0;
        return;
    }
    DlgResult = -1;
    Closed();
    accept();
}

void FrmPopEEP::CmdCancel_Click() {
    DlgResult = 0;
    Closed();
    reject();
}

void FrmPopEEP::CmdSetBase_Click() {
    ::PopCheckPoint(PopEepOpt::ForceAll);
}
