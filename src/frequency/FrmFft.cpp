#include "frequency/FrmFft.h"

#include "app/ChildMenus.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/Prd.h"
#include "app/Uty.h"
#include "comm/ComGlb.h"
#include "frequency/FrmSokuTei.h"
#include "frequency/FrqCalc.h"
#include "frequency/FrqGrp.h"
#include "frequency/FrqHelp.h"
#include "frequency/FrqIdt.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"

namespace {

FrmFft* g_instance = nullptr;

// Slider ranges: none reaches a scale of 0, and the value sliders run negative because a value grows
// upwards on the picture.
struct SliderRange {
    const char* name;
    const char* tip;
    int min, max, init, step, page;
};
constexpr SliderRange kHScr[2] = {
    {"HScr_0", "Frequency axis slide", -3000, 3000, 0, 50, 500},
    {"HScr_1", "Frequency axis magnification", 400, 6400, 1600, 100, 800},
};
constexpr SliderRange kVScr[4] = {
    {"VScr_0", "Display offset of gain axis", -1000, 3000, 1000, 50, 500},
    {"VScr_1", "Display magnification of gain axis", -8000, -200, -2000, 100, 1000},
    {"VScr_2", "Offset of phase axis display.", -1000, 3000, 1000, 50, 500},
    {"VScr_3", "Display magnification of phase axis", -2000, -50, -500, 25, 250},
};
constexpr uint32_t kPink = 0xFF7F7F;
constexpr double kGainTop = 500, kPhaseTop = 3100;

// "#.0": one decimal, no zero before the point.
QString HashDot1(double v) {
    if (!std::isfinite(v)) return {};
    std::string s = plat::FormatFixed(v, 1);
    if (s == "-0.0") s = "0.0";
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return QString::fromStdString(s);
}

QString Hash0(double v) {
    if (!std::isfinite(v)) return {};
    const std::string s = plat::FormatFixed(v, 0);
    return s == "0" || s == "-0" ? QString() : QString::fromStdString(s);
}

FrmFft::PrintItems& PrintDialog() {
    static FrmFft::PrintItems d;
    return d;
}

} // namespace

FrmFft* FrmFft::Instance() {
    return g_instance;
}

FrmFft::PrintItems FrmFft::SetPrintItems(PrintItems dialog) {
    PrintItems previous = std::move(PrintDialog());
    PrintDialog() = std::move(dialog);
    return previous;
}

std::string FrmFft::AskPrintItems(const std::string& caption) {
    return PrintDialog() ? PrintDialog()(caption) : std::string("graph");
}

void FrmFft::ShowScreen() {
    FrmFft* w = g_instance;
    Mevalo* main = Mevalo::Instance();
    if (!w) {
        w = new FrmFft;
        if (main) main->AddChild(w);
    }
    Mevalo::ShowChild(w);
}

FrmFft::FrmFft(QWidget* parent) : QMainWindow(parent) {
    g_instance = this;
    setObjectName(QStringLiteral("FrmFft"));
    setWindowTitle(QStringLiteral("Frequency characteristics"));
    BuildControls();
    BuildMenus();
    plat::RegisterForm("FrmFft", this);
    Form_Load();
}

FrmFft::~FrmFft() {
    plat::UnregisterForm(this);
    if (g_instance == this) g_instance = nullptr;
    Mevalo::DetachControls(this);
}

