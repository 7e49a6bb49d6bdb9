#include "positioning/FrmPom.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/Glb.h"
#include "app/Mevalo.h"
#include "monitor/MonGlb.h"
#include "monitor/PollTick.h"
#include "platform/FormRegistry.h"
#include "positioning/FrmPop.h"
#include "positioning/PopGlb.h"

namespace {

QPointer<FrmPom>& Current() {
    static QPointer<FrmPom> w;
    return w;
}

QLabel* Value(QWidget* parent, const char* name, const char* tip) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setToolTip(tip);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance("-9223372036854775808 pulse") + 8);
    return l;
}

void Set(QLabel* l, const std::optional<std::string>& text) {
    if (text) l->setText(QString::fromStdString(*text));
}

QString Lines(const std::vector<std::string>& lines) {
    QStringList l;
    for (const std::string& s : lines)
        l << QString::fromStdString(s);
    return l.join('\n');
}

} // namespace

FrmPom* FrmPom::Instance() {
    return Current();
}

FrmPom* FrmPom::Show() {
    if (!Current()) {
        auto* w = new FrmPom();
        Current() = w;
        if (Mevalo* m = Mevalo::Instance()) m->AddChild(w);
        w->Form_Load();
    }
    FrmPom* w = Current();
    w->show();
    Mevalo::ShowChild(w);
    return w;
}

