#include "app/FrmPetitDummy.h"

#include "app/Uty.h"
#include "platform/Ask.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <exception>

FrmPetitDummy::FrmPetitDummy(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPetitDummy"));
    // The probe needs the window and its controls to exist, not to be seen.
    setAttribute(Qt::WA_DontShowOnScreen);
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(QStringLiteral("Label"), this), i, 0);
        grid->addWidget(new QLineEdit(this), i, 1);
        grid->addWidget(new QCheckBox(this), i, 2);
        grid->addWidget(i % 2 ? static_cast<QWidget*>(new QComboBox(this)) : new QPushButton(this), i, 3);
    }
    TimInit = new QTimer(this);
    TimInit->setSingleShot(true);
    TimInit->setInterval(1);
    connect(TimInit, &QTimer::timeout, this, [this] { TimInit_Timer(); });
    TimInit->start();
}

void FrmPetitDummy::TimInit_Timer() {
    done(0);
}

void ShowShortOfResources() {
    plat::MsgBox("Too many application is being used.\nTry again after you close some unnecessary windows.",
                 plat::Buttons::Ok, plat::Icon::Exclamation, "Short of the system resources.");
}

bool ChkResourceSmall() {
    bool failed = false;
    try {
        QPointer<FrmPetitDummy> w = new FrmPetitDummy;
        w->winId(); // a real window of the window system, which is what runs short
        w->exec();
        if (w) w->deleteLater();
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed) ShowShortOfResources();
    return failed;
}
