#include "monitor/FrmMoni.h"

#include "app/Fit.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/Uty.h"
#include "comm/Com.h"
#include "comm/RGlb.h"
#include "comm/TeskKGlb.h"
#include "monitor/MonGlb.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr const char* kForm = "FrmMoni";
constexpr int kFirstTickMs = 100;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString Lines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& l : lines)
        out << Q(l);
    return out.join('\n');
}

// A value label: sunken, wide enough for its longest value.
QLabel* Value(QWidget* parent, const char* name, int minChars = 14) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(l->fontMetrics().averageCharWidth() * minChars);
    return l;
}

QLabel* Caption(QWidget* parent, const char* name, const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(name);
    return l;
}

// A picture that lists up to sixteen lines of bit names.
QLabel* Picture(QWidget* parent, const char* name) {
    auto* l = Value(parent, name, 24);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setMinimumHeight(LinesHeight(l, 16));
    return l;
}

QLabel* Note(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    return l;
}

} // namespace

FrmMoni::FrmMoni(QWidget* parent) : QWidget(parent) {
    setObjectName(kForm);
    setWindowTitle("Monitor");
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* root = new QVBoxLayout(this);
    TBar = new QToolBar(this);
    TBar->setObjectName("TBar");
    QAction* exit = TBar->addAction("Exit");
    exit->setObjectName("Exit");
    exit->setToolTip("Exit this screen.");
    connect(exit, &QAction::triggered, this, [this] { TBar_ButtonClick("Exit"); });
    root->addWidget(TBar);

    auto* head = new QGridLayout;
    speed = Value(this, "speed");
    trq = Value(this, "trq");
    err_cnt = Value(this, "err_cnt");
    LblCtrlMode = Value(this, "LblCtrlMode", 20);
    LblCtrlModeMsg = Caption(this, "LblCtrlModeMsg", "Control mode:");
    LblAlmMsgNow = Value(this, "LblAlmMsgNow", 28);
    LblAlmMsgNow->setText(MoniText::Normal);
    PicAlart = Value(this, "PicAlart", 28);
    PicAlart->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PicAlart->setMinimumHeight(PicAlart->fontMetrics().lineSpacing() * 3 + 8);
    LblWork = Caption(this, "LblWork", "*");
    LblWork->setToolTip(MoniText::WorkTip);
    head->addWidget(Caption(this, "LblSpeedMsg", "Actual speed:"), 0, 0);
    head->addWidget(speed, 0, 1);
    head->addWidget(Caption(this, "LblTrqMsg", "Torque:"), 1, 0);
    head->addWidget(trq, 1, 1);
    head->addWidget(Caption(this, "LblErrMsg", "Position error:"), 2, 0);
    head->addWidget(err_cnt, 2, 1);
    head->addWidget(LblCtrlModeMsg, 0, 2);
    head->addWidget(LblCtrlMode, 0, 3);
    head->addWidget(Caption(this, "LblAlmMsg", "Alarm:"), 1, 2);
    head->addWidget(LblAlmMsgNow, 1, 3);
    head->addWidget(Caption(this, "LblWarnMsg", "Warning:"), 2, 2, Qt::AlignTop);
    head->addWidget(PicAlart, 2, 3, 2, 1);
    head->addWidget(LblWork, 0, 4, Qt::AlignRight | Qt::AlignTop);
    head->setColumnStretch(3, 1);
    root->addLayout(head);

    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName("TabStrip1");
    TabStrip1->setExpanding(false);
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
    root->addWidget(TabStrip1);
    Pages = new QStackedWidget(this);
    root->addWidget(Pages, 1);

    // Page 0: I/O states.
    Frame4[0] = new QGroupBox("I/O monitor", Pages);
    {
        auto* g = new QGridLayout(Frame4[0]);
        auto* in = new QGroupBox("Input status", Frame4[0]);
        auto* inL = new QVBoxLayout(in);
        inL->addWidget(Caption(in, "LblInMsg", "Input status:"));
        Picture1 = Picture(in, "Picture1");
        inL->addWidget(Picture1);
        auto* out = new QGroupBox("Output status.", Frame4[0]);
        auto* outL = new QVBoxLayout(out);
        outL->addWidget(Caption(out, "LblOutMsg", "Output status:"));
        Picture2 = Picture(out, "Picture2");
        outL->addWidget(Picture2);
        g->addWidget(in, 0, 0);
        g->addWidget(out, 0, 1);
    }
    // Page 1: load rates.
    Frame4[1] = new QGroupBox("Pulse/Regenerative monitor", Pages);
    {
        auto* g = new QGridLayout(Frame4[1]);
        LblLoadMsg = Caption(Frame4[1], "LblLoadMsg", "Load rate :");
        LblLoad = Value(Frame4[1], "LblLoad");
        LblKaiseiMsg = Caption(Frame4[1], "LblKaiseiMsg", "Regenerative discharge resistance load rate:");
        LblKaisei = Value(Frame4[1], "LblKaisei");
        Label7 = Note(Frame4[1], "Label7");
        Label8 = Note(Frame4[1], "Label8");
        g->addWidget(LblLoadMsg, 0, 0);
        g->addWidget(LblLoad, 0, 1);
        g->addWidget(LblKaiseiMsg, 1, 0);
        g->addWidget(LblKaisei, 1, 1);
        g->addWidget(Label7, 2, 0, 1, 2);
        g->addWidget(Label8, 3, 0, 1, 2);
        g->setRowStretch(4, 1);
    }
    // Page 2: absolute encoder.
    Frame4[2] = new QGroupBox("Absolute encoder monitor", Pages);
    {
        auto* g = new QGridLayout(Frame4[2]);
        LblAbsoTypeMsg = Caption(Frame4[2], "LblAbsoTypeMsg", "Encoder type");
        LblAbsoType = Value(Frame4[2], "LblAbsoType", 24);
        LblAbsoPosSMsg = Caption(Frame4[2], "LblAbsoPosSMsg", "Single-turn data:");
        LblAbsoPosS = Value(Frame4[2], "LblAbsoPosS");
        LblAbsoPosMMsg = Caption(Frame4[2], "LblAbsoPosMMsg", "Multi-turn data:");
        LblAbsoPosM = Value(Frame4[2], "LblAbsoPosM");
        LblAbsoStatMsg = Caption(Frame4[2], "LblAbsoStatMsg", "Status :");
        PicAbsoStat = Picture(Frame4[2], "PicAbsoStat");
        CmdBatClr = new QPushButton("Clear", Frame4[2]);
        CmdBatClr->setObjectName("CmdBatClr");
        CmdClr = new QPushButton("Clear", Frame4[2]);
        CmdClr->setObjectName("CmdClr");
        g->addWidget(LblAbsoTypeMsg, 0, 0);
        g->addWidget(LblAbsoType, 0, 1);
        g->addWidget(LblAbsoPosSMsg, 1, 0);
        g->addWidget(LblAbsoPosS, 1, 1);
        g->addWidget(LblAbsoPosMMsg, 2, 0);
        g->addWidget(LblAbsoPosM, 2, 1);
        g->addWidget(Caption(Frame4[2], "LblBatMsg", "Battery warning:"), 3, 0);
        g->addWidget(CmdBatClr, 3, 1, Qt::AlignLeft);
        g->addWidget(Caption(Frame4[2], "LblClrMsg", "Multi-turn data and encoder error:"), 4, 0);
        g->addWidget(CmdClr, 4, 1, Qt::AlignLeft);
        g->addWidget(LblAbsoStatMsg, 0, 2, Qt::AlignTop);
        g->addWidget(PicAbsoStat, 0, 3, 6, 1);
        g->setRowStretch(5, 1);
        // Enabled once an absolute encoder has been read.
        CmdBatClr->setEnabled(false);
        CmdClr->setEnabled(false);
        connect(CmdBatClr, &QPushButton::clicked, this, &FrmMoni::CmdBatClr_Click);
        connect(CmdClr, &QPushButton::clicked, this, &FrmMoni::CmdClr_Click);
    }
    // Page 3: pulse check-sums.
    Frame4[3] = new QGroupBox("Pulse monitor", Pages);
    {
        auto* g = new QGridLayout(Frame4[3]);
        LblCmdCnt = Value(Frame4[3], "LblCmdCnt");
        LblFBCnt = Value(Frame4[3], "LblFBCnt");
        Label5 = Note(Frame4[3], "Label5");
        Label6 = Note(Frame4[3], "Label6");
        g->addWidget(Caption(Frame4[3], "LblCmdCntMsg", "Command pulse check-sum"), 0, 0);
        g->addWidget(LblCmdCnt, 0, 1);
        g->addWidget(Caption(Frame4[3], "LblFBCntMsg", "Feed-back pulse\nCheck-sum:"), 1, 0);
        g->addWidget(LblFBCnt, 1, 1);
        g->addWidget(Label5, 2, 0, 1, 2);
        g->addWidget(Label6, 3, 0, 1, 2);
        g->setRowStretch(4, 1);
    }
    // Page 4: external scale.
    Frame4[4] = new QGroupBox("Full closed monitor", Pages);
    {
        auto* g = new QGridLayout(Frame4[4]);
        LblCmdCnt2 = Value(Frame4[4], "LblCmdCnt2");
        LblExtFBPSum = Value(Frame4[4], "LblExtFBPSum");
        LblExtFBErr = Value(Frame4[4], "LblExtFBErr");
        Label15 = Caption(Frame4[4], "Label15", "External scale");
        Label15a = Caption(Frame4[4], "Label15a", "Feed-back pulse");
        Label15b = Caption(Frame4[4], "Label15b", "Check-sum:");
        Label14 = Caption(Frame4[4], "Label14", "External scale error:");
        Label11 = Note(Frame4[4], "Label11");
        Label12 = Note(Frame4[4], "Label12");
        Label16 = Note(Frame4[4], "Label16");
        g->addWidget(Caption(Frame4[4], "Label13", "Command pulse check-sum"), 0, 0, 1, 3);
        g->addWidget(LblCmdCnt2, 0, 3);
        auto* ext = new QHBoxLayout;
        for (QLabel* l : {Label15, Label15a, Label15b})
            ext->addWidget(l);
        ext->addStretch(1);
        g->addLayout(ext, 1, 0, 1, 3);
        g->addWidget(LblExtFBPSum, 1, 3);
        g->addWidget(Label14, 2, 0, 1, 3);
        g->addWidget(LblExtFBErr, 2, 3);
        g->addWidget(Label11, 3, 0, 1, 4);
        g->addWidget(Label12, 4, 0, 1, 4);
        g->addWidget(Label16, 5, 0, 1, 4);
        g->setRowStretch(6, 1);
        // Off until a full-closed control mode is seen.
        for (QWidget* w : {static_cast<QWidget*>(LblExtFBPSum), static_cast<QWidget*>(LblExtFBErr),
                           static_cast<QWidget*>(Label15), static_cast<QWidget*>(Label15a),
                           static_cast<QWidget*>(Label15b), static_cast<QWidget*>(Label14),
                           static_cast<QWidget*>(Label11)})
            w->setEnabled(false);
    }
    for (QGroupBox* f : Frame4)
        Pages->addWidget(f);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(kFirstTickMs);
    connect(Timer1, &QTimer::timeout, this, &FrmMoni::Timer1_Timer);

    plat::RegisterForm(kForm, this);
    Form_Load();
}