FrmPom::FrmPom() {
    setObjectName("FrmPom");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Positioning monitor");
    plat::RegisterForm("FrmPom", this);
    auto* top = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    bar->setObjectName("TBar");
    QAction* exit = bar->addAction("Exit");
    exit->setObjectName("Exit");
    exit->setToolTip("Exit this screen.");
    connect(exit, &QAction::triggered, this, &FrmPom::CloseMonitor);
    top->addWidget(bar);

    auto* values = new QGridLayout;
    LblCmdPos = Value(this, "LblCmdPos", "Display the command position.");
    LblActPos = Value(this, "LblActPos", "Display the actual position.");
    LblErr = Value(this, "LblErr", "Display the position error.");
    LblFce = Value(this, "LblFce", "Display the full-closed error.");
    speed = Value(this, "speed", "Display the actual speed.");
    LblTrq = Value(this, "LblTrq", "Display the torque.");
    PicAlart = Value(this, "PicAlart", "Display the warning.");
    PicAlart->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    PicAlart->setMinimumHeight(PicAlart->fontMetrics().height() * 4 + 6);
    LblAlmMsgNow = Value(this, "LblAlmMsgNow", "Display the alarm");
    QLabel* shown[] = {LblCmdPos, LblActPos, LblErr, LblFce, speed, LblTrq, PicAlart, LblAlmMsgNow};
    for (int i = 0; i < 8; ++i) {
        LblPom[i] = new QLabel(this);
        values->addWidget(LblPom[i], i, 0, Qt::AlignTop);
        values->addWidget(shown[i], i, 1);
    }
    // Set apart until the first full-closed read succeeds.
    LblPom[3]->setEnabled(false);
    LblFce->setEnabled(false);
    LblWork = new QLabel(this);
    LblWork->setObjectName("LblWork");
    LblWork->setToolTip("Display the communicating status.(*:communication error)");
    LblWork->setMinimumWidth(LblWork->fontMetrics().horizontalAdvance("**"));
    values->addWidget(LblWork, 0, 2, Qt::AlignTop);
    top->addLayout(values);

    TabStrip1 = new QTabBar(this);
    top->addWidget(TabStrip1);
    Frame4 = new QStackedWidget(this);
    top->addWidget(Frame4, 1);
    // Element 0: I/O monitor.
    auto* io = new QGroupBox("I/O monitor", Frame4);
    auto* ioL = new QHBoxLayout(io);
    auto* f1 = new QGroupBox("Input status", io);
    auto* f2 = new QGroupBox("Output status.", io);
    Picture1 = new QLabel(f1);
    Picture1->setToolTip("Display the input status.");
    Picture2 = new QLabel(f2);
    Picture2->setToolTip("Display the output status.");
    for (QLabel* p : {Picture1, Picture2}) {
        p->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        p->setMinimumSize(p->fontMetrics().horizontalAdvance(QString(20, 'W')),
                          p->fontMetrics().height() * 17);
    }
    (new QVBoxLayout(f1))->addWidget(Picture1);
    (new QVBoxLayout(f2))->addWidget(Picture2);
    ioL->addWidget(f1);
    ioL->addWidget(f2);
    Frame4->addWidget(io);
    // Element 1: load.
    auto* load = new QWidget(Frame4);
    auto* loadL = new QGridLayout(load);
    LblLoad = Value(load, "LblLoad", "");
    LblKaisei = Value(load, "LblKaisei", "");
    loadL->addWidget(new QLabel("Load rate :", load), 0, 0);
    loadL->addWidget(LblLoad, 0, 1);
    loadL->addWidget(new QLabel("Regenerative discharge resistance load rate:", load), 1, 0);
    loadL->addWidget(LblKaisei, 1, 1);
    auto* label7 = new QLabel(QString::fromStdString(AutoMsg[21]), load);
    auto* label8 = new QLabel(QString::fromStdString(AutoMsg[22]), load);
    label7->setWordWrap(true);
    label8->setWordWrap(true);
    loadL->addWidget(label7, 2, 0, 1, 2);
    loadL->addWidget(label8, 3, 0, 1, 2);
    loadL->setRowStretch(4, 1);
    Frame4->addWidget(load);
    // Element 2: target.
    auto* tgt = new QWidget(Frame4);
    auto* tg = new QGridLayout(tgt);
    const struct {
        QLabel** value;
        QLabel** name;
        const char* id;
        const char* tip;
    } rows[] = {{&LblTgtStp, nullptr, "LblTgtStp", "Display the now step no."},
                {&LblTgtMod, nullptr, "LblTgtMod", "Display the operation mode."},
                {&LblTgtPos, nullptr, "LblTgtPos", "Display the target position."},
                {&LblTgtTim, nullptr, "LblTgtTim", "Display the dowel time."},
                {&LblTgtVel, &LblTgtVelNam, "LblTgtVel", "Display the target velocity."},
                {&LblTgtAcc, &LblTgtAccNam, "LblTgtAcc", "Display the acceleration."},
                {&LblTgtAcS, &LblTgtAcSNam, "LblTgtAcS", "Display the S-shaped acceleration."},
                {&LblTgtDec, &LblTgtDecNam, "LblTgtDec", "Display the deceleration."},
                {&LblTgtDeS, &LblTgtDeSNam, "LblTgtDeS", "Display the S-shaped deceleration."},
                {&LblTgtBlk, nullptr, "LblTgtBlk", "Display the block operation."}};
    for (int i = 0; i < 10; ++i) {
        LblTgtMsg[i] = new QLabel(tgt);
        tg->addWidget(LblTgtMsg[i], i, 0);
        *rows[i].value = Value(tgt, rows[i].id, rows[i].tip);
        tg->addWidget(*rows[i].value, i, 1);
        if (rows[i].name) {
            *rows[i].name = Value(tgt, (std::string(rows[i].id) + "Nam").c_str(), rows[i].tip);
            tg->addWidget(*rows[i].name, i, 2);
        }
    }
    LblTgtPos->installEventFilter(this);
    Frame4->addWidget(tgt);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &FrmPom::Timer1_Timer);
    connect(TabStrip1, &QTabBar::currentChanged, this, &FrmPom::TabStrip1_Click);
}

FrmPom::~FrmPom() {
    plat::UnregisterForm(this);
}

void FrmPom::Form_Load() {
    Timer1->start();
    const QSignalBlocker block(TabStrip1);
    auto tab = [this](const char* caption, const char* key, const char* tip) {
        const int i = TabStrip1->addTab(caption);
        TabStrip1->setTabData(i, key);
        TabStrip1->setTabToolTip(i, tip);
    };
    tab("Target", PomTab::Target, "Display the target status.");
    tab("Positioning I/O 1", PomTab::PosIo1, "Display the positioning I/O status.");
    tab("Positioning I/O 2", PomTab::PosIo2, "Display the positioning I/O status.");
    if (MoniOptLoad != 0) tab("Load", PomTab::Load, "Display the load status.");
    Frame4->setCurrentIndex(2);
    for (int i = 0; i < 10; ++i)
        LblTgtMsg[i]->setText(QString::fromStdString(LblTxt[0][i]));
    for (int i = 0; i < 8; ++i)
        LblPom[i]->setText(QString::fromStdString(LblTxt[1][i]));
    LblPom[1]->setVisible(MoniOptCtrlMode != 0);
}