void FrmFft::BuildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    PicGrp = new PrdPictureBox(central);
    PicGrp->setObjectName(QStringLiteral("PicGrp"));
    PicGrp->setToolTip(QStringLiteral("Display the graphics. Drag the cursor to shift."));
    PicGrp->setMinimumSize(420, 360);
    PicGrp->installEventFilter(this);
    VScrool = new QScrollBar(Qt::Vertical, central);
    VScrool->setObjectName(QStringLiteral("VScrool"));
    VScrool->setRange(0, 4000);
    VScrool->setSingleStep(50);
    VScrool->setPageStep(500);
    connect(VScrool, &QScrollBar::valueChanged, this, [this] { RequestRedraw(); });
    auto slider = [this, central](const SliderRange& r, Qt::Orientation o) {
        auto* s = new QSlider(o, central);
        s->setObjectName(QString::fromLatin1(r.name));
        s->setToolTip(QString::fromLatin1(r.tip));
        s->setRange(r.min, r.max);
        s->setValue(r.init);
        s->setSingleStep(r.step);
        s->setPageStep(r.page);
        connect(s, &QSlider::valueChanged, this, [this] {
            ApplySliders();
            RequestRedraw();
        });
        return s;
    };
    for (size_t i = 0; i < 2; ++i)
        HScr[i] = slider(kHScr[i], Qt::Horizontal);
    for (size_t i = 0; i < 4; ++i)
        VScr[i] = slider(kVScr[i], Qt::Vertical);

    FramCsr = new QGroupBox(QStringLiteral("Cursor"), central);
    FramCsr->setObjectName(QStringLiteral("FramCsr"));
    ChkCsr = new QCheckBox(QStringLiteral("Display"), FramCsr);
    ChkCsr->setObjectName(QStringLiteral("ChkCsr"));
    ChkCsr->setToolTip(QStringLiteral("Set cursor display or not."));
    connect(ChkCsr, &QCheckBox::clicked, this, [this] { ChkCsr_Click(); });
    HScrCsr = new QScrollBar(Qt::Horizontal, FramCsr);
    HScrCsr->setObjectName(QStringLiteral("HScrCsr"));
    HScrCsr->setRange(0, 3000);
    HScrCsr->setSingleStep(10);
    HScrCsr->setPageStep(100);
    connect(HScrCsr, &QScrollBar::valueChanged, this, [this](int v) { HScrCsr_Change(v); });
    const char* const csrCaption[3] = {"Frequency", "Gain", "Phase"};
    const char* const csrTip[3] = {"Frequency indicated by cursor", "Gain indicated by cursor",
                                   "Phase indicated by cursor"};
    std::array<QLabel**, 3> readout = {&LblFrq, &LblGin, &LblPas};
    const char* const readName[3] = {"LblFrq", "LblGin", "LblPas"};
    auto* csr = new QGridLayout(FramCsr);
    csr->addWidget(ChkCsr, 0, 0, 1, 2);
    csr->addWidget(HScrCsr, 1, 0, 1, 2);
    for (int i = 0; i < 3; ++i) {
        auto* cap = new QLabel(QString::fromLatin1(csrCaption[i]), FramCsr);
        cap->setObjectName(QStringLiteral("LblCsrCaption_%1").arg(i));
        LblCsrCaption[static_cast<size_t>(i)] = cap;
        auto* v = new QLabel(FramCsr);
        v->setObjectName(QString::fromLatin1(readName[i]));
        v->setToolTip(QString::fromLatin1(csrTip[i]));
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        v->setFrameShape(QFrame::Panel);
        v->setFrameShadow(QFrame::Sunken);
        v->setMinimumWidth(v->fontMetrics().horizontalAdvance(QStringLiteral("-000.0 deg")) + 8);
        *readout[static_cast<size_t>(i)] = v;
        csr->addWidget(cap, 2 + i, 0);
        csr->addWidget(v, 2 + i, 1);
    }

    FrmSearch = new QGroupBox(QStringLiteral("Search"), central);
    FrmSearch->setObjectName(QStringLiteral("FrmSearch"));
    OptLoc = new QRadioButton(QStringLiteral("Local"), FrmSearch);
    OptLoc->setObjectName(QStringLiteral("OptLoc"));
    OptLoc->setToolTip(QStringLiteral("The biggest(or smallest) point is looked for in the neighborhood."));
    OptAll = new QRadioButton(QStringLiteral("All"), FrmSearch);
    OptAll->setObjectName(QStringLiteral("OptAll"));
    OptAll->setToolTip(
        QStringLiteral("The biggest(or smallest) point is looked for from the whole of the graph."));
    OptAll->setChecked(true);
    ChkPeak = new QCheckBox(QStringLiteral("Peak"), FrmSearch);
    ChkPeak->setObjectName(QStringLiteral("ChkPeak"));
    ChkPeak->setChecked(true);
    CmdPeak = new QPushButton(QStringLiteral("Search peak"), FrmSearch);
    CmdPeak->setObjectName(QStringLiteral("CmdPeak"));
    connect(ChkPeak, &QCheckBox::toggled, this, [this](bool on) {
        CmdPeak->setText(on ? QStringLiteral("Search peak") : QStringLiteral("Search dip"));
    });
    connect(CmdPeak, &QPushButton::clicked, this, [this] { CmdPeak_Click(); });
    auto* search = new QGridLayout(FrmSearch);
    search->addWidget(OptLoc, 0, 0);
    search->addWidget(OptAll, 0, 1);
    search->addWidget(ChkPeak, 1, 0);
    search->addWidget(CmdPeak, 1, 1);

    FramCut = new QGroupBox(QStringLiteral("Cutoff frequency"), central);
    FramCut->setObjectName(QStringLiteral("FramCut"));
    ChkCov = new QCheckBox(QStringLiteral("Display"), FramCut);
    ChkCov->setObjectName(QStringLiteral("ChkCov"));
    ChkCov->setToolTip(QStringLiteral("Set cutoff frequency display or not."));
    connect(ChkCov, &QCheckBox::toggled, this, [this] { ChkCov_Click(); });
    LblCovFrq = new QLabel(FramCut);
    LblCovFrq->setObjectName(QStringLiteral("LblCovFrq"));
    LblCovFrq->setToolTip(QStringLiteral("Value of cutoff frequency"));
    LblCovFrq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LblCovFrq->setFrameShape(QFrame::Panel);
    LblCovFrq->setFrameShadow(QFrame::Sunken);
    auto* cut = new QHBoxLayout(FramCut);
    cut->addWidget(ChkCov);
    cut->addWidget(LblCovFrq, 1);

    FramGrpOpt = new QGroupBox(QStringLiteral("Smoothing"), central);
    FramGrpOpt->setObjectName(QStringLiteral("FramGrpOpt"));
    CmbWindow = new QComboBox(FramGrpOpt);
    CmbWindow->setObjectName(QStringLiteral("CmbWindow"));
    CmbWindow->setToolTip(QStringLiteral("Set the smoothing rate."));
    CmbWindow->setEditable(true);
    for (const char* s : SmoothingList)
        CmbWindow->addItem(QString::fromLatin1(s));
    connect(CmbWindow, &QComboBox::activated, this, [this] { CmbWindow_Click(); });
    connect(CmbWindow->lineEdit(), &QLineEdit::returnPressed, this, [this] { CmbWindow_Click(); });
    auto* opt = new QHBoxLayout(FramGrpOpt);
    opt->addWidget(CmbWindow);

    const char* const condCaption[6] = {"Full-closed", "Sampling rate", "Amplitude",
                                        "Offset",      "Portion",       "Model"};
    std::array<QLabel**, 6> cond = {&LblFce, &LblSmp, &LblAmp, &LblOff, &LblBui, &LblKsy};
    const char* const condName[6] = {"LblFce", "LblSmp", "LblAmp", "LblOff", "LblBui", "LblKsy"};
    auto* condBox = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        Lbl1[static_cast<size_t>(i)] = new QLabel(QString::fromLatin1(condCaption[i]), central);
        Lbl1[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Lbl1_%1").arg(i));
        auto* v = new QLabel(central);
        v->setObjectName(QString::fromLatin1(condName[i]));
        v->setToolTip(QStringLiteral("Display the measuring condition."));
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *cond[static_cast<size_t>(i)] = v;
        condBox->addWidget(Lbl1[static_cast<size_t>(i)], i, 0);
        condBox->addWidget(v, i, 1);
    }

    auto* values = new QHBoxLayout;
    for (QSlider* s : VScr)
        values->addWidget(s);
    auto* plot = new QGridLayout;
    plot->addLayout(values, 0, 0);
    plot->addWidget(PicGrp, 0, 1);
    plot->addWidget(VScrool, 0, 2);
    plot->addWidget(HScr[0], 1, 1);
    plot->addWidget(HScr[1], 2, 1);
    plot->setColumnStretch(1, 1);
    plot->setRowStretch(0, 1);
    auto* side = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(FramCsr), static_cast<QWidget*>(FrmSearch),
                       static_cast<QWidget*>(FramCut), static_cast<QWidget*>(FramGrpOpt)})
        side->addWidget(w);
    side->addLayout(condBox);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(plot, 1);
    layout->addLayout(side);

    TimRefreshGraph = new QTimer(this);
    TimRefreshGraph->setObjectName(QStringLiteral("TimRefreshGraph"));
    TimRefreshGraph->setInterval(1);
    TimRefreshGraph->setSingleShot(true);
    connect(TimRefreshGraph, &QTimer::timeout, this, [this] { TimRefreshGraph_Timer(); });
}