FrmMoni::~FrmMoni() {
    plat::UnregisterForm(this);
}

FrmMoni* FrmMoni::Instance() {
    return qobject_cast<FrmMoni*>(plat::FindForm(kForm));
}

void FrmMoni::Open() {
    FrmMoni* w = Instance();
    Mevalo* main = Mevalo::Instance();
    if (!w) {
        w = new FrmMoni;
        if (main) main->AddChild(w);
    }
    Mevalo::ShowChild(w);
}

int FrmMoni::TimerInterval() const {
    return Timer1->interval();
}

void FrmMoni::Form_Load() {
    Timer1->start();
    Label11->setText(Q(AutoMsg[20]));
    Label7->setText(Q(AutoMsg[21]));
    Label8->setText(Q(AutoMsg[22]));
    Label5->setText(Q(AutoMsg[23]));
    Label16->setText(Q(AutoMsg[23]));
    Label6->setText(Q(AutoMsg[24]));
    Label12->setText(Q(AutoMsg[25]));

    struct Tip {
        const char* caption;
        const char* tip;
    };
    static const Tip tips[] = {{MoniText::Io1, "Display the I/O status."},
                               {MoniText::Io2, "Display the I/O status."},
                               {MoniText::Pulse, "Display the pulse status."},
                               {MoniText::Load, "Display the load status."},
                               {MoniText::Abso, "Display absolute encoder status."},
                               {MoniText::FullClosed, "Display the full closed status."}};
    const QSignalBlocker block(TabStrip1);
    while (TabStrip1->count() > 0)
        TabStrip1->removeTab(0);
    for (const std::string& caption : MoniTabs()) {
        const int i = TabStrip1->addTab(Q(caption));
        for (const Tip& t : tips)
            if (caption == t.caption) TabStrip1->setTabToolTip(i, t.tip);
    }
    TabStrip1->setCurrentIndex(0);
    // The page in front follows the selected tab (without I/O pages the first tab is "Pulse").
    Pages->setCurrentIndex(std::max(0, MoniPageOfTab(SelectedTab())));

    const bool load = MoniOptLoad != 0;
    LblCmdCnt->setVisible(load);
    LblFBCnt->setVisible(load);
    for (QLabel* l : {LblLoad, LblKaisei, LblLoadMsg, LblKaiseiMsg})
        l->setVisible(load && UserLevel >= 1);
    LblCtrlMode->setVisible(MoniOptCtrlMode != 0);
    LblCtrlModeMsg->setVisible(MoniOptCtrlMode != 0);
}