QString FrmPom::TabKey() const {
    return TabStrip1->tabData(TabStrip1->currentIndex()).toString();
}

void FrmPom::TabStrip1_Click(int) {
    const QString key = TabKey();
    Frame4->setCurrentIndex(key == PomTab::Load ? 1 : key == PomTab::Target ? 2 : 0);
}

void FrmPom::Timer1_Timer() {
    Timer1->stop();
    QApplication::processEvents();
    if (!Current() || Current() != this) return;
    Mevalo* m = Mevalo::Instance();
    if (PollTickStart(PollWindow::PosMonitor, m && m->IsCloseGoing(Timer1), 0, false) == PollOutcome::Closing)
        return;
    const PomView v = PomPoll(TabKey().toStdString(), GetPollFactor());
    Apply(v);
    Timer1->setInterval(v.interval);
    Timer1->start();
}

void FrmPom::Apply(const PomView& v) {
    Set(LblCmdPos, v.cmdPos);
    Set(LblActPos, v.actPos);
    if (v.warnings) PicAlart->setText(Lines(*v.warnings));
    if (v.fce) {
        LblPom[3]->setEnabled(true);
        LblFce->setEnabled(true);
        LblFce->setText(QString::fromStdString(*v.fce));
    }
    if (v.alarm) {
        LblAlmMsgNow->setText(QString::fromStdString(*v.alarm));
        QPalette p = LblAlmMsgNow->palette();
        p.setColor(QPalette::WindowText,
                   v.alarmRed ? QColor(192, 0, 0) : QApplication::palette().color(QPalette::WindowText));
        LblAlmMsgNow->setPalette(p);
    }
    Set(speed, v.speed);
    Set(LblTrq, v.trq);
    Set(LblErr, v.err);
    Set(LblLoad, v.load);
    Set(LblKaisei, v.kaisei);
    if (v.in) Picture1->setText(Lines({v.in->begin(), v.in->end()}));
    if (v.out) Picture2->setText(Lines({v.out->begin(), v.out->end()}));
    if (v.target) {
        const PomTarget& t = *v.target;
        LblTgtStp->setText(QString::fromStdString(t.stp));
        LblTgtMod->setText(QString::fromStdString(t.mod));
        // In dwell mode the value is a time: the position label and its caption stand aside.
        LblTgtTim->setEnabled(t.dwell);
        LblTgtMsg[3]->setEnabled(t.dwell);
        LblTgtPos->setEnabled(!t.dwell);
        LblTgtMsg[2]->setEnabled(!t.dwell);
        LblTgtPos->setText(QString::fromStdString(t.pos));
        LblTgtTim->setText(QString::fromStdString(t.tim));
        const std::pair<QLabel*, const std::string*> cells[] = {
            {LblTgtVel, &t.vel},       {LblTgtAcc, &t.acc},       {LblTgtAcS, &t.acs},
            {LblTgtDec, &t.dec},       {LblTgtDeS, &t.des},       {LblTgtVelNam, &t.velNam},
            {LblTgtAccNam, &t.accNam}, {LblTgtAcSNam, &t.acsNam}, {LblTgtDecNam, &t.decNam},
            {LblTgtDeSNam, &t.desNam}, {LblTgtBlk, &t.blk}};
        for (const auto& [label, text] : cells)
            label->setText(QString::fromStdString(*text));
    }
    LblWork->setText(v.work ? "*" : "");
}

void FrmPom::LblTgtPos_Click() {
    QApplication::clipboard()->setText(LblTgtPos->text());
    if (FrmPop* p = FrmPop::Instance()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p->parentWidget()); sub && sub->mdiArea())
            sub->mdiArea()->setActiveSubWindow(sub);
        p->activateWindow();
        p->setFocus();
    }
}

bool FrmPom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LblTgtPos && event->type() == QEvent::MouseButtonRelease) LblTgtPos_Click();
    return QWidget::eventFilter(watched, event);
}

void FrmPom::CloseMonitor() {
    Timer1->stop();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void FrmPom::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    plat::UnregisterForm(this);
    event->accept();
}