void FrmFft::BuildMenus() {
    auto item = [this](QMenu* m, const char* name, const char* text, auto handler) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Mevalo* main = Mevalo::Instance();
    QMenu* fil = menuBar()->addMenu(QStringLiteral("File &F"));
    fil->setObjectName(QStringLiteral("MnuFil"));
    connect(fil, &QMenu::aboutToShow, this, [this] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuFilEnable(this);
    });
    MnuHoZon = fil->addMenu(QStringLiteral("Save &S"));
    MnuHoZon->setObjectName(QStringLiteral("MnuHoZon"));
    item(MnuHoZon, "MnuHoZonDat", "Measurement result &R", [this] { MnuHoZonDat_Click(); });
    item(MnuHoZon, "MnuHoZonCnd", "Meausrement condition &C", [this] { MnuHoZonCnd_Click(); });
    item(MnuHoZon, "MnuHoZonPrm", "Measurement result and prameter &P", [this] { MnuHoZonPrm_Click(); });
    item(MnuHoZon, "MnuHoZonIdt", "IDT format data &I", [this] { MnuHoZonIdt_Click(); });
    QMenu* load = fil->addMenu(QStringLiteral("Load &L"));
    load->setObjectName(QStringLiteral("MnuYomiKomi"));
    item(load, "MnuYomiKomiDat", "Measurement result &R",
         [this] { Load("Frequency caraacteristics,condition", "fcd"); });
    item(load, "MnuYomiKomiCnd", "Measurement condition &C", [this] { Load("Frequency condition", "fcc"); });
    item(load, "MnuYomiKomiPrm", "Measurement result and parameter &P",
         [this] { Load("Frequency caraacteristics,condition,parameter", "fcp"); });
    item(load, "MnuYomiKomiIdt", "IDT format data &I",
         [this] { Load("Frequency caraacteristics,condition (IDT format)", "idt"); });
    item(fil, "MnuTenSouSanSyou", "Copy to reference &T", [this] { MnuTenSouSanSyou_Click(); });
    MnuSokuTei = item(fil, "MnuSokuTei", "Measurement &M", [this] { MnuSokuTei_Click(); });
    MnuInSatu = item(fil, "MnuInSatu", "Print &P", [this] { MnuInSatu_Click(); });
    item(fil, "MnuHenSyuComment", "Comment &F", [this] { MnuHenSyuComment_Click(); });
    QMenu* set = fil->addMenu(QStringLiteral("Setting &S"));
    set->setObjectName(QStringLiteral("MnuSeTteiOya"));
    const char* const seTtei[4] = {"Selection of the axis address(ID) &A", "Model selection &M",
                                   "Communication with the amplifier &P", "Communication setting &C"};
    AddMainItems(set, "MnuSeTtei", seTtei, 4, &Mevalo::MnuSeTtei_Click);
    item(fil, "MnuTojiru", "Close &C", [this] {
        if (Mevalo* m = Mevalo::Instance())
            m->UnloadWindow(this);
        else
            close();
    });
    item(fil, "MnuSyuuRyou", "Exit of Mevalo &X", [] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuSyuuRyou_Click();
    });

    QMenu* disp = menuBar()->addMenu(QStringLiteral("Display &D"));
    disp->setObjectName(QStringLiteral("MnuHyouji_Oya"));
    MnuCov = item(disp, "MnuCov", "Display of cutoff frequency &C",
                  [this] { ChkCov->setChecked(MnuCov->isChecked()); });
    MnuCov->setCheckable(true);
    MnuDspRef = item(disp, "MnuDspRef", "Display of reference &R", [this] { MnuDspRef_Click(); });
    MnuDspRef->setCheckable(true);
    disp->addSeparator();
    AddDisplayItems(disp, this);
    QMenu* win = menuBar()->addMenu(QStringLiteral("Window &W"));
    win->setObjectName(QStringLiteral("MnuWindow"));
    AddWindowItems(win);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help &H"));
    help->setObjectName(QStringLiteral("MnuHelp"));
    item(help, "MnuVerGrp", "Version information &V", [] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuVerGrp_Click();
    });
    (void)main;

    TBar = addToolBar(QStringLiteral("Tools"));
    TBar->setObjectName(QStringLiteral("TBar"));
    TBar->setMovable(false);
    auto tool = [this](const char* key, const char* text, auto handler) {
        QAction* a = TBar->addAction(QString::fromLatin1(text));
        a->setObjectName(QStringLiteral("TBar_%1").arg(QString::fromLatin1(key)));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    tool("Load", "Load", [this] { Load("Frequency caraacteristics,condition,parameter", "fcdfccfcpidt"); });
    TbSave = tool("Save", "Save", [this] { SaveChoice(); });
    TbPrint = tool("Print", "Print", [this] { MnuInSatu_Click(); });
    tool("Comment", "Comment", [this] { MnuHenSyuComment_Click(); });
    TbSokuTei = tool("SokuTei", "Measure", [this] { MnuSokuTei_Click(); });
    TbEnaRef = tool("EnaRef", "Reference", [this] { MnuDspRef_Click(); });
    TbEnaRef->setCheckable(true);
    tool("ToReference", "To reference", [this] { MnuTenSouSanSyou_Click(); });
    tool("Help", "Help", [] { ShowHelpFile(); });
    tool("Exit", "Close", [this] {
        if (Mevalo* m = Mevalo::Instance())
            m->UnloadWindow(this);
        else
            close();
    });
}

