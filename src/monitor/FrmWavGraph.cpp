#include "monitor/FrmWavGraph.h"

#include "app/ChildMenus.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QPixmap>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/FileDlg.h"
#include "app/Fit.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/PrdPrint.h"
#include "app/Uty.h"
#include "comm/ComGlb.h"
#include "comm/TeskCmd.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "data/PrmPrint.h"
#include "data/PrmTbl.h"
#include "data/WavFil.h"
#include "monitor/FrmWavDlg.h"
#include "monitor/WavRun.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

using plat::VbFalse;
using plat::VbTrue;

namespace {

constexpr int kSlider1Max = 1000;
constexpr int kAxes[4] = {0, 1, 2, 4};
const char* const kLoadTitle = "Reading the wave form graphic file";
const char* const kPrintTitle = "Print of the wave form graphic";

FrmGraph*& Self()
{
    static FrmGraph* self = nullptr;
    return self;
}

std::string UserWgc() { return plat::AppFile("ini/user.wgc"); }

bool EndsWithNoCase(const std::string& s, const char* ext)
{
    const std::string e(ext);
    return s.size() >= e.size() && plat::EqualNoCase(s.substr(s.size() - e.size()), e);
}

void SetRange(WavChRec& r, std::initializer_list<int32_t> tbl)
{
    std::fill(std::begin(r.RangeTbl), std::end(r.RangeTbl), 0);
    int i = 0;
    for (int32_t v : tbl) r.RangeTbl[i++] = v;
    r.RangeCnt = static_cast<int16_t>(i - 1);
    r.RangeIdx = 0;
    r.YDiv = static_cast<float>(r.RangeTbl[0] / 5.0);
}

} // namespace

// ---- picture ---------------------------------------------------------------------------------------

WavPicture::WavPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName("Picture1");
    setMinimumSize(420, 400);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WavPicture::Redraw(int16_t dataFlag)
{
    dataFlag_ = dataFlag;
    if (size().isEmpty()) return;
    // Drawn at the screen's own resolution, so that a scaled desktop keeps sharp lines and text.
    const qreal dpr = devicePixelRatioF();
    const QSize px = (QSizeF(size()) * dpr).toSize();
    if (cache_.size() != px) cache_ = QImage(px, QImage::Format_RGB32);
    cache_.setDevicePixelRatio(dpr);
    cache_.fill(Qt::white);
    {
        QPainter p(&cache_);
        WavPainterDevice dev(p, QSizeF(size()), 96.0);
        PrdSurface s(&dev);
        view_ = WgdDraw(&s, dataFlag, "/NO_TEXT /NO_PRINTER", WgdPanelInfo{}, false);
    }
    ++redraws_;
    update();
}

void WavPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (cache_.deviceIndependentSize().toSize() != size()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    p.drawImage(QPointF(0, 0), cache_);
    WavPainterDevice dev(p, QSizeF(size()), 96.0);
    PrdSurface s(&dev);
    WgdCursors(&s, view_);
}

void WavPicture::resizeEvent(QResizeEvent*)
{
    Redraw(dataFlag_);
}

void WavPicture::Mouse(QMouseEvent* e, bool drag)
{
    if (!onMouse || width() <= 0) return;
    const bool left = (drag ? e->buttons() : e->button()) & Qt::LeftButton;
    const bool right = (drag ? e->buttons() : e->button()) & Qt::RightButton;
    if (!left && !right) return;
    const double x = view_.Units(e->position(), QSizeF(size())).x() - WavGraph.Ch[1].GrLeft;
    onMouse(x, left, drag);
}

void WavPicture::mousePressEvent(QMouseEvent* e) { Mouse(e, false); }
void WavPicture::mouseMoveEvent(QMouseEvent* e) { Mouse(e, true); }

// ---- window ----------------------------------------------------------------------------------------

FrmGraph* FrmGraph::Instance() { return Self(); }

FrmGraph::FrmGraph(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmGraph");
    setAttribute(Qt::WA_DeleteOnClose, false);
    Self() = this;
    plat::RegisterForm("FrmGraph", this);
    Build();
    WavRun::Host host;
    host.working = [this](bool f) { working(plat::VbBool(f)); };
    host.fillCond = [this] { FillCond(); };
    host.defCh = [this] {
        WavControls c = Controls();
        WaveDefCh(WavGraph, c);
        PutControls(c);
    };
    host.dataIsValid = [this](int ch, bool v) { DataIsValid(ch, v); };
    host.redraw = [this] { TimReDraw_Timer(); };
    host.singleTrigger = [this] { return ChkSngTrig->isChecked(); };
    host.captured = [this] {
        resultLoaded_ = false;
        hasCapture_ = true;
        capturedCond_ = WavGraph;
        TimReDraw_Timer();
    };
    run_ = std::make_unique<WavRun>(std::move(host), Timer1);
    Form_Load();
}

FrmGraph::~FrmGraph()
{
    Mevalo::DetachControls(this);
    run_.reset();
    if (Self() == this) Self() = nullptr;
    plat::UnregisterForm(this);
}

QAction* FrmGraph::TBarKey(const std::string& key) const
{
    for (QAction* a : TBar->actions())
        if (a->objectName().toStdString() == "TBar_" + key) return a;
    return nullptr;
}

