#include "frequency/FrmAuto.h"

#include "app/ChildMenus.h"

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "frequency/FrqGlb.h"
#include "params/FrmEEP.h"
#include "platform/FormRegistry.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int CautionLines = 8;
// Each caution line starts at character column 5; a line takes its own height and 1.2 lines of space.
constexpr double CautionCol = 5.0;
constexpr double CautionTop = -0.7;
constexpr double CautionStep = 1.2;

// The picture the caution lines are printed into.
class CautionPicture : public QWidget {
public:
    explicit CautionPicture(QWidget* parent) : QWidget(parent)
    {
        setObjectName("Picture1");
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics fm(font());
        int widest = 0;
        for (int i = 0; i < CautionLines; ++i)
            widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(AutoMsg[i])));
        const double bottom = CautionTop + CautionLines * (CautionStep + 1.0) + 0.3;
        return {static_cast<int>((CautionCol + 2) * fm.averageCharWidth()) + widest,
                static_cast<int>(bottom * fm.height())};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QFontMetrics fm(font());
        const int x = static_cast<int>(CautionCol * fm.averageCharWidth());
        double row = CautionTop;
        for (int i = 0; i < CautionLines; ++i) {
            row += CautionStep;
            p.drawText(x, static_cast<int>(row * fm.height()) + fm.ascent(), QString::fromStdString(AutoMsg[i]));
            row += 1.0; // printing a line moves on by one
        }
    }
};

QString Q(const char* s) { return QString::fromUtf8(s); }

} // namespace