void FrmFft::InitGraphRecords() {
    const int16_t last = FrqIdxLast(SokuTeiRec.Points);
    for (FrqGraphRec* r : {&FrqGainRec, &FrqPhaseRec}) {
        const bool gain = r == &FrqGainRec;
        FrqGraphRec fresh;
        fresh.PlotTop = gain ? kGainTop : kPhaseTop;
        fresh.YPerUnit = gain ? 20 : 5;
        fresh.TickStep = gain ? 20 : 90;
        fresh.YTitle = gain ? "Gain" : "Phase";
        fresh.YUnit = gain ? "[dB]" : "[deg]";
        fresh.HeadOn = gain ? 0 : 1;
        fresh.IdxLast = last;
        // The curve is drawn from 1 Hz on; the highest cursor frequency bounds only the cursor.
        fresh.LogFrqMin = 0;
        std::fill(std::begin(fresh.LogFrq), std::end(fresh.LogFrq), std::nan(""));
        std::fill(std::begin(fresh.GrVal), std::end(fresh.GrVal), std::nan(""));
        *r = fresh;
    }
    RefGainRec = FrqGainRec;
    RefPhaseRec = FrqPhaseRec;
}

void FrmFft::Form_Load() {
    SokuTeiRec.Valid = 0;
    RefSokuTeiRec.Valid = 0;
    condOn_ = false;
    const bool port = ComPortNo != 0;
    MnuSokuTei->setEnabled(port);
    TbSokuTei->setEnabled(port);
    SokuTeiRec.Amp = FftDefAmp;
    SokuTeiRec.Off = FftDefOff;
    SokuTeiRec.Smp = FftDefSmp;
    SokuTeiRec.Points = FftReqCount;
    SokuTeiRec.FullCloseAvail = FftFullClose[0] != 0 ? plat::VbTrue : plat::VbFalse;
    SokuTeiRec.FullClose = FftFullClose[0] != 0 && FftFullClose[1] == 1 ? 1 : 0;
    SokuTeiRec.Kisyu = 0;
    SokuTeiRec.Bui = 0;
    FrqNextCondSet = plat::VbFalse;
    InitGraphRecords();
    ReflectDataReady();
    ApplySliders();
    CondLabels();
    resize(706, 504 + menuBar()->sizeHint().height() + TBar->sizeHint().height());
    CmbWindow->setCurrentIndex(SmoothingDefaultIndex);
    // The measurement dialog opens once the window stands.
    if (port) QTimer::singleShot(0, this, [this] { MnuSokuTei_Click(); });
    RequestRedraw();
}

