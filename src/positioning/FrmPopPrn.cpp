#include "positioning/FrmPopPrn.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "positioning/PopGlb.h"
#include "positioning/PopPrint.h"

namespace {

FrmPopPrn::ShowHook& Hook() {
    static FrmPopPrn::ShowHook hook;
    return hook;
}

QString HexOf(int v) {
    return QString::number(static_cast<unsigned>(v) & 0xFFFFu, 16).toUpper();
}

} // namespace

FrmPopPrn::ShowHook FrmPopPrn::SetShowHook(ShowHook hook) {
    ShowHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

FrmPopPrn::FrmPopPrn(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmPopPrn");
    plat::RegisterForm("FrmPopPrn", this);
    setWindowTitle("Printing positioning parameters");
    ChkStep = new QCheckBox("Step data", this);
    ChkStep->setToolTip("Step data are printed.");
    FraRange = new QGroupBox("The range of the printing", this);
    FraRange->setToolTip("The range of the step which it is printed on is specified.");
    OptStep[0] = new QRadioButton("All is printed", FraRange);
    OptStep[0]->setToolTip("All steps are printed.");
    OptStep[1] = new QRadioButton("To the present page", FraRange);
    OptStep[1]->setToolTip("It is printed to the page being indicated at present.");
    OptStep[2] = new QRadioButton("Specify printing steps (hex)", FraRange);
    OptStep[2]->setToolTip("The step which it is printed on is set up optionally.");
    TxtNoFrom = new QLineEdit(FraRange);
    TxtNoFrom->setToolTip("The step of starting printing is set up.");
    TxtNoTo = new QLineEdit(FraRange);
    TxtNoTo->setToolTip("The step of finishing printing is set up.");
    for (QLineEdit* e : {TxtNoFrom, TxtNoTo}) {
        e->setMaxLength(4);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance("WWWWW") + 12);
        e->installEventFilter(this);
    }
    auto* range = new QGridLayout(FraRange);
    range->addWidget(OptStep[0], 0, 0, 1, 4);
    range->addWidget(OptStep[1], 1, 0, 1, 4);
    range->addWidget(OptStep[2], 2, 0, 1, 4);
    range->addWidget(TxtNoFrom, 3, 0);
    range->addWidget(new QLabel("-", FraRange), 3, 1);
    range->addWidget(TxtNoTo, 3, 2);
    range->setColumnStretch(3, 1);
    ChkPop16 = new QCheckBox("Positioing parameter (16 bits)", this);
    ChkPop16->setToolTip("Positioning parameter (16 bits) are printed.");
    ChkPop32 = new QCheckBox("Posintioning parameter (32 bits)", this);
    ChkPop32->setToolTip("Positioning parameter (32 bits) are printed.");
    CmdOk = new QPushButton("OK", this);
    CmdOk->setToolTip("Start printing.");
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setToolTip("Cancel printing and return to previous screen.");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(ChkStep);
    top->addWidget(FraRange);
    top->addWidget(ChkPop16);
    top->addWidget(ChkPop32);
    top->addLayout(buttons);
    OptStep[0]->setChecked(true);
    ChkStep->setChecked(true);
    connect(ChkStep, &QCheckBox::clicked, this, &FrmPopPrn::ChkStep_Click);
    for (QRadioButton* o : OptStep)
        connect(o, &QRadioButton::clicked, this, &FrmPopPrn::OptStep_Click);
    connect(CmdOk, &QPushButton::clicked, this, &FrmPopPrn::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmPopPrn::CmdCancel_Click);
    ChkStep_Click();
}

void FrmPopPrn::Exec(int& first, int& last, std::string& options) {
    QPointer<FrmPopPrn> w = new FrmPopPrn(QApplication::activeWindow());
    w->TxtNoFrom->setText("0");
    w->TxtNoTo->setText(HexOf(std::max(PopStepInUse() - 1, 0)));
    w->last_ = last;
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    options = "cancel";
    if (w) {
        options = w->options_;
        first = w->first_;
        last = w->last_;
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}

void FrmPopPrn::ChkStep_Click() {
    const bool on = ChkStep->isChecked();
    FraRange->setEnabled(on);
    for (QRadioButton* o : OptStep)
        o->setEnabled(on);
    OptStep_Click();
}

void FrmPopPrn::OptStep_Click() {
    const bool on = ChkStep->isChecked() && OptStep[2]->isChecked();
    TxtNoFrom->setEnabled(on);
    TxtNoTo->setEnabled(on);
}

bool FrmPopPrn::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn) (box == TxtNoFrom ? fromWas_ : toWas_) = box->text();
    if (box && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        box->setText(box == TxtNoFrom ? fromWas_ : toWas_);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPopPrn::CmdOk_Click() {
    if (!ChkStep->isChecked() && !ChkPop16->isChecked() && !ChkPop32->isChecked()) {
        reject();
        return;
    }
    std::string words;
    if (ChkStep->isChecked()) {
        if (OptStep[0]->isChecked()) {
            words += " step_all";
            first_ = 0;
            last_ = PopStepInUse() - 1;
        } else if (OptStep[1]->isChecked()) {
            words += " step_current";
            first_ = 0;
        } else {
            words += " step_specify";
            std::string from = TxtNoFrom->text().toStdString(), to = TxtNoTo->text().toStdString();
            const bool ok = ChkStepRange(from, to);
            TxtNoFrom->setText(QString::fromStdString(from));
            TxtNoTo->setText(QString::fromStdString(to));
            if (!ok) {
                plat::MsgBox("The range of step to print was adjusted.\nConfirm it, and click on OK again.",
                             plat::Buttons::Ok, plat::Icon::None, "The designation of step to print.");
                return;
            }
            first_ = TxtNoFrom->text().toInt(nullptr, 16);
            last_ = TxtNoTo->text().toInt(nullptr, 16);
        }
    }
    if (ChkPop16->isChecked()) words += " pop16";
    if (ChkPop32->isChecked()) words += " pop32";
    options_ = words;
    accept();
}

void FrmPopPrn::CmdCancel_Click() {
    reject();
}