void FrmGraph::Build()
{
    setWindowTitle("Wave form graphic");
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 2);

    // Menus.
    auto* bar = new QMenuBar(this);
    QMenu* file = bar->addMenu("File &F");
    connect(file, &QMenu::aboutToShow, this, [this] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuFilEnable(this);
    });
    file->addAction("Wave form graphic condition", this, [this] { LoadFile("wgc", "Wave form graphic condition"); });
    file->addAction("Wave form graphic", this, [this] { LoadFile("wgd", "Wave form graphic"); });
    file->addAction("Wave form graphic and parameter file", this,
                    [this] { LoadFile("wgp", "Wave form graphic and parameter file"); });
    file->addSeparator();
    file->addAction("Save", this, [this] { TBar_ButtonClick("Save"); });
    file->addAction("Print", this, [this] { TBar_ButtonClick("Print"); });
    file->addAction("Comment", this, [this] { TBar_ButtonClick("Comment"); });
    file->addSeparator();
    QMenu* set = file->addMenu("Setting &S");
    static const char* const kSet[] = {"Selection of the axis address(ID) &A", "Model selection &M",
                                       "Communication with the amplifier &P", "Communication setting &C"};
    AddMainItems(set, "MnuSeTtei", kSet, 4, &Mevalo::MnuSeTtei_Click);
    file->addAction("Close &C", this, [this] { TBar_ButtonClick("Exit"); });
    file->addAction("Exit of Mevalo &X", this, [] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuSyuuRyou_Click();
    });
    QMenu* meas = bar->addMenu("&Measurement");
    MnuSokutei = meas->addAction("Measurement", this, [this] { WaveStartChk(); });
    MnuSokutei->setObjectName("MnuSokutei");
    QMenu* view = bar->addMenu("&Graph");
    QMenu* obsCol = new QMenu("Color", this);
    QMenu* refCol = new QMenu("Color (REF)", this);
    QMenu* thick = new QMenu("Thick line", this);
    QMenu* refThick = new QMenu("Thick line (REF)", this);
    for (int d = 0; d < WavChShown; ++d) {
        const QString name = QString::fromStdString(MeasItem[d].TextA);
        MnuDsp[d] = view->addAction(name + " ");
        MnuDsp[d]->setObjectName(QString("MnuDsp_%1").arg(d));
        MnuDsp[d]->setCheckable(true);
        connect(MnuDsp[d], &QAction::triggered, this, [this, d](bool on) { SetChkDsp(d, on ? 1 : 0); });
        obsCol->addAction(name + " ", this, [this, d] { ColorPick(d, false); });
        refCol->addAction(name + " (REF) ", this, [this, d] { ColorPick(d, true); });
        MnuThick[d] = thick->addAction(name + " ");
        MnuThick[d]->setCheckable(true);
        MnuRefThick[d] = refThick->addAction(name + " (REF) ");
        MnuRefThick[d]->setCheckable(true);
        connect(MnuThick[d], &QAction::triggered, this, [this] { RequestRedraw(); });
        connect(MnuRefThick[d], &QAction::triggered, this, [this] { RequestRedraw(); });
    }
    MnuDspRef = view->addAction("Reference");
    MnuDspRef->setObjectName("MnuDspRef");
    MnuDspRef->setCheckable(true);
    view->addSeparator();
    view->addMenu(obsCol);
    view->addMenu(refCol);
    view->addMenu(thick);
    view->addMenu(refThick);
    QMenu* disp = bar->addMenu("Display &D");
    disp->setObjectName("MnuHyouji_Oya");
    AddDisplayItems(disp, this);
    QMenu* win = bar->addMenu("Window &W");
    win->setObjectName("MnuWindow");
    AddWindowItems(win);
    QMenu* help = bar->addMenu("Help &H");
    help->addAction("Version information &V", this, [] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuVerGrp_Click();
    });
    root->setMenuBar(bar);

    // Toolbar.
    TBar = new QToolBar(this);
    TBar->setObjectName("TBar");
    static const char* const kKeys[] = {"Load", "Save", "Print", "Comment", "Mesure", "Stop", "ToRef", "Ref", "Exit"};
    for (const char* key : kKeys) {
        QAction* a = TBar->addAction(key);
        a->setObjectName(QString("TBar_") + key);
        if (std::string(key) == "Ref") a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, key] { TBar_ButtonClick(key); });
    }
    root->addWidget(TBar);

    auto* body = new QHBoxLayout;
    root->addLayout(body, 1);

    // Left: conditions.
    auto* left = new QVBoxLayout;
    body->addLayout(left);
    FramChk = new QGroupBox("Measuring item", this);
    FramChk->setObjectName("FramChk");
    auto* fc = new QVBoxLayout(FramChk);
    for (int d = 0; d < WavChShown; ++d) {
        ChkItem[d] = new QCheckBox(QString::fromStdString(MeasItem[d].TextA), FramChk);
        ChkItem[d]->setObjectName(QString("ChkItem_%1").arg(d));
        ChkItem[d]->setToolTip(QString::fromStdString(MeasItem[d].TextC));
        fc->addWidget(ChkItem[d]);
        connect(ChkItem[d], &QCheckBox::clicked, this, [this, d] { ChkItem_Click(d); });
    }
    ChkItem[0]->setChecked(true);
    ChkItem[0]->setEnabled(false);
    left->addWidget(FramChk);
    FramOpt = new QGroupBox("Measuring item", this);
    FramOpt->setObjectName("FramOpt");
    auto* fo = new QVBoxLayout(FramOpt);
    static const int kOptCh[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        OptItem[i] = new QRadioButton(QString::fromStdString(MeasItem[kOptCh[i]].TextA), FramOpt);
        OptItem[i]->setObjectName(QString("OptItem_%1").arg(i));
        fo->addWidget(OptItem[i]);
    }
    OptItem[0]->setChecked(true);
    left->addWidget(FramOpt);

    auto* trig = new QGroupBox("Trigger", this);
    auto* tg = new QGridLayout(trig);
    trg_mode = new QCheckBox("Actual speed trigger", trig);
    trg_mode->setObjectName("trg_mode");
    trg_pos = new QComboBox(trig);
    trg_pos->setObjectName("trg_pos");
    static const char* const kPos[] = {"0/8", "1/8", "2/8", "4/8", "6/8", "7/8"};
    for (int i = 0; i < 6; ++i) trg_pos->addItem(kPos[i], i);
    trg_slope = new QComboBox(trig);
    trg_slope->setObjectName("trg_slope");
    trg_slope->addItem("Rising", 0);
    trg_slope->addItem("Falling", 1);
    level = new QLineEdit(" 0", trig);
    level->setObjectName("level");
    level->installEventFilter(this);
    CmdTrigSign = new QPushButton("+/-", trig);
    CmdTrigSign->setObjectName("CmdTrigSign");
    tg->addWidget(trg_mode, 0, 0, 1, 2);
    tg->addWidget(new QLabel("Position", trig), 1, 0);
    tg->addWidget(trg_pos, 1, 1);
    tg->addWidget(new QLabel("Slope", trig), 2, 0);
    tg->addWidget(trg_slope, 2, 1);
    tg->addWidget(new QLabel("Level", trig), 3, 0);
    auto* lv = new QHBoxLayout;
    lv->addWidget(level);
    lv->addWidget(CmdTrigSign);
    tg->addLayout(lv, 3, 1);
    left->addWidget(trig);
    connect(CmdTrigSign, &QPushButton::clicked, this, [this] { CmdTrigSign_Click(); });
    connect(level, &QLineEdit::editingFinished, this, [this] { level_LostFocus(); });

    auto* smp = new QGroupBox("Sampling", this);
    auto* sl = new QVBoxLayout(smp);
    SldSmp = new QSlider(Qt::Horizontal, smp);
    SldSmp->setObjectName("SldSmp");
    SldSmp->setRange(1, 20);
    SldSmp->setValue(20);
    LblSmpInt = new QLabel(smp);
    LblSmpInt->setObjectName("LblSmpInt");
    LblSmpTim = new QLabel(smp);
    LblSmpTim->setObjectName("LblSmpTim");
    ChkSngTrig = new QCheckBox("Single trigger", smp);
    ChkSngTrig->setObjectName("ChkSngTrig");
    ChkSngTrig->setChecked(true);
    sl->addWidget(SldSmp);
    sl->addWidget(LblSmpInt);
    sl->addWidget(LblSmpTim);
    sl->addWidget(ChkSngTrig);
    left->addWidget(smp);
    connect(SldSmp, &QSlider::valueChanged, this, [this] { SldSmp_Change(); });

    auto* dsp = new QGroupBox("Display", this);
    auto* dg = new QGridLayout(dsp);
    for (int d = 0; d < WavChShown; ++d) {
        ChkDsp[d] = new QCheckBox(QString::fromStdString(MeasItem[d].TextB), dsp);
        ChkDsp[d]->setObjectName(QString("ChkDsp_%1").arg(d));
        CmdObsCol[d] = new QPushButton(dsp);
        CmdObsCol[d]->setObjectName(QString("CmdObsCol_%1").arg(d));
        CmdRefCol[d] = new QPushButton(dsp);
        CmdRefCol[d]->setObjectName(QString("CmdRefCol_%1").arg(d));
        CmdObsTic[d] = new QPushButton("thin", dsp);
        CmdObsTic[d]->setObjectName(QString("CmdObsTic_%1").arg(d));
        CmdRefTic[d] = new QPushButton("thin", dsp);
        CmdRefTic[d]->setObjectName(QString("CmdRefTic_%1").arg(d));
        for (QPushButton* b : {CmdObsCol[d], CmdRefCol[d]}) b->setFixedWidth(36);
        for (QPushButton* b : {CmdObsTic[d], CmdRefTic[d]}) b->setFixedWidth(ButtonWidth(b, {"thin", "thick"}, 36));
        dg->addWidget(ChkDsp[d], d, 0);
        dg->addWidget(CmdObsCol[d], d, 1);
        dg->addWidget(CmdObsTic[d], d, 2);
        dg->addWidget(CmdRefCol[d], d, 3);
        dg->addWidget(CmdRefTic[d], d, 4);
        connect(ChkDsp[d], &QCheckBox::clicked, this, [this, d](bool on) { SetChkDsp(d, on ? 1 : 0); });
        connect(CmdObsCol[d], &QPushButton::clicked, this, [this, d] { ColorPick(d, false); });
        connect(CmdRefCol[d], &QPushButton::clicked, this, [this, d] { ColorPick(d, true); });
        connect(CmdObsTic[d], &QPushButton::clicked, this, [this, d] {
            MnuThick[d]->setChecked(!MnuThick[d]->isChecked());
            RequestRedraw();
        });
        connect(CmdRefTic[d], &QPushButton::clicked, this, [this, d] {
            MnuRefThick[d]->setChecked(!MnuRefThick[d]->isChecked());
            RequestRedraw();
        });
    }
    ChkRefDsp = new QCheckBox("Reference", dsp);
    ChkRefDsp->setObjectName("ChkRefDsp");
    dg->addWidget(ChkRefDsp, WavChShown, 0, 1, 5);
    left->addWidget(dsp);
    left->addStretch(1);
    auto setRef = [this](bool on) {
        ChkRefDsp->setChecked(on);
        MnuDspRef->setChecked(on);
        TBarKey("Ref")->setChecked(on);
        RequestRedraw();
    };
    connect(ChkRefDsp, &QCheckBox::clicked, this, setRef);
    connect(MnuDspRef, &QAction::triggered, this, setRef);

    // Right: the graph and its pages.
    auto* right = new QVBoxLayout;
    body->addLayout(right, 1);
    Picture1 = new WavPicture(this);
    Picture1->onMouse = [this](double x, bool l, bool) { Picture1_Mouse(x, l); };
    right->addWidget(Picture1, 1);
    LblDate = new QLabel(this);
    LblDate->setObjectName("LblDate");
    right->addWidget(LblDate);

    TSPage = new QTabWidget(this);
    TSPage->setObjectName("TSPage");
    right->addWidget(TSPage);

    auto* pc = new QWidget;
    auto* cg = new QGridLayout(pc);
    ChkCsr = new QCheckBox("Cursor", pc);
    ChkCsr->setObjectName("ChkCsr");
    CmdToTrig = new QPushButton("Cursor1 to trigger", pc);
    CmdToTrig->setObjectName("CmdToTrig");
    // Across two read-out columns and never narrower than its caption: the columns are only as wide
    // as their values.
    CmdToTrig->setMinimumWidth(CmdToTrig->sizeHint().width());
    cg->addWidget(ChkCsr, 0, 0);
    cg->addWidget(CmdToTrig, 0, 1, 1, 2);
    for (int n = 0; n < 2; ++n) {
        HScrCur[n] = new QScrollBar(Qt::Horizontal, pc);
        HScrCur[n]->setObjectName(QString("HScrCur_%1").arg(n));
        HScrCur[n]->setRange(0, 499);
        cg->addWidget(new QLabel(QString("Cursor%1").arg(n + 1), pc), 1 + n, 0);
        cg->addWidget(HScrCur[n], 1 + n, 1, 1, 6);
        connect(HScrCur[n], &QScrollBar::valueChanged, this, [this, n] { HScrCur_Change(n); });
    }
    auto label = [pc](const QString& name) {
        auto* l = new QLabel(pc);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    static const char* const kRow[] = {"Cursor1", "Cursor2", "Cursor2-1"};
    for (int r = 0; r < 3; ++r) cg->addWidget(new QLabel(kRow[r], pc), 4 + r, 0);
    QLabel** cols[6] = {LblCsrTim, LblCsrSpd, LblCsrCmd, LblCsrTrq, LblCsrErr, LblCsrFce};
    static const char* const kCol[] = {"LblCsrTim", "LblCsrSpd", "LblCsrCmd", "LblCsrTrq", "LblCsrErr", "LblCsrFce"};
    for (int c = 0; c < 6; ++c)
        for (int i = 0; i < 4; ++i) {
            cols[c][i] = label(QString("%1_%2").arg(kCol[c]).arg(i));
            cg->addWidget(cols[c][i], i == 3 ? 3 : 4 + i, 1 + c);
        }
    LblCsrTim[3]->setText("Time");
    static const int kColCh[6] = {-1, 0, 3, 1, 2, 4};
    for (int c = 1; c < 6; ++c) {
        LblCsrName[c] = cols[c][3];
        LblCsrName[c]->setText(QString::fromStdString(MeasItem[kColCh[c]].TextB));
    }
    // Each column as wide as its heading or its widest value, whichever is wider, and the columns of the
    // offered channels keep their room while the read-out is off: turning it on never squeezes them
    // into one another or past the window's edge.
    const QFontMetrics fm(LblCsrTim[3]->font());
    const double longestMs = 499.0 * SldSmp->maximum() * WavSmpBase * 1000.0;
    static const char* const kWidest[6] = {nullptr,   "-32768r/min", "-32768r/min",
                                           "-32768%", "-32768pulse", "-32768pulse"};
    for (int c = 0; c < 6; ++c) {
        const QString widest = c == 0 ? QString::fromStdString(WavMsText(-longestMs)) : kWidest[c];
        const int w = std::max(fm.horizontalAdvance(widest), fm.horizontalAdvance(cols[c][3]->text()));
        const bool keep = c == 0 || MeasItem[kColCh[c]].Offered != 0;
        for (int i = 0; i < 4; ++i) {
            cols[c][i]->setMinimumWidth(w + 2 * cols[c][i]->margin() + 2);
            QSizePolicy sp = cols[c][i]->sizePolicy();
            sp.setRetainSizeWhenHidden(keep);
            cols[c][i]->setSizePolicy(sp);
        }
    }
    cg->setHorizontalSpacing(std::max(cg->horizontalSpacing(), fm.horizontalAdvance("  ")));
    TSPage->addTab(pc, "Cursor");
    connect(ChkCsr, &QCheckBox::clicked, this, [this] { ChkCsr_Click(); });
    connect(CmdToTrig, &QPushButton::clicked, this, [this] { CmdToTrig_Click(); });

    auto* px = new QWidget;
    auto* xg = new QHBoxLayout(px);
    Xrange_DOWN = new QPushButton("Reduce", px);
    Xrange_DOWN->setObjectName("Xrange_DOWN");
    Xrange_UP = new QPushButton("Enlarge", px);
    Xrange_UP->setObjectName("Xrange_UP");
    Slider1 = new QScrollBar(Qt::Horizontal, px);
    Slider1->setObjectName("Slider1");
    Slider1->setRange(0, kSlider1Max);
    xg->addWidget(Xrange_DOWN);
    xg->addWidget(Xrange_UP);
    xg->addWidget(Slider1, 1);
    TSPage->addTab(px, "Time axis");
    connect(Xrange_UP, &QPushButton::clicked, this, [this] { Xrange_UP_Click(); });
    connect(Xrange_DOWN, &QPushButton::clicked, this, [this] { Xrange_DOWN_Click(); });
    connect(Slider1, &QScrollBar::valueChanged, this, [this] {
        if (!updating_) TimReDraw_Timer();
    });

    auto* py = new QWidget;
    auto* yg = new QGridLayout(py);
    static const char* const kAxisName[] = {"Speed", "Torque", "Position", "", "In position"};
    for (int a : kAxes) {
        Option1[a] = new QRadioButton(kAxisName[a], py);
        Option1[a]->setObjectName(QString("Option1_%1").arg(a));
        SldYOff[a] = new QScrollBar(Qt::Horizontal, py);
        SldYOff[a]->setObjectName(QString("SldYOff_%1").arg(a));
        SldYOff[a]->setInvertedAppearance(true);
        const int col = a == 4 ? 3 : a;
        yg->addWidget(Option1[a], 0, col);
        connect(Option1[a], &QRadioButton::clicked, this, [this, a] { Option1_Click(a); });
        connect(SldYOff[a], &QScrollBar::valueChanged, this, [this] {
            if (!updating_) TimReDraw_Timer();
        });
    }
    // The in-position trace has no range steps: its bar moves it by whole divisions.
    SldYOff[4]->setRange(-7, 7);
    auto* bars = new QHBoxLayout;
    for (int a : kAxes) bars->addWidget(SldYOff[a]);
    yg->addLayout(bars, 1, 0, 1, 4);
    Yrange_UP = new QPushButton("Range up", py);
    Yrange_UP->setObjectName("Yrange_UP");
    Yrange_DOWN = new QPushButton("Range down", py);
    Yrange_DOWN->setObjectName("Yrange_DOWN");
    CmdAuto = new QPushButton("Auto", py);
    CmdAuto->setObjectName("CmdAuto");
    CmdGenTen = new QPushButton("Offset 0", py);
    CmdGenTen->setObjectName("CmdGenTen");
    yg->addWidget(Yrange_UP, 2, 0);
    yg->addWidget(Yrange_DOWN, 2, 1);
    yg->addWidget(CmdAuto, 2, 2);
    yg->addWidget(CmdGenTen, 2, 3);
    TSPage->addTab(py, "Value axis");
    // Range tables run largest first: a step up is a smaller full scale.
    connect(Yrange_UP, &QPushButton::clicked, this, [this] { Yrange_Click(1); });
    connect(Yrange_DOWN, &QPushButton::clicked, this, [this] { Yrange_Click(-1); });
    connect(CmdAuto, &QPushButton::clicked, this, [this] { CmdAuto_Click(); });
    connect(CmdGenTen, &QPushButton::clicked, this, [this] { CmdGenTen_Click(); });
    auto pageTip = [this](int page) {
        Picture1->setToolTip(page == 0 ? "Move cursor1  with the left button, cursor2 with the right button."
                                       : "Enlarge with the left button, reduce with the right button.");
        Picture1->setCursor(page == 0 ? Qt::CrossCursor : Qt::PointingHandCursor);
    };
    connect(TSPage, &QTabWidget::currentChanged, this, pageTip);
    pageTip(0);

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    TimReDraw = new QTimer(this);
    TimReDraw->setInterval(10);
    TimReDraw->setSingleShot(true);
    connect(TimReDraw, &QTimer::timeout, this, [this] { TimReDraw_Timer(); });
}