std::string FrmMoni::SelectedTab() const {
    return TabStrip1->tabText(TabStrip1->currentIndex()).toStdString();
}

void FrmMoni::TabStrip1_Click() {
    const int page = MoniPageOfTab(SelectedTab());
    if (page >= 0) Pages->setCurrentIndex(page);
}

void FrmMoni::SetWork(bool failed) {
    LblWork->setText(failed ? "*" : "");
    LblWork->repaint();
}

void FrmMoni::Rearm(int ms) {
    if (ms <= 0) return;
    Timer1->start(ms);
}

void FrmMoni::Timer1_Timer() {
    Timer1->stop();
    // The tick already comes from the event loop: it pumps no events of its own, so no second tick
    // and no close runs inside it.
    Mevalo* main = Mevalo::Instance();
    const bool closing = main && main->IsCloseGoing(Timer1);
    const double f = GetPollFactor();
    const PollOutcome start = PollTickStart(PollWindow::Monitor, closing, ComBusyGet(), false);
    if (start != PollOutcome::Done) {
        if (start == PollOutcome::Busy) SetWork(true);
        Rearm(PollNextInterval(PollWindow::Monitor, start, f));
        return;
    }

    if (PollJustTicked()) {
        Rearm(PollYieldMs);
        return;
    }

    QPointer<FrmMoni> self(this);
    const std::string tab = SelectedTab();
    const MoniCycle c = MoniReadCycle(tab, ExtFbPulseSum, ExtScaleErr);
    PollTickEnded();
    if (!self) return;
    if (c.outcome == PollOutcome::BackOff) {
        SetWork(true);
        Rearm(PollNextInterval(PollWindow::Monitor, c.outcome, f));
        return;
    }
    DispWarn();
    if (c.alarmRead) DispAlmNow();
    if (c.outcome == PollOutcome::ReadFailed) {
        SetWork(true);
        Rearm(PollNextInterval(PollWindow::Monitor, c.outcome, f));
        return;
    }
    speed->setText(Q(GeneralNumber(MonVal.Speed) + " r/min"));
    trq->setText(Q(plat::FormatFixed(MonVal.Torque, 1) + " %"));
    err_cnt->setText(Q(GeneralNumber(MonVal.Counter) + " pulse"));
    if (LblCtrlMode->isVisibleTo(this)) LblCtrlMode->setText(Q(CtrlModeText(MonCtrlMode)));
    ShowPage(c, tab);

    SetWork(c.pageFailed);
    // Armed after the reads, so that a slow cycle never runs the next one back to back.
    Rearm(PollNextInterval(PollWindow::Monitor, PollOutcome::Done, f));
}