FrmAuto::FrmAuto(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmAuto");
    setWindowTitle(Q(AutoText::Caption));

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    QMenu* fil = bar->addMenu("File &F");
    QMenu* hyouji = bar->addMenu("Display &D");
    QMenu* win = bar->addMenu("Window &W");
    BuildMenus(fil, hyouji, win, bar->addMenu("Help &H"));

    TBar = new QToolBar(this);
    TBar->setObjectName("TBar");
    TBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    TbStart = TBar->addAction("Exect.");
    TbStart->setObjectName("TbStart");
    TbStart->setToolTip("Execute auto tuning.");
    TbExit = TBar->addAction("Exit");
    TbExit->setObjectName("TbExit");
    TbExit->setToolTip("Exit this screen.");
    TbEEP = TBar->addAction("EEP");
    TbEEP->setObjectName("TbEEP");
    TbEEP->setToolTip("Write the current setting to EEPROM.");
    connect(TbStart, &QAction::triggered, this, &FrmAuto::CmdZiKkou_Click);
    connect(TbExit, &QAction::triggered, this, &FrmAuto::ExitAuto);
    connect(TbEEP, &QAction::triggered, this, &FrmAuto::WriteEEP);
    layout->addWidget(TBar);

    FrameCaution = new QGroupBox("Cautions", this);
    FrameCaution->setObjectName("FrameCaution");
    FrameCaution->setToolTip("Display the cautions of auto tuning. Execute after reading this carefully.");
    auto* cautionLayout = new QVBoxLayout(FrameCaution);
    Picture1 = new CautionPicture(FrameCaution);
    Picture1->setToolTip(FrameCaution->toolTip());
    cautionLayout->addWidget(Picture1);
    // Cautions on the left, the run's controls and parameters beside them.
    auto* body = new QHBoxLayout;
    layout->addLayout(body);
    body->addWidget(FrameCaution, 3);
    auto* lower = new QVBoxLayout;
    body->addLayout(lower, 2);

    Frame1 = new QGroupBox("Mechanical stiffness", this);
    Frame1->setObjectName("Frame1");
    auto* stiff = new QGridLayout(Frame1);
    SldGouSei = new QSlider(Qt::Horizontal, Frame1);
    SldGouSei->setObjectName("SldGouSei");
    SldGouSei->setToolTip("Set the mechanical stiffness.");
    SldGouSei->setTickPosition(QSlider::TicksBelow);
    SldGouSei->setPageStep(1);
    LblGouSei = new QLabel(Frame1);
    LblGouSei->setObjectName("LblGouSei");
    LblGouSei->setToolTip("Display the stiffness setting value.");
    LblGouSei->setAlignment(Qt::AlignCenter);
    LblGouSei->setFrameShape(QFrame::Panel);
    LblGouSei->setFrameShadow(QFrame::Sunken);
    LblGouSei->setMinimumWidth(LblGouSei->fontMetrics().horizontalAdvance("0000") + 8);
    // The scale's two words under the slider's two ends, however wide the slider and the words come out.
    Label1 = new QLabel("Lower", Frame1);
    Label1->setObjectName("Label1");
    auto* higher = new QLabel("Higher", Frame1);
    higher->setObjectName("Label1Higher");
    for (QLabel* l : {Label1, higher})
        l->setToolTip("Set the required stiffness.");
    auto* scale = new QHBoxLayout;
    scale->addWidget(Label1);
    scale->addStretch(1);
    scale->addWidget(higher);
    LblMsgGouSei = new QLabel(Frame1);
    LblMsgGouSei->setObjectName("LblMsgGouSei");
    LblMsgGouSei->setWordWrap(true);
    CmdZiKkou = new QPushButton("Execute", Frame1);
    CmdZiKkou->setObjectName("CmdZiKkou");
    CmdZiKkou->setToolTip("Execute auto tuning.");
    stiff->addWidget(SldGouSei, 0, 0);
    stiff->addWidget(LblGouSei, 0, 1);
    stiff->addLayout(scale, 1, 0);
    stiff->addWidget(LblMsgGouSei, 2, 0, 1, 2);
    stiff->addWidget(CmdZiKkou, 3, 0, 1, 2, Qt::AlignRight);
    stiff->setRowStretch(4, 1);
    connect(SldGouSei, &QSlider::valueChanged, this, &FrmAuto::SldGouSei_Change);
    connect(CmdZiKkou, &QPushButton::clicked, this, &FrmAuto::CmdZiKkou_Click);
    lower->addWidget(Frame1);

    // The value columns are framed "Before" and "After"; the rows line up with the labels beside them.
    FrmPara = new QGroupBox("Parameter", this);
    FrmPara->setObjectName("FrmPara");
    auto* grid = new QGridLayout(FrmPara);
    Frame2 = new QGroupBox("Before", FrmPara);
    Frame2->setObjectName("Frame2");
    Frame2->setToolTip("Display each parameter value before auto tuning.");
    Frame3 = new QGroupBox("After", FrmPara);
    Frame3->setObjectName("Frame3");
    Frame3->setToolTip("Display each parameter value after auto tuning.");
    grid->addWidget(Frame2, 0, 1, AutoTune::RowCnt + 2, 1);
    grid->addWidget(Frame3, 0, 2, AutoTune::RowCnt + 2, 1);
    const int rowH = fontMetrics().height() + 6;
    grid->setRowMinimumHeight(0, rowH);
    grid->setRowMinimumHeight(AutoTune::RowCnt + 1, 4);
    const int valueW = fontMetrics().horizontalAdvance("-000000") + 24;
    for (int i = 0; i < AutoTune::RowCnt; ++i) {
        auto label = [&](const QString& name, const QString& tip, Qt::Alignment align) {
            auto* l = new QLabel(FrmPara);
            l->setObjectName(name);
            l->setToolTip(tip);
            l->setAlignment(align | Qt::AlignVCenter);
            l->setFixedHeight(rowH);
            return l;
        };
        const auto n = static_cast<size_t>(i);
        LblPara[n] = label(QString("LblPara_%1").arg(i), {}, Qt::AlignLeft);
        LblParaVal[n] = label(QString("LblParaVal_%1").arg(i), Frame2->toolTip(), Qt::AlignRight);
        LblParaValAfter[n] = label(QString("LblParaValAfter_%1").arg(i), Frame3->toolTip(), Qt::AlignRight);
        LblParaVal[n]->setMinimumWidth(valueW);
        LblParaValAfter[n]->setMinimumWidth(valueW);
        LblParaVal[n]->setContentsMargins(0, 0, 10, 0);
        LblParaValAfter[n]->setContentsMargins(0, 0, 10, 0);
        grid->addWidget(LblPara[n], i + 1, 0);
        grid->addWidget(LblParaVal[n], i + 1, 1);
        grid->addWidget(LblParaValAfter[n], i + 1, 2);
    }
    grid->setRowStretch(AutoTune::RowCnt + 2, 1);
    lower->addWidget(FrmPara, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &FrmAuto::Timer1_Timer);

    plat::RegisterForm("FrmAuto", this);
    Form_Load();
}