void FrmGraph::InitRecords()
{
    for (WavChRec& r : WavGraph.Ch) WgdAxisInit(r);
    SetRange(WavGraph.Ch[1], {40000, 30000, 20000, 10000, 5000, 4000, 3000, 2000, 1000, 500, 200, 100, 50, 20, 10});
    SetRange(WavGraph.Ch[2], {500, 400, 300, 200, 100, 50, 20, 10, 5});
    WavGraph.Ch[2].Factor = 20.0f;
    SetRange(WavGraph.Ch[3], {40000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20});
    SetRange(WavGraph.Ch[0], {5000, 4000, 3000, 2000, 1000, 500, 200});
    SetRange(WavGraph.Ch[5], {5000, 4000, 3000, 2000, 1000, 500, 200});
    WavGraph.Ch[5].YDiv = 1.0f; // the in-position trace is 0 or 1: one division a step
    WavGraph.Ch[4] = WavGraph.Ch[3];
    WavGraph.Ch[0].ShowLabels = 0;
    WavGraph.Ch[5].ShowLabels = 0;
    static const char* const kTitle[WavChShown] = {"r/min", "%", "pulse", "r/min", "pulse", ""};
    // Value labels: speed left of the graph, torque and position right of it.
    static const float kLabelX[WavChShown] = {5, 549, 583, 5, 583, 5};
    static const int32_t kColor[WavChShown] = {0xC00000, 0x0000C0, 0x008000, 0xC000C0, 0x008080, 0x404040};
    static const int32_t kRefColor[WavChShown] = {0xFF8080, 0x8080FF, 0x80C080, 0xFF80FF, 0x80C0C0, 0xA0A0A0};
    for (int d = 0; d < WavChShown; ++d) {
        WavChRec& r = WavGraph.Ch[WavDspToRec[d]];
        r.AxisTitle = kTitle[d];
        r.LabelX = kLabelX[d];
        r.TitleX = kLabelX[d];
        r.Color = kColor[d];
        WavChRec& ref = WavGraph.Ch[WavDspToRefRec[d]];
        ref = r;
        ref.Color = kRefColor[d];
        r.DataValid = ref.DataValid = 0;
    }
    // Titles that share an axis side by side rather than on top of each other.
    WavGraph.Ch[0].TitleX = WavGraph.Ch[6].TitleX = 50;
    WavGraph.Ch[4].TitleY = WavGraph.Ch[10].TitleY = 20;
    WgdCurSet(0);
}