void FrmMoni::ShowPage(const MoniCycle& c, const std::string& tab) {
    const int page = MoniPageOfTab(tab);
    if (page == 0) {
        DispIo(tab);
        return;
    }
    if (page == 2) {
        const bool r = MoniPageSupported(page);
        CmdClr->setEnabled(r && c.pageRead);
        CmdBatClr->setEnabled(r && c.pageRead);
        if (!c.pageRead) return;
        const EncoderRec& rec = EncoderTbl[GetMoniItem(AbsEncCode)];
        LblAbsoType->setText(Q(rec.Name));
        if (rec.Flag2 == 0) AbsEncStat = 0;
        const bool abs = rec.Flag1 != 0;
        for (QWidget* w :
             std::initializer_list<QWidget*>{LblAbsoType, LblAbsoTypeMsg, LblAbsoPosS, LblAbsoPosSMsg,
                                             LblAbsoPosM, LblAbsoPosMMsg, PicAbsoStat, LblAbsoStatMsg})
            w->setVisible(abs);
        CmdClr->setEnabled(abs);
        CmdBatClr->setEnabled(abs);
        if (!abs) return;
        CmdClr->setVisible(MoniOptMultiClr != 0 && UserLevel >= 1);
        LblAbsoPosS->setText(QString::number(AbsPosSingle));
        LblAbsoPosM->setText(QString::number(AbsPosMulti));
        DispAbsoStat();
        return;
    }
    if (page == 4) {
        if (IsFullClosedMode(MonCtrlMode)) {
            if (!LblExtFBPSum->isEnabled()) SetExtScaleEnabled(true);
            if (c.extScale) {
                LblExtFBPSum->setText(QString::number(ExtFbPulseSum) + " pulse");
                LblExtFBErr->setText(QString::number(ExtScaleErr) + " pulse");
            }
        } else {
            if (LblExtFBPSum->isEnabled()) SetExtScaleEnabled(false);
            if (!LblExtFBPSum->text().isEmpty()) {
                LblExtFBPSum->clear();
                LblExtFBErr->clear();
            }
        }
        if (c.pageRead) LblCmdCnt2->setText(QString::number(CmdPulseSum) + " pulse");
        return;
    }
    if ((page == 1 || page == 3) && c.pageRead) {
        LblCmdCnt->setText(QString::number(CmdPulseSum) + " pulse");
        LblFBCnt->setText(QString::number(FbPulseSum) + " pulse");
        LblLoad->setText(Q(plat::FormatFixed(LoadRate, 1) + " %"));
        LblKaisei->setText(Q(plat::FormatFixed(RegenRate, 1) + " %"));
    }
}

