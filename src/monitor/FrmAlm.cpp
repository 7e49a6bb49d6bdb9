#include "monitor/FrmAlm.h"

#include "app/ChildMenus.h"

#include "app/Glb.h"
#include "app/Mevalo.h"
#include "comm/Com.h"
#include "comm/RGlb.h"
#include "comm/TeskCmd.h"
#include "data/PrmGlb.h"
#include "monitor/FrmMoni.h"
#include "monitor/MonGlb.h"
#include "platform/FormRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr const char* kForm = "FrmAlm";
constexpr int kFirstTickMs = 500;
constexpr const char* kHistTip = "Display the error history.";
constexpr const char* kNowTip = "Display the current alarm";
constexpr const char* kDataTip = "Display the internal use data for confirmation.";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QLabel* Pic(QWidget* parent, const QString& name, int chars, Qt::Alignment align = Qt::AlignLeft) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(l->fontMetrics().averageCharWidth() * chars);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

std::string RowCaption(int i) {
    if (i == 0) return "latest";
    static const char* const first[] = {"", "2nd", "3rd"};
    return i < 3 ? first[i] : std::to_string(i + 1) + "th";
}

} // namespace

FrmAlm::FrmAlm(QWidget* parent) : QWidget(parent) {
    setObjectName(kForm);
    setWindowTitle("Alarm");

    auto* root = new QVBoxLayout(this);
    BuildMenus();
    root->setMenuBar(Menus);

    TBar = new QToolBar(this);
    TBar->setObjectName("TBar");
    struct Btn {
        const char* key;
        const char* caption;
        const char* tip;
    };
    static const Btn buttons[] = {{"ClearAlarm", "Clear", "Clear the current alarm."},
                                  {"ClearHistory", "Clear", "Clear the error history."},
                                  {"ClearSystemHistory", "Clear", "Clear the system error history."},
                                  {"Exit", "Exit", "Exit this screen."}};
    for (const Btn& b : buttons) {
        QAction* a = TBar->addAction(b.caption);
        a->setObjectName(b.key);
        a->setToolTip(b.tip);
        const std::string key = b.key;
        connect(a, &QAction::triggered, this, [this, key] { TBar_ButtonClick(key); });
    }
    root->addWidget(TBar);

    auto* now = new QGroupBox("Current alarm", this);
    now->setObjectName("FraNow");
    now->setToolTip("Display the current alarm status in this column.");
    auto* nowL = new QGridLayout(now);
    PicAlmMsgNow = Pic(now, "PicAlmMsgNow", 36);
    PicAlmMsgNow->setToolTip(kNowTip);
    PicAlmTimNow = Pic(now, "PicAlmTimNow", 10, Qt::AlignRight);
    PicAlmTimNow->setToolTip(kDataTip);
    PicMkrDat1 = Pic(now, "PicMkrDat1", 6, Qt::AlignRight);
    PicMkrDat2 = Pic(now, "PicMkrDat2", 6, Qt::AlignRight);
    PicMkrDat1->setToolTip(kDataTip);
    PicMkrDat2->setToolTip(kDataTip);
    nowL->addWidget(PicAlmMsgNow, 0, 0, 1, 4);
    nowL->addWidget(PicAlmTimNow, 0, 4);
    nowL->addWidget(new QLabel("Internal use data for confirmation", now), 1, 0, 1, 2);
    nowL->addWidget(PicMkrDat1, 1, 2);
    nowL->addWidget(PicMkrDat2, 1, 3);
    nowL->setColumnStretch(0, 1);
    LblWork = new QLabel("*", this);
    LblWork->setObjectName("LblWork");
    LblWork->setToolTip(MoniText::WorkTip);
    auto* top = new QHBoxLayout;
    top->addWidget(now, 1);
    top->addWidget(LblWork, 0, Qt::AlignTop);
    root->addLayout(top);

    auto* hist = new QGroupBox("Error history", this);
    hist->setObjectName("FraHist");
    auto* histL = new QGridLayout(hist);
    histL->addWidget(new QLabel("Error", hist), 0, 1);
    histL->addWidget(new QLabel("Internal use data for confirmation", hist), 0, 2);
    for (int i = 0; i < Rows; ++i) {
        const auto k = static_cast<size_t>(i);
        Label2[k] = new QLabel(Q(RowCaption(i)), hist);
        Label2[k]->setObjectName(QString("Label2_%1").arg(i));
        PicAlmMsg[k] = Pic(hist, QString("PicAlmMsg_%1").arg(i), 36);
        PicAlmMsg[k]->setToolTip(kHistTip);
        PicAlmTim[k] = Pic(hist, QString("PicAlmTim_%1").arg(i), 6, Qt::AlignRight);
        PicAlmTim[k]->setToolTip(kDataTip);
        histL->addWidget(Label2[k], i + 1, 0);
        histL->addWidget(PicAlmMsg[k], i + 1, 1);
        histL->addWidget(PicAlmTim[k], i + 1, 2);
    }
    histL->setColumnStretch(1, 1);
    root->addWidget(hist, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(kFirstTickMs);
    connect(Timer1, &QTimer::timeout, this, &FrmAlm::Timer1_Timer);

    plat::RegisterForm(kForm, this);
    Form_Load();
}

FrmAlm::~FrmAlm() {
    plat::UnregisterForm(this);
}

FrmAlm* FrmAlm::Instance() {
    return qobject_cast<FrmAlm*>(plat::FindForm(kForm));
}

void FrmAlm::Open() {
    FrmAlm* w = Instance();
    Mevalo* main = Mevalo::Instance();
    if (!w) {
        w = new FrmAlm;
        if (main) main->AddChild(w);
    }
    Mevalo::ShowChild(w);
}

void FrmAlm::BuildMenus() {
    Menus = new QMenuBar(this);
    auto item = [this](QMenu* menu, const char* caption, const QString& name, auto fn) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        if (!name.isEmpty()) a->setObjectName(name);
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    auto main = [] { return Mevalo::Instance(); };

    QMenu* fil = Menus->addMenu("File &F");
    connect(fil, &QMenu::aboutToShow, this, [this, main] {
        if (main()) main()->MnuFilEnable(this);
    });
    QMenu* clr = fil->addMenu("Clear &E");
    item(clr, "Current alarm &A", "MnuClrAlm", [this] { ClrAlmAsk(); });
    item(clr, "Error history &H", "MnuClrHist", [this] { ClrHistAsk(); });
    MnuClrSys = item(clr, "System history &S", "MnuClrSys", [this] { ClrSysHistAsk(); });
    QMenu* set = fil->addMenu("Setting &S");
    const char* settings[] = {"Selection of the axis address(ID) &A", "Model selection &M",
                              "Communication with the amplifier &P", "Communication setting &C"};
    AddMainItems(set, "MnuSeTtei", settings, 4, &Mevalo::MnuSeTtei_Click);
    item(fil, "Close &C", "MnuClose", [this] { CloseAlm(); });
    item(fil, "Exit of Mevalo &X", "MnuSyuuRyou", [main] {
        if (main()) main()->MnuSyuuRyou_Click();
    });

    QMenu* disp = Menus->addMenu("Display &D");
    AddDisplayItems(disp, this);

    QMenu* win = Menus->addMenu("Window &W");
    AddWindowItems(win);

    QMenu* help = Menus->addMenu("Help &H");
    item(help, "Version information &V", "MnuVerGrp", [main] {
        if (main()) main()->MnuVerGrp_Click();
    });
}

void FrmAlm::Form_Load() {
    Timer1->start();
    const int hist = AlmRowsShown(AlmHistRows);
    const int time = AlmRowsShown(AlmTimeRows);
    for (int i = 0; i < Rows; ++i) {
        const auto k = static_cast<size_t>(i);
        PicAlmMsg[k]->setVisible(i < hist);
        Label2[k]->setVisible(i < hist);
        PicAlmTim[k]->setVisible(i < time);
    }
    // The clears are family R requests; the system history is for operating modes 2 and 3.
    const bool r = CurrentFamily() == CmdFamilyKind::R;
    for (QAction* a : TBar->actions())
        if (a->objectName().startsWith("Clear")) a->setEnabled(r);
    for (const char* name : {"MnuClrAlm", "MnuClrHist"})
        if (QAction* a = Menus->findChild<QAction*>(name)) a->setEnabled(r);
    for (QAction* a : TBar->actions())
        if (a->objectName() == "ClearSystemHistory") a->setEnabled(r && UserLevel >= 2);
    MnuClrSys->setEnabled(r && UserLevel >= 2);
    PicAlmTimNow->setVisible(AlmTimNowShown != 0);
}

void FrmAlm::SetWork(bool failed) {
    LblWork->setText(failed ? "*" : "");
    LblWork->repaint();
}

void FrmAlm::Timer1_Timer() {
    Timer1->stop();
    Mevalo* main = Mevalo::Instance();
    const bool closing = main && main->IsCloseGoing(Timer1);
    const FrmMoni* moni = FrmMoni::Instance();
    const bool moniBackingOff = moni && MonitorBackingOff(moni->TimerInterval());
    const double f = GetPollFactor();
    PollOutcome outcome = PollTickStart(PollWindow::Alarm, closing, ComBusyGet(), moniBackingOff);
    if (outcome == PollOutcome::Done && PollJustTicked()) {
        Timer1->start(PollYieldMs);
        return;
    }
    if (outcome == PollOutcome::Done) {
        QPointer<FrmAlm> self(this);
        const bool ok = AlmReadCycle();
        PollTickEnded();
        if (!self) return;
        if (ok)
            DispAlm();
        else
            outcome = PollOutcome::BackOff;
    }
    if (outcome != PollOutcome::Closing) SetWork(outcome != PollOutcome::Done);
    if (const int ms = PollNextInterval(PollWindow::Alarm, outcome, f); ms > 0) Timer1->start(ms);
}

void FrmAlm::DrawPicText(QLabel* pic, const std::string& text, bool red) {
    SetAlarmColour(pic, red);
    pic->setText(Q(text));
}

void FrmAlm::DrawHexVal(QLabel* pic, int32_t v) {
    pic->setText(Q(HexText(v)));
}

void FrmAlm::DrawHex4(QLabel* pic, int32_t v) {
    pic->setText(Q(Hex4Text(v)));
}

void FrmAlm::DispAlm() {
    const bool detail = UserLevel >= 2;
    auto tip = [detail](int code, const char* fixed) {
        return detail ? Q(AlmDetailText(code)) : QString(fixed);
    };
    if (AlmNo != 0) {
        DrawPicText(PicAlmMsgNow, AlmCodeText(AlmNo), true);
        PicAlmMsgNow->setToolTip(tip(AlmNo, kNowTip));
    } else {
        DrawPicText(PicAlmMsgNow, MoniText::Normal, false);
        PicAlmMsgNow->setToolTip(kNowTip);
    }
    const int hist = AlmRowsShown(AlmHistRows);
    for (int i = 0; i < hist; ++i) {
        QLabel* pic = PicAlmMsg[static_cast<size_t>(i)];
        if (AlmHist[i] != 0) {
            DrawPicText(pic, AlmCodeText(AlmHist[i]), true);
            pic->setToolTip(tip(AlmHist[i], kNowTip));
        } else {
            DrawPicText(pic, "", true);
            pic->setToolTip(kHistTip);
        }
    }
    // The time counter, the internal-use values and the stamps are read from family R alone.
    const bool r = CurrentFamily() == CmdFamilyKind::R;
    if (r) {
        DrawHex4(PicMkrDat1, MkrDat1);
        DrawHex4(PicMkrDat2, MkrDat2);
        DrawHexVal(PicAlmTimNow, AlmTimNow);
    }
    const int time = AlmRowsShown(AlmTimeRows);
    for (int i = 0; i < time; ++i) {
        QLabel* pic = PicAlmTim[static_cast<size_t>(i)];
        if (r && AlmHist[i] != 0)
            DrawHex4(pic, AlmTime[i]);
        else
            DrawPicText(pic, "", false);
    }
}

void FrmAlm::RunClear(ClearKind kind) {
    QPointer<FrmAlm> self(this);
    Timer1->stop();
    ::RunClear(kind);
    if (self) Timer1->start(PollNextInterval(PollWindow::Alarm, PollOutcome::Done, GetPollFactor()));
}

void FrmAlm::ClrAlmAsk() {
    RunClear(ClearKind::Alarm);
}
void FrmAlm::ClrHistAsk() {
    RunClear(ClearKind::History);
}
void FrmAlm::ClrSysHistAsk() {
    if (UserLevel >= 2) RunClear(ClearKind::SystemHistory);
}

void FrmAlm::TBar_ButtonClick(const std::string& key) {
    if (key == "ClearAlarm")
        ClrAlmAsk();
    else if (key == "ClearHistory")
        ClrHistAsk();
    else if (key == "ClearSystemHistory")
        ClrSysHistAsk();
    else if (key == "Exit")
        CloseAlm();
}

void FrmAlm::CloseAlm() {
    Timer1->stop();
    if (Mevalo* main = Mevalo::Instance())
        main->UnloadWindow(this);
    else if (close())
        deleteLater();
}

void FrmAlm::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    hide();
    plat::UnregisterForm(this);
    event->accept();
}