void FrmGraph::Form_Load()
{
    HScrCur[0]->setValue(499 / 4);
    HScrCur[1]->setValue(499 * 3 / 4);
    GrpCursor[0].CsrPos = static_cast<int16_t>(HScrCur[0]->value());
    GrpCursor[1].CsrPos = static_cast<int16_t>(HScrCur[1]->value());
    for (int d = 0; d < WavChShown; ++d) {
        const bool offered = MeasItem[d].Offered != 0;
        for (QWidget* w : {static_cast<QWidget*>(ChkItem[d]), static_cast<QWidget*>(ChkDsp[d]),
                           static_cast<QWidget*>(CmdObsCol[d]), static_cast<QWidget*>(CmdRefCol[d]),
                           static_cast<QWidget*>(CmdObsTic[d]), static_cast<QWidget*>(CmdRefTic[d])})
            w->setVisible(offered);
        MnuDsp[d]->setVisible(offered);
        MnuDsp[d]->setChecked(true);
    }
    ChkItem[0]->setEnabled(false);
    InitRecords();
    trg_mode->setChecked(false);
    trg_pos->setCurrentIndex(0);
    trg_slope->setCurrentIndex(0);
    Timer1->stop();
    FramChk->setVisible(WavChkMode != 0);
    FramOpt->setVisible(WavChkMode == 0);
    // The last conditions; a first start has none, which is no error.
    if (plat::FileExists(UserWgc())) {
        std::fill(std::begin(LoadSel), std::end(LoadSel), int16_t(0));
        if (FIL_LoadWaveCndFile(UserWgc()) == VbTrue) ApplyLoaded(true);
    }
    // Without kept conditions the time axis takes the controls' sampling.
    if (WavGraph.Word[WavWSmp] < 1) FillCond();
    for (int d = 0; d < WavChShown; ++d) {
        WgdSetCh(0, d, 0);
        WgdSetCh(1, d, 0);
        UpdateChannelControls(d);
    }
    SamplingLabels();
    working(VbFalse);
    Option1[4]->setVisible(WavAxisOffered(4));
    SldYOff[4]->setVisible(WavAxisOffered(4));
    Option1_Click(0);
    for (int a : kAxes) AxisSetup(a, WavGraph.Ch[AxisRec(a)].RangeIdx, false);
    TimReDraw_Timer();
}