void FrmFft::ReflectDataReady() {
    const bool obs = SokuTeiRec.Valid != 0;
    const bool ref = RefSokuTeiRec.Valid != 0;
    FrqGainRec.DataReady = FrqPhaseRec.DataReady = plat::VbBool(obs);
    RefGainRec.DataReady = RefPhaseRec.DataReady = plat::VbBool(ref);
    FramCsr->setEnabled(obs);
    ChkCsr->setEnabled(obs);
    const bool csr = obs && ChkCsr->isChecked();
    HScrCsr->setEnabled(csr);
    for (QWidget* w :
         {static_cast<QWidget*>(LblFrq), static_cast<QWidget*>(LblGin), static_cast<QWidget*>(LblPas),
          static_cast<QWidget*>(FrmSearch), static_cast<QWidget*>(ChkPeak), static_cast<QWidget*>(OptAll),
          static_cast<QWidget*>(OptLoc), static_cast<QWidget*>(CmdPeak)})
        w->setEnabled(csr);
    for (QLabel* l : LblCsrCaption)
        l->setEnabled(csr);
    ChkCov->setEnabled(obs);
    FramCut->setEnabled(obs);
    MnuInSatu->setEnabled(obs);
    MnuHoZon->setEnabled(obs);
    TbSave->setEnabled(obs);
    TbPrint->setEnabled(obs);
    graphOn_ = obs || ref;
    if (graphOn_) condOn_ = true;
    for (QSlider* s : HScr)
        s->setEnabled(graphOn_);
    for (QSlider* s : VScr)
        s->setEnabled(graphOn_);
}