FrmAuto::~FrmAuto() { plat::UnregisterForm(this); }

void FrmAuto::BuildMenus(QMenu* fil, QMenu* hyouji, QMenu* win, QMenu* help)
{
    auto item = [this](QMenu* menu, const char* name, int index, const char* caption) {
        QAction* a = menu->addAction(Q(caption));
        a->setObjectName(index < 0 ? QString(name) : Mevalo::ItemName(name, index));
        return a;
    };
    auto main = [] { return Mevalo::Instance(); };

    fil->setObjectName("MnuFil");
    connect(fil, &QMenu::aboutToShow, this, [this, main] {
        if (main())
            main()->MnuFilEnable(this);
    });
    connect(item(fil, "MnuAutoExec", -1, "Auto tuning completed &T"), &QAction::triggered, this,
            &FrmAuto::CmdZiKkou_Click);
    connect(item(fil, "MnuWriteEEP", -1, "Writing to EEPROM &W"), &QAction::triggered, this, &FrmAuto::WriteEEP);
    QMenu* seTtei = fil->addMenu("Setting &S");
    seTtei->setObjectName("MnuSeTteiOya");
    const char* seTteiItems[] = {"Selection of the axis address(ID) &A", "Model selection &M",
                                 "Communication with the amplifier &P", "Communication setting &C"};
    AddMainItems(seTtei, "MnuSeTtei", seTteiItems, 4, &Mevalo::MnuSeTtei_Click);
    connect(item(fil, "MnuClose", -1, "Close &C"), &QAction::triggered, this, &FrmAuto::MnuClose_Click);
    connect(item(fil, "MnuSyuuRyou", -1, "Exit of Mevalo &X"), &QAction::triggered, this, [main] {
        if (main())
            main()->MnuSyuuRyou_Click();
    });

    hyouji->setObjectName("MnuHyouji_Oya");
    AddDisplayItems(hyouji, this);

    win->setObjectName("MnuWindow");
    AddWindowItems(win);

    help->setObjectName("MnuHelp");
    connect(item(help, "MnuVerGrp", -1, "Version information &V"), &QAction::triggered, this, [main] {
        if (main())
            main()->MnuVerGrp_Click();
    });
}

// ---- open, load, unload --------------------------------------------------------------------------------

FrmAuto* FrmAuto::Instance() { return qobject_cast<FrmAuto*>(plat::FindForm("FrmAuto")); }

void FrmAuto::Open()
{
    if (!ChkComm(1, AutoText::OpenTitle))
        return;
    Mevalo* main = Mevalo::Instance();
    FrmAuto* w = Instance();
    if (!w) {
        w = new FrmAuto;
        if (main)
            main->AddChild(w);
    }
    Mevalo::ShowChild(w);
}