bool FrmGraph::Online() const { return ComHandle != 0; }

int FrmGraph::AxisRec(int axis) const
{
    switch (axis) {
    case 1: return 2;
    case 2: return 3;
    case 4: return 5;
    default: return 1;
    }
}

// ---- controls <-> words ------------------------------------------------------------------------------

WavControls FrmGraph::Controls() const
{
    WavControls c;
    for (int d = 0; d < WavChShown; ++d) {
        c.chkItem[d] = ChkItem[d]->isChecked();
        c.chkItemEnabled[d] = ChkItem[d]->isEnabled();
    }
    c.chkItem[0] = true;
    c.optItem = OptItem[1]->isChecked() ? 1 : OptItem[2]->isChecked() ? 2 : 0;
    c.trgMode = trg_mode->isChecked() ? 1 : 0;
    c.slope = trg_slope->currentData().toInt();
    c.position = trg_pos->currentData().toInt();
    c.levelText = level->text().toStdString();
    c.sldMin = SldSmp->minimum();
    c.sldMax = SldSmp->maximum();
    c.sldValue = SldSmp->value();
    return c;
}

void FrmGraph::PutControls(const WavControls& c)
{
    for (int d = 1; d < WavChShown; ++d) {
        ChkItem[d]->setChecked(c.chkItem[d]);
        ChkItem[d]->setEnabled(c.chkItemEnabled[d] && MeasItem[d].Offered != 0);
    }
    level->setText(QString::fromStdString(c.levelText));
}

void FrmGraph::FillCond()
{
    WavControls c = Controls();
    MakeTrigCond(WavGraph, c);
    MakeChCond(WavGraph, c);
    PutControls(c);
}

void FrmGraph::ApplyChannelLimit()
{
    int count = 0;
    for (int d = 1; d < WavChShown; ++d)
        if (MeasItem[d].Offered != 0 && ChkItem[d]->isChecked()) ++count;
    int limit = WavChMax > 0 ? WavChMax : WavChShown - 1;
    // A family R amplifier captures three channels beside the actual speed.
    if (CurrentFamily() == CmdFamilyKind::R) limit = std::min(limit, 3);
    for (int d = 1; d < WavChShown; ++d)
        ChkItem[d]->setEnabled(MeasItem[d].Offered != 0 && (count < limit || ChkItem[d]->isChecked()));
}

void FrmGraph::ChkItem_Click(int) { ApplyChannelLimit(); }

void FrmGraph::SamplingLabels()
{
    const int n = WavSampling(Controls());
    LblSmpInt->setText(QString::fromStdString(WavCycleText(n, WavSmpBase)));
    LblSmpTim->setText(QString::fromStdString(WavTimeText(n, WavSmpBase)));
}

void FrmGraph::SldSmp_Change()
{
    SamplingLabels();
    if (updating_) return;
    SetZoom(1.0f);
    RequestRedraw();
}

void FrmGraph::level_LostFocus()
{
    WavControls c = Controls();
    WavCondRec tmp = WavGraph;
    MakeTrigCond(tmp, c);
    level->setText(QString::fromStdString(c.levelText));
}