void FrmFft::RequestRedraw() {
    TimRefreshGraph->start();
}

void FrmFft::ApplySliders() {
    for (FrqGraphRec* r : {&FrqGainRec, &FrqPhaseRec, &RefGainRec, &RefPhaseRec}) {
        r->XPerDec = HScr[1]->value();
        r->XOrg = HScr[0]->value() * static_cast<double>(HScr[1]->value()) / 1000.0;
    }
    for (FrqGraphRec* r : {&FrqGainRec, &RefGainRec}) {
        r->YOrg = VScr[0]->value();
        r->YPerUnit = -VScr[1]->value() / 100.0;
    }
    for (FrqGraphRec* r : {&FrqPhaseRec, &RefPhaseRec}) {
        r->YOrg = VScr[2]->value();
        r->YPerUnit = -VScr[3]->value() / 100.0;
    }
}

void FrmFft::CondLabels() {
    const bool fce = SokuTeiRec.FullCloseAvail != 0;
    LblSmp->setText(QString::number(SokuTeiRec.Smp));
    LblAmp->setText(QStringLiteral("%1r/min").arg(SokuTeiRec.Amp));
    LblOff->setText(QStringLiteral("%1r/min").arg(SokuTeiRec.Off));
    if (fce) LblFce->setText(SokuTeiRec.FullClose == 1 ? QStringLiteral("ON") : QStringLiteral("OFF"));
    for (QLabel* l : {LblSmp, LblAmp, LblOff})
        l->setVisible(condOn_);
    Lbl1[0]->setVisible(fce);
    LblFce->setVisible(condOn_ && fce);
}

int FrmFft::SmoothingValue() {
    const Smoothing s = NormaliseSmoothing(CmbWindow->currentText().toStdString());
    if (s.text != CmbWindow->currentText().toStdString()) {
        CmbWindow->setEditText(QString::fromStdString(s.text));
        CmbWindow->repaint();
    }
    return s.value;
}

// Both curve pairs are computed with the smoothing the box shows, so that they, and the rate a save
// records, never differ.
void FrmFft::CalcCurves() {
    const int s = SmoothingValue();
    CalcObs(s);
    CalcRef(s);
    drawnSmoothing_ = s;
}

