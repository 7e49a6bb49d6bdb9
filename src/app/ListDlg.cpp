#include "app/ListDlg.h"

#include "app/Fit.h"
#include "app/Glb.h"
#include "app/ModeCode.h"
#include "platform/FormRegistry.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ListDlg::ListDlg(const char* name, ModeDlg mode, QWidget* parent) : QDialog(parent) {
    setObjectName(name);
    setModal(true);
    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    CmdOk = new QPushButton("OK", this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setObjectName("CmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(List1, 1);
    lay->addLayout(buttons);

    connect(CmdOk, &QPushButton::clicked, this, &ListDlg::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &ListDlg::CmdCancel_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &ListDlg::CmdOk_Click);

    modeKeys_ = new ModeKeyFilter(mode, modeBuf_, this);
    modeKeys_->WatchButton(CmdOk);
    modeKeys_->WatchButton(CmdCancel);
    modeKeys_->WatchWindow(this);

    plat::RegisterForm(name, this);
}

ListDlg::~ListDlg() {
    plat::UnregisterForm(this);
}

void ListDlg::CmdCancel_Click() {
    DlgResult = 0;
    Unload();
}

void ListDlg::reject() {
    CmdCancel_Click();
}

void ListDlg::CenterOnMain() {
    FitToContents(this);
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect m = main->frameGeometry();
        move(m.left() + m.width() / 2 - width() / 2, m.top() + m.height() / 2 - height() / 2);
    }
}

void ListDlg::Unload() {
    hide();
    done(0);
}