bool FrmGraph::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == level) {
        if (event->type() == QEvent::FocusIn) savedLevel_ = level->text().toStdString();
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            level->setText(QString::fromStdString(savedLevel_));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmGraph::CmdTrigSign_Click()
{
    WavControls c = Controls();
    WavCondRec tmp = WavGraph;
    MakeTrigCond(tmp, c);
    c.levelText = WavLevelText(-tmp.Word[WavWTrigLevel]);
    MakeTrigCond(tmp, c);
    level->setText(QString::fromStdString(c.levelText));
}

// ---- public methods ------------------------------------------------------------------------------------

void FrmGraph::working(int16_t flag)
{
    const bool on = flag != 0;
    TBarKey("Stop")->setEnabled(on);
    TBarKey("Mesure")->setEnabled(!on && Online());
    MnuSokutei->setEnabled(!on && Online());
}

void FrmGraph::UpdateChannelControls(int ch)
{
    const bool offered = MeasItem[ch].Offered != 0;
    const bool obs = offered && WavGraph.Ch[WavDspToRec[ch]].DataValid != 0;
    const bool ref = offered && WavGraph.Ch[WavDspToRefRec[ch]].DataValid != 0;
    MnuDsp[ch]->setEnabled(obs || ref);
    MnuThick[ch]->setEnabled(obs);
    MnuRefThick[ch]->setEnabled(ref);
    CmdObsCol[ch]->setEnabled(obs);
    CmdObsTic[ch]->setEnabled(obs);
    CmdRefCol[ch]->setEnabled(ref);
    CmdRefTic[ch]->setEnabled(ref);
    ChkDsp[ch]->setEnabled(obs || ref);
    ChkDsp[ch]->setChecked(obs || ref);
    MnuDsp[ch]->setChecked(obs || ref);
}

void FrmGraph::DataIsValid(int ch, bool flag)
{
    if (loadingRef_) {
        RefDataIsValid(ch, flag);
        return;
    }
    WgdSetCh(0, ch, plat::VbBool(flag));
    UpdateChannelControls(ch);
}

void FrmGraph::RefDataIsValid(int ch, bool flag)
{
    WgdSetCh(1, ch, plat::VbBool(flag));
    UpdateChannelControls(ch);
}

void FrmGraph::SetChkDsp(int index, int16_t value)
{
    if (index < 0 || index >= WavChShown) return;
    ChkDsp[index]->setChecked(value != 0);
    MnuDsp[index]->setChecked(value != 0);
    RequestRedraw();
}

int16_t FrmGraph::IsMeasureEnd(int16_t& status) { return run_->IsMeasureEnd(status); }

void FrmGraph::EnableReadOut()
{
    const bool on = ChkCsr->isChecked();
    static const int kColRec[6] = {-1, 1, 0, 2, 3, 4};
    static const int kColCh[6] = {-1, 0, 3, 1, 2, 4};
    QLabel** cols[6] = {LblCsrTim, LblCsrSpd, LblCsrCmd, LblCsrTrq, LblCsrErr, LblCsrFce};
    for (int c = 0; c < 6; ++c) {
        const bool vis = on && (c == 0 || (MnuDsp[kColCh[c]]->isChecked() &&
                                           WavGraph.Ch[kColRec[c]].DataValid != 0));
        for (int i = 0; i < 4; ++i) cols[c][i]->setVisible(vis);
    }
    WgdCurSet(plat::VbBool(on));
    for (QScrollBar* s : HScrCur) s->setEnabled(on);
    CmdToTrig->setEnabled(on);
}

void FrmGraph::ChangeYRangeForDefFile(int axis) { AxisSetup(axis, WavGraph.Ch[AxisRec(axis)].RangeIdx, false); }

int FrmGraph::GetXOff()
{
    const int off = WavXOff(zoom_, Slider1->value(), Slider1->maximum());
    for (WavChRec& r : WavGraph.Ch) r.XOff = static_cast<float>(off);
    return off;
}

// ---- view --------------------------------------------------------------------------------------------

void FrmGraph::SetZoom(float f)
{
    zoom_ = f;
    for (WavChRec& r : WavGraph.Ch) r.XScale = f;
    Slider1->setPageStep(WavSliderLarge(f) * kSlider1Max / 500);
    Slider1->setSingleStep(std::max(1, WavSliderSmall(f) * kSlider1Max / 500));
    Slider1->setEnabled(f != 1.0f);
}

void FrmGraph::Xrange_UP_Click()
{
    SetZoom(WavZoomIn(zoom_));
    RequestRedraw();
}

void FrmGraph::Xrange_DOWN_Click()
{
    SetZoom(WavZoomOut(zoom_));
    RequestRedraw();
}

void FrmGraph::AxisSetup(int axis, int newIdx, bool keep)
{
    if (axis == 4) return; // the in-position trace has no range steps
    QScrollBar* bar = SldYOff[axis];
    const WavBar b = WavBarSetup(WavGraph.Ch[AxisRec(axis)], newIdx, keep, bar->value());
    updating_ = true;
    bar->setRange(b.min, b.max);
    bar->setPageStep(b.large);
    bar->setValue(b.value);
    updating_ = false;
}

void FrmGraph::Option1_Click(int axis)
{
    yAxis_ = axis;
    Option1[axis]->setChecked(true);
    // Whether an axis is offered is the series' own fact, not whether its button is on screen yet.
    for (int a : kAxes) SldYOff[a]->setVisible(a == axis && WavAxisOffered(a));
}

void FrmGraph::Yrange_Click(int step)
{
    AxisSetup(yAxis_, WavGraph.Ch[AxisRec(yAxis_)].RangeIdx + step, true);
    RequestRedraw();
}

void FrmGraph::CmdAuto_Click()
{
    WgdAutoScale();
    for (int a : kAxes) {
        AxisSetup(a, WavGraph.Ch[AxisRec(a)].RangeIdx, false);
        updating_ = true;
        SldYOff[a]->setValue(0);
        updating_ = false;
    }
    RequestRedraw();
}

void FrmGraph::CmdGenTen_Click()
{
    updating_ = true;
    for (int a : kAxes) SldYOff[a]->setValue(0);
    updating_ = false;
    RequestRedraw();
}

void FrmGraph::RequestRedraw() const { TimReDraw->start(); }

void FrmGraph::TimReDraw_Timer()
{
    TimReDraw->stop();
    const bool refOn = MnuDspRef->isChecked();
    for (int d = 0; d < WavChShown; ++d) {
        const bool offered = MeasItem[d].Offered != 0;
        const bool shown = MnuDsp[d]->isChecked();
        WavChRec& o = WavGraph.Ch[WavDspToRec[d]];
        WavChRec& r = WavGraph.Ch[WavDspToRefRec[d]];
        o.Visible = plat::VbBool(shown && o.DataValid != 0 && offered);
        r.Visible = plat::VbBool(shown && r.DataValid != 0 && offered && refOn);
        o.Thick = MnuThick[d]->isChecked() ? 25 : 15;
        r.Thick = MnuRefThick[d]->isChecked() ? 25 : 15;
        CmdObsTic[d]->setText(o.Thick == 25 ? "thick" : "thin");
        CmdRefTic[d]->setText(r.Thick == 25 ? "thick" : "thin");
        CmdObsCol[d]->setStyleSheet(QString("background-color: %1").arg(WavColor(o.Color).name()));
        CmdRefCol[d]->setStyleSheet(QString("background-color: %1").arg(WavColor(r.Color).name()));
    }
    for (int a : kAxes) {
        WavChRec& rec = WavGraph.Ch[AxisRec(a)];
        rec.YOff = static_cast<float>(-SldYOff[a]->value());
        if (a != 4) rec.YDiv = static_cast<float>(WavFullScale(rec) / 5.0);
    }
    // Records 0 and 4 have no axis of their own: they share the speed and position axes.
    for (auto [to, from] : {std::pair{0, 1}, std::pair{4, 3}}) {
        WavGraph.Ch[to].YOff = WavGraph.Ch[from].YOff;
        WavGraph.Ch[to].YDiv = WavGraph.Ch[from].YDiv;
    }
    GetXOff();
    for (WavChRec& r : WavGraph.Ch) r.XScale = zoom_;
    EnableReadOut();
    Picture1->Redraw(1);
    UpdateReadout();
    Slider1->setEnabled(zoom_ != 1.0f);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d %02d:%02d", SokuTeiDate.Month, SokuTeiDate.Day, SokuTeiDate.Hour,
                  SokuTeiDate.Minute);
    LblDate->setText(buf);
}

// ---- cursors -------------------------------------------------------------------------------------------

void FrmGraph::UpdateReadout()
{
    const double t0 = WgdCurVal(0), t1 = WgdCurVal(1);
    LblCsrTim[0]->setText(QString::fromStdString(WavMsText(t0)));
    LblCsrTim[1]->setText(QString::fromStdString(WavMsText(t1)));
    LblCsrTim[2]->setText(QString::fromStdString(WavMsText(t1 - t0)));
    struct Col {
        QLabel** lbl;
        int rec;
        const char* unit;
    };
    const Col cols[] = {{LblCsrSpd, 1, "r/min"}, {LblCsrCmd, 0, "r/min"}, {LblCsrTrq, 2, "%"},
                        {LblCsrErr, 3, "pulse"}, {LblCsrFce, 4, "pulse"}};
    for (const Col& c : cols) {
        const WavChRec& r = WavGraph.Ch[c.rec];
        const int v0 = WgdCurGet(0, r), v1 = WgdCurGet(1, r);
        c.lbl[0]->setText(QString::fromStdString(WavValText(v0, c.unit)));
        c.lbl[1]->setText(QString::fromStdString(WavValText(v1, c.unit)));
        c.lbl[2]->setText(QString::fromStdString(WavValText(v1 - v0, c.unit)));
    }
}

void FrmGraph::HScrCur_Change(int n)
{
    // Only the overlay is painted again: the curves stay as they were drawn.
    GrpCursor[n].CsrPos = static_cast<int16_t>(HScrCur[n]->value());
    UpdateReadout();
    Picture1->update();
}

void FrmGraph::ChkCsr_Click()
{
    EnableReadOut();
    Picture1->update();
}

void FrmGraph::CmdToTrig_Click()
{
    HScrCur[0]->setValue(WavCsrToTrig(trg_pos->currentData().toInt()));
}

void FrmGraph::Picture1_Mouse(double x, bool left)
{
    if (TSPage->currentIndex() == 0) {
        // The cursors keep their places while the read-out is off; switching it on shows them there.
        HScrCur[left ? 0 : 1]->setValue(WavSampleAt(x, zoom_, GetXOff()));
        return;
    }
    // Zoom around the clicked sample, so that it stays in view.
    const int at = WavSampleAt(x, zoom_, GetXOff());
    SetZoom(left ? WavZoomIn(zoom_) : WavZoomOut(zoom_));
    const int span = static_cast<int>(500 / zoom_);
    const int h = WavXOff(zoom_, kSlider1Max, kSlider1Max);
    updating_ = true;
    Slider1->setValue(h > 0 ? std::clamp((at - span / 2) * kSlider1Max / h, 0, kSlider1Max) : 0);
    updating_ = false;
    RequestRedraw();
}