void FrmFft::CmbWindow_Click() {
    CalcCurves();
    ReflectDataReady();
    RequestRedraw();
}

void FrmFft::MnuSokuTei_Click() {
    CondLabels();
    const std::string r = FrmSokuTei::Exec();
    if (r == "failure") {
        SokuTeiRec.Valid = 0;
        ReflectDataReady();
        RequestRedraw(); // the picture still holds the curves of the lost samples
    } else if (r == "success") {
        CondLabels();
        LblBui->setText(QString::number(SokuTeiRec.Bui));
        LblKsy->setText(QString::number(static_cast<uint32_t>(SokuTeiRec.Kisyu), 16).toUpper());
        SokuTeiRec.Valid = plat::VbTrue;
        ReflectDataReady();
        RetVar = Variant(IdtWrite(SokuTeiRec, FrqTempIdtPath()));
        CalcCurves();
        ReflectDataReady();
        CsrReadout();
        RequestRedraw();
    } else {
        RequestRedraw();
        CondLabels();
    }
}

// ---- cursor, search, cut-off ----------------------------------------------------------------------------

void FrmFft::SetCursorPoint(int point) {
    csrPoint_ = CsrClamp(FrqGainRec, point, FftTime);
    GrpCsrDraw(FrqGainRec, csrPoint_);
    GrpCsrDraw(FrqPhaseRec, csrPoint_);
    // The scroll bar follows without acting back: two points may share one of its values.
    const QSignalBlocker block(HScrCsr);
    HScrCsr->setValue(std::clamp(CsrValueOfPoint(csrPoint_), HScrCsr->minimum(), HScrCsr->maximum()));
    CsrReadout();
}

void FrmFft::CsrReadout() {
    const int c = csrPoint_;
    if (SokuTeiRec.Valid == 0 || c < 0 || c >= FrqPointCnt) return;
    LblFrq->setText(Hash0(std::pow(10.0, FrqGainRec.LogFrq[c])) + QStringLiteral(" Hz"));
    LblGin->setText(HashDot1(FrqGainRec.GrVal[c]) + QStringLiteral(" dB"));
    LblPas->setText(HashDot1(FrqPhaseRec.GrVal[c]) + QStringLiteral(" deg"));
}

void FrmFft::HScrCsr_Change(int value) {
    SetCursorPoint(CsrPointOfValue(value));
    RequestRedraw();
}

void FrmFft::ChkCsr_Click() {
    ReflectDataReady();
    if (ChkCsr->isChecked()) SetCursorPoint(csrPoint_);
    RequestRedraw();
}

void FrmFft::ChkCov_Click() {
    MnuCov->setChecked(ChkCov->isChecked());
    LblCovFrq->setEnabled(ChkCov->isChecked());
    RequestRedraw();
}

void FrmFft::CmdPeak_Click() {
    const bool peak = ChkPeak->isChecked();
    const int found =
        OptAll->isChecked() ? PeakAll(FrqGainRec, peak) : PeakLocal(FrqGainRec, csrPoint_, peak);
    // An empty search leaves the cursor where it is.
    if (found >= 1) SetCursorPoint(found);
    RequestRedraw();
}

void FrmFft::PicGrp_Mouse(double xPx, double) {
    if (!ChkCsr->isChecked() || !ChkCsr->isEnabled() || PicGrp->width() <= 0) return;
    // In the units the picture was last drawn in.
    const double units = PicGrp->Surface().FromDevice(QPointF(xPx, 0)).x();
    const std::optional<int> point = GrpFrqIdx(FrqGainRec, units, FftTime);
    if (!point || *point < 1) return;
    SetCursorPoint(*point);
    RequestRedraw();
}

bool FrmFft::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PicGrp &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove)) {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m->buttons() & Qt::LeftButton) PicGrp_Mouse(m->position().x(), m->position().y());
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmFft::MnuDspRef_Click() {
    const bool on = !MnuDspRef->property("on").toBool();
    MnuDspRef->setProperty("on", on);
    MnuDspRef->setChecked(on);
    TbEnaRef->setChecked(on);
    RequestRedraw();
}

// ---- drawing ---------------------------------------------------------------------------------------------

