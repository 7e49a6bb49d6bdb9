#include "app/FrmOpen.h"

#include "platform/FormRegistry.h"
#include "platform/Paths.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

// An ordinary frameless dialog: a splash-screen window would run pending events while it is being shown,
// and a short display time could then end the dialog before its own event loop starts.
FrmOpen::FrmOpen(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("FrmOpen");
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(Image1);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(kShowMs);
    connect(Timer1, &QTimer::timeout, this, &FrmOpen::Timer1_Timer);
    plat::RegisterForm("FrmOpen", this);
    Form_Load();
}

FrmOpen::~FrmOpen() {
    plat::UnregisterForm(this);
}

void FrmOpen::Form_Load() {
    // A missing or unreadable picture leaves the splash empty rather than stopping the start.
    QPixmap pic(QString::fromStdString(plat::AppFile("img\\title.bmp")));
    if (!pic.isNull()) {
        Image1->setPixmap(pic);
        setFixedSize(pic.size());
    } else {
        setFixedSize(480, 280);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.width() / 2 - width() / 2, s.height() / 2 - height() / 2);
    }
    Timer1->start();
}

void FrmOpen::Timer1_Timer() {
    Timer1->stop();
    hide();
    done(0);
}

void FrmOpen::keyPressEvent(QKeyEvent*) {
    Timer1_Timer();
}

void ShowFrmOpen(int showMs) {
    FrmOpen f;
    f.Timer1->start(showMs);
    f.exec();
}