void FrmGraph::ColorPick(int ch, bool ref)
{
    WavChRec& r = WavGraph.Ch[ref ? WavDspToRefRec[ch] : WavDspToRec[ch]];
    const QColor c = QColorDialog::getColor(WavColor(r.Color), this);
    if (!c.isValid()) return;
    r.Color = c.red() | c.green() << 8 | c.blue() << 16;
    RequestRedraw();
}

// ---- measurement -------------------------------------------------------------------------------------

void FrmGraph::WaveStartChk() { run_->StartChk(); }
void FrmGraph::WaveSokuTeiStop() { run_->Stop(); }
void FrmGraph::Timer1_Timer() { run_->Tick(); }

void FrmGraph::SanSyouTenSou()
{
    for (int d = 0; d < WavChShown; ++d) RefDataIsValid(d, CmdObsTic[d]->isEnabled());
    for (int d = 0; d < WavChShown; ++d)
        std::copy_n(WavGraph.Ch[WavDspToRec[d]].RawData, 500, WavGraph.Ch[WavDspToRefRec[d]].RawData);
    RequestRedraw();
}

void FrmGraph::TBar_ButtonClick(const std::string& key)
{
    if (level->hasFocus()) level_LostFocus();
    if (key == "Load")
        LoadFile("wgdwgcwgp", "Wave form graphic,condition,parameter");
    else if (key == "Save")
        SaveFile();
    else if (key == "Print")
        PrintGraph();
    else if (key == "Exit") {
        if (Mevalo* m = Mevalo::Instance())
            m->UnloadWindow(this);
        else
            close();
    } else if (key == "Mesure")
        WaveStartChk();
    else if (key == "Stop")
        WaveSokuTeiStop();
    else if (key == "Comment")
        FrmRem::Exec(Variant(int16_t(1)), "Comment on the wave form graphic", "Comment is saved with graphic data.");
    else if (key == "ToRef")
        SanSyouTenSou();
    else if (key == "Ref") {
        const bool on = TBarKey("Ref")->isChecked();
        ChkRefDsp->setChecked(on);
        MnuDspRef->setChecked(on);
        RequestRedraw();
    }
}

// ---- files ---------------------------------------------------------------------------------------------

void FrmGraph::SyncView()
{
    for (int d = 0; d < WavChShown; ++d) {
        WavView.Thick[d] = plat::VbBool(MnuThick[d]->isChecked());
        WavView.RefThick[d] = plat::VbBool(MnuRefThick[d]->isChecked());
        WavView.ChkDsp[d] = ChkDsp[d]->isChecked() ? 1 : 0;
    }
    WavView.ChkRefDsp = ChkRefDsp->isChecked() ? 1 : 0;
    WavView.TimeSlider = static_cast<int16_t>(Slider1->value());
    for (int a : kAxes) WavGraph.Ch[AxisRec(a)].YOff = static_cast<float>(-SldYOff[a]->value());
    GetXOff();
}

void FrmGraph::ApplyLoaded(bool cond)
{
    const WavLoadRec& l = WavLoaded;
    updating_ = true;
    if (cond && l.Cond) {
        trg_mode->setChecked(WavGraph.Word[WavWTrig] == 1);
        trg_slope->setCurrentIndex(std::clamp<int>(WavGraph.Word[WavWTrigSlope], 0, trg_slope->count() - 1));
        trg_pos->setCurrentIndex(std::clamp<int>(WavGraph.Word[WavWTrigPos], 0, trg_pos->count() - 1));
        level->setText(QString::fromStdString(WavLevelText(WavGraph.Word[WavWTrigLevel])));
        for (int d = 1; d < WavChShown; ++d)
            ChkItem[d]->setChecked(ChkItem[d]->isEnabled() && MeasItem[d].Offered != 0 &&
                                   WavGraph.Word[WavWChOn + d] != 0);
        ApplyChannelLimit();
        OptItem[0]->setChecked(WavGraph.Word[WavWChOn + 3] != 0);
        OptItem[1]->setChecked(WavGraph.Word[WavWChOn + 1] != 0);
        OptItem[2]->setChecked(WavGraph.Word[WavWChOn + 2] != 0);
    }
    // The loaded data keep their own time base: the slider follows the file.
    if (l.Sampling) {
        const int n = std::clamp<int>(WavGraph.Word[WavWSmp], SldSmp->minimum(), SldSmp->maximum());
        SldSmp->setValue(SldSmp->maximum() + SldSmp->minimum() - n);
        SamplingLabels();
    }
    updating_ = false;
    if (l.TimeAxis) {
        SetZoom(WavZoomValid(WavGraph.Ch[1].XScale));
        updating_ = true;
        Slider1->setValue(std::clamp<int>(WavView.TimeSlider, 0, kSlider1Max));
        updating_ = false;
    }
    if (l.YAxes) {
        for (int a : kAxes) {
            const float off = WavGraph.Ch[AxisRec(a)].YOff;
            ChangeYRangeForDefFile(a);
            updating_ = true;
            SldYOff[a]->setValue(static_cast<int>(-off));
            updating_ = false;
        }
    }
    for (int d = 0; d < WavChShown; ++d) {
        if (l.DataValid[d]) DataIsValid(d, WavGraph.Ch[WavDspToRec[d]].DataValid != 0);
        if (l.RefDataValid[d]) RefDataIsValid(d, WavGraph.Ch[WavDspToRefRec[d]].DataValid != 0);
        if (l.Thick[d]) MnuThick[d]->setChecked(WavView.Thick[d] != 0);
        if (l.RefThick[d]) MnuRefThick[d]->setChecked(WavView.RefThick[d] != 0);
        if (l.ChkDsp[d]) {
            ChkDsp[d]->setChecked(WavView.ChkDsp[d] != 0);
            MnuDsp[d]->setChecked(WavView.ChkDsp[d] != 0);
        }
    }
    if (l.ChkRefDsp) {
        ChkRefDsp->setChecked(WavView.ChkRefDsp != 0);
        MnuDspRef->setChecked(WavView.ChkRefDsp != 0);
        TBarKey("Ref")->setChecked(WavView.ChkRefDsp != 0);
    }
    WavLoaded = WavLoadRec{};
}