void FrmFft::DrawGraphs(PrdSurface& surface, bool printer) {
    const int scroll = printer ? 0 : VScrool->value();
    ApplySliders();
    FrqGainRec.FrqCsrOn = FrqPhaseRec.FrqCsrOn = plat::VbBool(ChkCsr->isChecked());
    FrqGainRec.MarkOn = plat::VbBool(ChkCov->isChecked());
    FrqPhaseRec.MarkOn = 0;
    std::string title = "Amplitude = " + std::to_string(SokuTeiRec.Amp) +
                        " r/min  Offset = " + std::to_string(SokuTeiRec.Off) +
                        " r/min  Samp-rate = " + std::to_string(SokuTeiRec.Smp);
    if (SokuTeiRec.FullCloseAvail != 0)
        title += SokuTeiRec.FullClose == 1 ? "  Full-closed = ON" : "  Full-closed = OFF";
    FrqGainRec.GrTitle = title;
    FrqPhaseRec.GrTitle.clear();
    if (ChkCov->isChecked()) {
        const int cut = SokuTeiRec.Valid ? CutOffIdx(FrqGainRec) : 0;
        if (cut >= 1) {
            LblCovFrq->setText(QString::fromStdString(plat::FormatFixed(std::pow(10.0, FrqGainRec.LogFrq[cut]), 0)) +
                               QStringLiteral("Hz"));
            FrqGainRec.MarkIdx = FrqPhaseRec.MarkIdx = static_cast<int16_t>(cut);
        } else {
            // No computed point falls below -3 dB: nothing to show or mark.
            LblCovFrq->clear();
            FrqGainRec.MarkOn = 0;
        }
    } else {
        LblCovFrq->clear();
    }
    // The plots move down as far as their labels need at the target's font: the title above the gain
    // plot, the frequency labels and axis title between the two.
    GrpScale(surface, FrqGainRec);
    GrpScale(surface, FrqPhaseRec); // the scale both graphs are drawn at: the last one set
    const GrpRoom gain = GrpLabelRoom(surface, FrqGainRec);
    const GrpRoom phase = GrpLabelRoom(surface, FrqPhaseRec);
    const double gainTop = std::max(kGainTop, gain.above);
    const double phaseTop =
        gainTop + FrqGainRec.PlotHeight + std::max(kPhaseTop - kGainTop - FrqGainRec.PlotHeight, gain.below + phase.above);
    FrqGainRec.PlotTop = RefGainRec.PlotTop = gainTop - scroll;
    FrqPhaseRec.PlotTop = RefPhaseRec.PlotTop = phaseTop - scroll;
    if (graphOn_) {
        for (int i = 0; i < CommentLines; ++i)
            FrqPhaseRec.HeadMemo[i] = CommentTxt[2][i];
        GrpScale(surface, FrqGainRec);
        GrpScale(surface, FrqPhaseRec);
        FrqDatCopy(RefGainRec, FrqGainRec);
        FrqDatCopy(RefPhaseRec, FrqPhaseRec);
        FrqGainRec.Shown = FrqPhaseRec.Shown = plat::VbTrue;
        RefGainRec.Shown = RefPhaseRec.Shown = plat::VbBool(MnuDspRef->isChecked());
        GrpDraw(surface, FrqGainRec, RefGainRec);
        GrpDraw(surface, FrqPhaseRec, RefPhaseRec);
    } else {
        GrpScale(surface, FrqGainRec);
        GrpScale(surface, FrqPhaseRec);
        GrpDraw2(surface, FrqGainRec);
        GrpDraw2(surface, FrqPhaseRec);
    }
}

void FrmFft::TimRefreshGraph_Timer() {
    TimRefreshGraph->stop();
    ++redraws_;
    PicGrp->Surface().Cls();
    for (QLabel* l : {LblSmp, LblAmp, LblOff})
        l->setVisible(condOn_);
    CondLabels();
    DrawGraphs(PicGrp->Surface(), false);
    PicGrp->update();
}

void FrmFft::closeEvent(QCloseEvent* event) {
    TimRefreshGraph->stop();
    QMainWindow::closeEvent(event);
}