void FrmMoni::SetExtScaleEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{LblExtFBPSum, LblExtFBErr, Label15, Label15a, Label15b,
                                                      Label14, Label11})
        w->setEnabled(on);
}

void FrmMoni::DispWarn() {
    PicAlart->setText(Lines(WarnLines(MonWarn)));
}

void FrmMoni::DispIo(const std::string& tab) {
    const int offset = tab == MoniText::Io2 ? 16 : 0;
    Picture1->setText(Lines(IoLines(MonIn, IoIn, offset)));
    Picture2->setText(Lines(IoLines(MonOut, IoOut, offset)));
    Picture1->repaint();
    Picture2->repaint();
}

void FrmMoni::DispAbsoStat() {
    PicAbsoStat->setText(Lines(AbsoLines(AbsEncStat)));
}

void FrmMoni::DispAlmNow() {
    if (AlmNo != 0) {
        LblAlmMsgNow->setText(Q(AlmCodeText(AlmNo)));
        SetAlarmColour(LblAlmMsgNow, true);
    } else {
        LblAlmMsgNow->setText(MoniText::Normal);
        SetAlarmColour(LblAlmMsgNow, false);
    }
}

void FrmMoni::RunClear(ClearKind kind) {
    // Our own timer waits while the user answers, so that the clear is the next exchange.
    QPointer<FrmMoni> self(this);
    Timer1->stop();
    ::RunClear(kind);
    if (self) Rearm(PollNextInterval(PollWindow::Monitor, PollOutcome::Done, GetPollFactor()));
}

void FrmMoni::CmdBatClr_Click() {
    RunClear(ClearKind::Battery);
}

void FrmMoni::CmdClr_Click() {
    RunClear(ClearKind::MultiTurn);
}

void FrmMoni::TBar_ButtonClick(const std::string& key) {
    if (key == "Exit") CloseMoni();
}

void FrmMoni::CloseMoni() {
    Timer1->stop();
    if (Mevalo* main = Mevalo::Instance())
        main->UnloadWindow(this);
    else if (close())
        deleteLater();
}

void FrmMoni::Form_Unload() {
    Timer1->stop();
    hide();
}

void FrmMoni::closeEvent(QCloseEvent* event) {
    Form_Unload();
    plat::UnregisterForm(this);
    event->accept();
}