void FrmGraph::LoadFile(const std::string& exts, const std::string& title)
{
    const std::string path = FrmPrmSel::Exec("wgd", exts, title);
    if (path.empty()) return;
    const std::string words = FrmWavLod::Exec(path);
    if (words.empty() || words.find("cancel") != std::string::npos) return;
    auto has = [&words](const char* w) { return words.find(w) != std::string::npos; };
    LoadSel[0] = plat::VbBool(!has("cond"));
    LoadSel[1] = plat::VbBool(!has("result"));
    LoadSel[3] = plat::VbBool(!has("param"));
    LoadSel[2] = plat::VbBool(!has("reference"));
    LoadSel[4] = VbFalse;
    const bool wgc = EndsWithNoCase(path, ".wgc"), wgd = EndsWithNoCase(path, ".wgd"),
               wgp = EndsWithNoCase(path, ".wgp");
    int16_t ok = VbFalse;
    if (!wgc && !wgd && !wgp) {
        plat::MsgBox("Type of the file is different.", plat::Buttons::Ok, plat::Icon::None, kLoadTitle);
    } else if (has("toref")) {
        LoadSel[4] = VbTrue;
        loadingRef_ = true;
        ok = FIL_LoadWaveFile(path);
        loadingRef_ = false;
    } else if (wgc) {
        ok = FIL_LoadWaveCndFile(path);
    } else if (wgd) {
        ok = FIL_LoadWaveFile(path);
    } else {
        ok = FIL_LoadWavePrmFile(path);
    }
    const bool toRef = LoadSel[4] != 0;
    if (ok == VbTrue) {
        loadingRef_ = toRef;
        ApplyLoaded(has("cond") && !toRef);
        loadingRef_ = false;
        if (toRef) {
            ChkRefDsp->setChecked(true);
            MnuDspRef->setChecked(true);
            TBarKey("Ref")->setChecked(true);
        }
        if (has("result") && !toRef) {
            resultLoaded_ = true;
            hasCapture_ = true;
            capturedCond_ = WavGraph;
        }
        if (has("param")) {
            // The parameters on screen are now the file's: nothing to fetch from the amplifier again.
            PrmFlg = VbFalse;
            PrmIsAmp = VbFalse;
            SetPrmSrc(2, "");
        }
    }
    std::fill(std::begin(LoadSel), std::end(LoadSel), int16_t(0));
    WavLoaded = WavLoadRec{};
    RequestRedraw();
}

void FrmGraph::SaveFile()
{
    std::string ver;
    const std::string item = FrmWavSav::Exec(ver);
    struct Kind {
        const char* item;
        const char* caption;
        const char* foot;
        const char* filter;
        int16_t (*writer)(const std::string&);
        int16_t (*writerV2)(const std::string&);
    };
    static const Kind kKinds[] = {
        {"condition", "Comment on the wave form condition", "Comment is saved with graphic condition.",
         "Wave form graphic conditin file(*.wgc)|*.wgc", FIL_SaveWaveCndFile, FIL_SaveWaveCndFileV2},
        {"result", "Comment on the wave form graphic", "Comment is saved with graphic data.",
         "Wave form graphic file(*.wgd)|*.wgd", FIL_SaveWaveFile, FIL_SaveWaveFileV2},
        {"parameter", "Comment on wave form graphic and parameter", "Comment is saved with graphic data and parameter.",
         "Wave form graphic and parameter file(*.wgp)|*.wgp", FIL_SaveWavePrmFile, FIL_SaveWavePrmFileV2},
    };
    const Kind* k = nullptr;
    for (const Kind& c : kKinds)
        if (item == c.item) k = &c;
    if (!k) return;
    const bool param = item == "parameter";
    // The parameter memo is offered for editing as the waveform memo.
    if (param)
        for (int l = 0; l < CommentLines; ++l) CommentTxt[1][l] = CommentTxt[0][l];
    FrmRem::Exec(Variant(int16_t(1)), k->caption, k->foot);
    if (DlgResult != VbTrue) return;
    SyncView();
    // A result keeps the time base and trigger it was captured with; the controls may have moved since.
    const WavCondRec keep = WavGraph;
    if (item == "condition" || !hasCapture_) {
        WavControls c = Controls();
        MakeTrigCond(WavGraph, c);
        MakeChCond(WavGraph, c);
    } else {
        static_cast<WavCondRec&>(WavGraph) = capturedCond_;
    }
    const std::string path = FilDlg("wgd", "write", k->filter);
    if (!path.empty()) {
        bool go = true;
        if (param && Online()) {
            plat::MsgBox("Receiving parameter from amplifier.", plat::Buttons::Ok, plat::Icon::None,
                         "Write the wave form graphic data");
            // Parameters that could not all be read are not written as if they were the amplifier's.
            go = PrmZenZyuShin() == VbTrue;
            if (go) SetPrmSrc(1, "");
        }
        if (go) {
            UpdStat("Writing file");
            RetVar = Variant((ver == "ver2" ? k->writerV2 : k->writer)(path));
        }
    }
    if (item != "condition") static_cast<WavCondRec&>(WavGraph) = keep;
}

// ---- print ---------------------------------------------------------------------------------------------

WgdPanelInfo FrmGraph::PanelInfo() const
{
    WgdPanelInfo info;
    info.trgOn = trg_mode->isChecked();
    info.trgPosText = trg_pos->currentText().toStdString();
    info.trgSlopeText = trg_slope->currentText().toStdString();
    QLabel* const* cols[6] = {LblCsrTim, LblCsrSpd, LblCsrCmd, LblCsrTrq, LblCsrErr, LblCsrFce};
    for (int c = 0; c < 6; ++c)
        for (int i = 0; i < 4; ++i) info.readout[c][i] = cols[c][i]->text().toStdString();
    return info;
}

void FrmGraph::DrawForPrint(PrdSurface* target, const std::string& options)
{
    TimReDraw_Timer();
    WgdDraw(target, 1, options, PanelInfo(), true);
}

void FrmGraph::PrintGraph()
{
    PrdPrint({.title = kPrintTitle,
              .ask = [] { return FrmPrnItem::Exec(kPrintTitle); },
              .print = [this](const std::string& words) { return PrintChosen(words); }});
}

bool FrmGraph::PrintChosen(const std::string& words)
{
    bool printed = false;
    if (words.find("graph") != std::string::npos) {
        bool print = true;
        if (UserLevel == 3) {
            // The preview comes first; paper only on request.
            QImage img(QSize(930, 1380), QImage::Format_RGB32);
            img.fill(Qt::white);
            {
                QPainter p(&img);
                WavPainterDevice dev(p, QSizeF(img.size()), 96.0);
                PrdSurface s(&dev);
                DrawForPrint(&s, "/TEXT");
            }
            QDialog preview(this);
            preview.setObjectName("FrmPrinter");
            preview.setWindowTitle(kPrintTitle);
            auto* pic = new QLabel(&preview);
            pic->setPixmap(QPixmap::fromImage(img.scaledToHeight(690, Qt::SmoothTransformation)));
            (new QVBoxLayout(&preview))->addWidget(pic);
            preview.show();
            print = plat::MsgBox("Do you print on paper?", plat::Buttons::YesNo, plat::Icon::Question, "Yes ?") ==
                    plat::Yes;
        }
        if (print) {
            DrawForPrint(nullptr, "/PRINTER /TEXT");
            printed = true;
        }
    }
    if (words.find("param") != std::string::npos) {
        PrintPrm16(UserLevel >= 2 ? static_cast<int16_t>(Prm16MaxAll + 1) : Prm16Max);
        if (Prm32Cnt != 0) PrintPrm32(UserLevel >= 2 ? Prm32MaxAll : Prm32Max);
        printed = true;
    }
    return printed;
}

// ---- closing -------------------------------------------------------------------------------------------

void FrmGraph::closeEvent(QCloseEvent* event)
{
    if (run_->Waiting()) run_->Stop();
    Timer1->stop();
    TimReDraw->stop();
    SyncView();
    FillCond();
    RetVar = Variant(FIL_SaveUserWaveCnd(UserWgc()));
    if (CurrentFamily() == CmdFamilyKind::K && Online() && FamilyK().GrpStopK) FamilyK().GrpStopK();
    event->accept();
}