void FrmAuto::Form_Load()
{
    SldGouSei->setRange(1, std::max<int>(1, ExtV36Val));
    LblMsgGouSei->setText(QString::fromStdString(AutoMsg[9]));
    for (int i = 0; i < AutoTune::RowCnt; ++i) {
        const auto n = static_cast<size_t>(i);
        const bool shown = AutoPrm[i].Shown != 0;
        LblPara[n]->setText(QString::fromStdString(AutoPrm[i].Label));
        LblPara[n]->setVisible(shown);
        LblParaVal[n]->setVisible(shown);
        LblParaValAfter[n]->setVisible(shown);
    }
    logic_.Load();
    SldGouSei->setValue(logic_.Stiffness());
    LblGouSei->setText(QString::number(logic_.Stiffness()));
    Sync();
}

void FrmAuto::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (unloaded_)
        return;
    unloaded_ = true;
    Form_Unload();
    // Closed from its own frame button: it unloads as from the menus.
    plat::UnregisterForm(this);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->deleteLater();
    else
        deleteLater();
}

void FrmAuto::Form_Unload()
{
    const std::string offer = logic_.Unload();
    Sync();
    Timer1->stop();
    if (!offer.empty())
        FrmEEP::Exec(offer);
}

// ---- state ---------------------------------------------------------------------------------------------

void FrmAuto::Sync()
{
    const bool on = !logic_.Busy();
    for (QAction* a : {TbStart, TbExit, TbEEP})
        a->setEnabled(on);
    // Their link check would drain the line under a run, and with it the amplifier's closing block.
    for (const char* name : {"MnuAutoExec", "MnuWriteEEP"})
        if (QAction* a = findChild<QAction*>(name))
            a->setEnabled(on);
    CmdZiKkou->setEnabled(on);
    SldGouSei->setEnabled(on);
    for (int i = 0; i < AutoTune::RowCnt; ++i) {
        const auto n = static_cast<size_t>(i);
        LblParaVal[n]->setText(QString::fromStdString(logic_.Before(i)));
        LblParaValAfter[n]->setText(QString::fromStdString(logic_.After(i)));
    }
    if (logic_.TimerOn() && !Timer1->isActive())
        Timer1->start();
    else if (!logic_.TimerOn())
        Timer1->stop();
}

void FrmAuto::SetStatus(const std::string& text, bool busy)
{
    for (QAction* a : {TbStart, TbExit, TbEEP})
        a->setEnabled(!busy);
    CmdZiKkou->setEnabled(!busy);
    SldGouSei->setEnabled(!busy);
    if (busy)
        UpdStatFix(text);
    else
        UpdStat(text);
}

void FrmAuto::UpdAxis()
{
    logic_.UpdAxis();
    Sync();
}

// ---- handlers ------------------------------------------------------------------------------------------

void FrmAuto::SldGouSei_Change(int value)
{
    logic_.SetStiffness(static_cast<int16_t>(value));
    LblGouSei->setText(QString::number(value));
}

void FrmAuto::CmdZiKkou_Click()
{
    Hourglass(true);
    logic_.Exec();
    Hourglass(false);
    Sync();
}

void FrmAuto::Timer1_Timer()
{
    // The close-all sequence waits for the busy bit: stop following the tuning so that it can go on.
    if (Mevalo* main = Mevalo::Instance(); main && main->IsCloseGoing(Timer1)) {
        logic_.Stop();
        Sync();
        return;
    }
    // Messages of a tick let events run: the timer must not tick again under it.
    Timer1->stop();
    logic_.Tick();
    Sync();
}

void FrmAuto::WriteEEP()
{
    if (!ChkComm(1, AutoText::EepTitle))
        return;
    TbEEP->setEnabled(false);
    FrmEEP::Exec(AutoText::EepExplicit);
    TbEEP->setEnabled(!logic_.Busy());
}

void FrmAuto::ExitAuto()
{
    ComSetTimeDef();
    MnuClose_Click();
}

void FrmAuto::MnuClose_Click()
{
    if (Mevalo* main = Mevalo::Instance())
        main->UnloadWindow(this);
    else
        close();
}
