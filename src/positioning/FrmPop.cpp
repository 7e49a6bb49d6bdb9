#include "positioning/FrmPop.h"

#include "app/ChildMenus.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <charconv>
#include <stdexcept>

#include "app/Frame.h"
#include "app/FrmRem.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/PrdPrint.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "params/FrmHexBit.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "positioning/FrmPopEEP.h"
#include "positioning/FrmPopPrn.h"
#include "positioning/PopEep.h"
#include "positioning/PopPrint.h"

namespace {

QPointer<FrmPop>& Current() {
    static QPointer<FrmPop> w;
    return w;
}

constexpr int Rows = 8;
// Guide kind of each step column (mode, position, velocity, acceleration, deceleration, block, comment).
constexpr int GuideKind[7] = {3, 5, 0, 1, 2, 4, 6};

void Paint(QWidget* w, bool current) {
    QPalette p = w->palette();
    const QPalette& app = QApplication::palette();
    const QColor c = current ? app.color(QPalette::Button) : app.color(QPalette::Base);
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    // A closed drop-down list draws its face in the button colour.
    if (qobject_cast<QComboBox*>(w)) p.setColor(QPalette::Button, c);
    w->setPalette(p);
}

void SetWaitMsg(const std::string& text, bool busy) {
    if (!text.empty()) UpdStat(text);
    Hourglass(busy);
}

std::optional<int64_t> IntOf(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    const char* b = s.data();
    const char* e = s.data() + s.size();
    if (b != e && *b == '+') ++b;
    int64_t v = 0;
    const auto r = std::from_chars(b, e, v);
    if (b == e || r.ec != std::errc() || r.ptr != e) return std::nullopt;
    return v;
}

// The comment fits the printed comment column: 330 of the 1000 units of a landscape sheet less the
// padding, in a font of 9.5 thousandths of the page width.
bool CommentFits(const QString& text) {
    QFont f("Arial");
    f.setPixelSize(95);
    return QFontMetricsF(f).horizontalAdvance(text) < (330 - 8) * 10;
}

std::string Hex(int n) {
    return PopNo(n);
}

} // namespace

FrmPop* FrmPop::Instance() {
    return Current();
}

FrmPop* FrmPop::Show() {
    if (!Current()) {
        auto* w = new FrmPop();
        Current() = w;
        if (Mevalo* m = Mevalo::Instance()) m->AddChild(w);
        w->Form_Load();
    }
    FrmPop* w = Current();
    w->show();
    Mevalo::ShowChild(w);
    return w;
}

FrmPop::FrmPop() {
    setObjectName("FrmPop");
    setAttribute(Qt::WA_DeleteOnClose);
    plat::RegisterForm("FrmPop", this);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(4, 0, 4, 4);
    BuildMenus();
    top->setMenuBar(findChild<QMenuBar*>("MenuBar"));
    top->addWidget(Toolbar1);
    TabStrip1 = new QTabBar(this);
    TabStrip1->addTab("Step");
    TabStrip1->setTabToolTip(0, "Display the steps.");
    TabStrip1->addTab("Positioning parameter (16bit)");
    TabStrip1->setTabToolTip(1, "Display the positioning parameters(16bit).");
    TabStrip1->addTab("Positioning parameter (32bit)");
    TabStrip1->setTabToolTip(2, "Display the positioning parameters(32bit).");
    top->addWidget(TabStrip1);
    FraPage = new QStackedWidget(this);
    top->addWidget(FraPage, 1);
    auto* p0 = new QWidget(FraPage);
    auto* p1 = new QWidget(FraPage);
    auto* p2 = new QWidget(FraPage);
    BuildStepPage(p0);
    BuildPrmPage(p1, false);
    BuildPrmPage(p2, true);
    FraPage->addWidget(p0);
    FraPage->addWidget(p1);
    FraPage->addWidget(p2);
    connect(TabStrip1, &QTabBar::currentChanged, this, &FrmPop::TabStrip1_Click);

    auto timer = [this](const char* name, int ms, void (FrmPop::*tick)()) {
        auto* t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(ms);
        t->setSingleShot(true);
        connect(t, &QTimer::timeout, this, tick);
        return t;
    };
    TimDispDataSource = timer("TimDispDataSource", 10, &FrmPop::TimDispDataSource_Timer);
    TimMsgParaNotSend = timer("TimMsgParaNotSend", 100, &FrmPop::TimMsgParaNotSend_Timer);
    TimReShow = timer("TimReShow", 10, &FrmPop::TimReShow_Timer);
    TimShowValidAfterBoot = new QTimer(this);
    TimShowValidAfterBoot->setObjectName("TimShowValidAfterBoot");
    TimShowValidAfterBoot->setInterval(1);
    TimShowValidAfterBoot->setSingleShot(true);
    connect(TimShowValidAfterBoot, &QTimer::timeout, this, [] {
        plat::MsgBox(
            "This parameter becomes active by re-switching on electrical power after writing in EEPROM.",
            plat::Buttons::Ok, plat::Icon::None, "Parameter change");
    });
    PopDataSourceChanged = [] {
        if (FrmPop* w = Current()) w->DispDataSource();
    };
}

FrmPop::~FrmPop() {
    Mevalo::DetachControls(this);
    plat::UnregisterForm(this);
    if (Current() == this) PopDataSourceChanged = nullptr;
}

void FrmPop::BuildMenus() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName("MenuBar");
    QMenu* fil = bar->addMenu("&File");
    fil->setObjectName("MnuFil");
    auto item = [this](QMenu* m, const char* name, const char* text, void (FrmPop::*fn)()) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    MnuPrmHoZon = item(fil, "MnuPrmHoZon", "&Save...", &FrmPop::MnuPrmHoZon_Click);
    MnuPrmYomiDashi = item(fil, "MnuPrmYomiDashi", "&Read...", &FrmPop::MnuPrmYomiDashi_Click);
    MnuPrmKiTeiChi = item(fil, "MnuPrmKiTeiChi", "Factory &preset", &FrmPop::MnuPrmKiTeiChi_Click);
    MnuHenSyuComment = item(fil, "MnuHenSyuComment", "&Comment...", &FrmPop::MnuHenSyuComment_Click);
    fil->addSeparator();
    MnuPrmZyuShin = item(fil, "MnuPrmZyuShin", "Recei&ve", &FrmPop::MnuPrmZyuShin_Click);
    MnuPrmSouShin = item(fil, "MnuPrmSouShin", "Sen&d", &FrmPop::MnuPrmSouShin_Click);
    MnuEepromKakiKomi = item(fil, "MnuEepromKakiKomi", "Write to &EEPROM", &FrmPop::MnuEepromKakiKomi_Click);
    fil->addSeparator();
    MnuInSatu = item(fil, "MnuInSatu", "&Print...", &FrmPop::MnuInSatu_Click);
    fil->addSeparator();
    // The main window's setting items, exit and version information, as every screen offers them.
    QMenu* set = fil->addMenu("Setting &S");
    set->setObjectName("MnuSeTteiOya");
    const char* settings[] = {"Selection of the axis address(ID) &A", "Model selection &M",
                              "Communication with the amplifier &P", "Communication setting &C"};
    AddMainItems(set, "MnuSeTtei", settings, 4, &Mevalo::MnuSeTtei_Click);
    MnuTojiru = item(fil, "MnuTojiru", "C&lose", &FrmPop::MnuTojiru_Click);
    QAction* quit = fil->addAction("Exit of Mevalo &X");
    quit->setObjectName("MnuSyuuRyou");
    connect(quit, &QAction::triggered, this, [] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuSyuuRyou_Click();
    });
    connect(fil, &QMenu::aboutToShow, this, [this] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuFilEnable(this);
    });
    MnuInput = bar->addMenu("&Input");
    MnuInput->setObjectName("MnuInput");
    bit_value = item(MnuInput, "bit_value", "&Value entry...", &FrmPop::bit_value_Click);
    MnuInput->setEnabled(false);

    // The main window's Display and Window items, under the main window's own captions.
    QMenu* disp = bar->addMenu("Display &D");
    disp->setObjectName("MnuHyouji_Oya");
    AddDisplayItems(disp, this);
    QMenu* win = bar->addMenu("Window &W");
    win->setObjectName("MnuWindow");
    AddWindowItems(win);
    QMenu* help = bar->addMenu("Help &H");
    help->setObjectName("MnuHelp");
    QAction* ver = help->addAction("Version information &V");
    ver->setObjectName("MnuVerGrp");
    connect(ver, &QAction::triggered, this, [] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuVerGrp_Click();
    });

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName("Toolbar1");
    auto button = [this](const char* key, const char* tip, QAction* target) {
        QAction* a = Toolbar1->addAction(key);
        a->setObjectName(QString("Tool_") + key);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, target, &QAction::trigger);
        connect(target, &QAction::changed, a, [a, target] { a->setEnabled(target->isEnabled()); });
        return a;
    };
    button("Save", "Save the positioning parameters in the file.", MnuPrmHoZon);
    button("Read", "Read the positioning parameters from the file.", MnuPrmYomiDashi);
    button("Cmnt", "Edit the comment.", MnuHenSyuComment);
    button("Recv", "Receive the positioning parameters from the amplifier.", MnuPrmZyuShin);
    button("Send", "Transmit the positioning parameters to the amplifier.", MnuPrmSouShin);
    button("EEP", "Write the positioning parameters in EEPROM.", MnuEepromKakiKomi);
    button("Prnt", "Print the positioning parameters.", MnuInSatu);
    button("Exit", "Exit this screen.", MnuTojiru);
}

void FrmPop::BuildStepPage(QWidget* page) {
    auto* grid = new QGridLayout(page);
    const char* heads[] = {"No",           "Mode", "Position/Dowel time", "Velocity", "Acceleration",
                           "Deceleration", "Block"};
    for (int c = 0; c < 7; ++c)
        grid->addWidget(new QLabel(heads[c], page), 0, c);
    auto combo = [&](int r, int c, int column) {
        auto* b = new QComboBox(page);
        for (const PopItemRec& it : PopItem[column]) {
            if (it.Name.empty()) break;
            b->addItem(QString::fromStdString(it.Name), it.Code);
        }
        b->installEventFilter(this);
        b->setProperty("row", r);
        b->setProperty("col", c);
        connect(b, &QComboBox::activated, this, [this, r, c] { DispStepGuide(GuideKind[c], r); });
        grid->addWidget(b, r + 1, c == 0 ? 1 : c + 1);
        return b;
    };
    for (int r = 0; r < Rows; ++r) {
        LblSNo[r] = new QLabel(page);
        grid->addWidget(LblSNo[r], r + 1, 0);
        CmbMod[r] = combo(r, 0, 3);
        TxtPos[r] = new QLineEdit(page);
        TxtPos[r]->setMinimumWidth(TxtPos[r]->fontMetrics().horizontalAdvance("-9223372036854775808") + 16);
        TxtPos[r]->installEventFilter(this);
        TxtPos[r]->setProperty("row", r);
        TxtPos[r]->setProperty("col", 1);
        grid->addWidget(TxtPos[r], r + 1, 2);
        CmbVel[r] = combo(r, 2, 0);
        CmbAcc[r] = combo(r, 3, 1);
        CmbDec[r] = combo(r, 4, 2);
        CmbBlk[r] = combo(r, 5, 4);
    }
    VScrStep = new QScrollBar(Qt::Vertical, page);
    VScrStep->setObjectName("VScrStep");
    VScrStep->setPageStep(8);
    grid->addWidget(VScrStep, 1, 7, Rows, 1);
    grid->addWidget(new QLabel("Comment", page), Rows + 1, 0);
    TxtStpCmt = new QLineEdit(page);
    TxtStpCmt->installEventFilter(this);
    TxtStpCmt->setProperty("col", 6);
    grid->addWidget(TxtStpCmt, Rows + 1, 1, 1, 5);
    CmdStpUpdVal = new QPushButton("Set", page);
    CmdStpUpdVal->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(CmdStpUpdVal, Rows + 1, 6);
    for (int i = 0; i < 4; ++i) {
        LblMsgStep[i] = new QLabel(page);
        LblMsgStep[i]->setWordWrap(true);
        grid->addWidget(LblMsgStep[i], Rows + 2 + i, 0, 1, 8);
    }
    auto* note = new QLabel(QString::fromStdString(AutoMsg[30]), page);
    note->setWordWrap(true);
    grid->addWidget(note, Rows + 6, 0, 1, 8);
    grid->setRowStretch(Rows + 7, 1);
    connect(VScrStep, &QScrollBar::valueChanged, this, &FrmPop::VScrStep_Change);
    connect(TxtStpCmt, &QLineEdit::textEdited, this, &FrmPop::TxtStpCmt_Change);
    connect(CmdStpUpdVal, &QPushButton::pressed, this, [this] { UpdStepRowAt(curRow_); });
}

void FrmPop::BuildPrmPage(QWidget* page, bool wide) {
    PrmPage& p = Prm[wide ? 1 : 0];
    auto* grid = new QGridLayout(page);
    for (int r = 0; r < Rows; ++r) {
        p.no[r] = new QLabel(page);
        p.name[r] = new QLabel(page);
        p.min[r] = new QLabel(page);
        p.kara[r] = new QLabel("~", page);
        p.max[r] = new QLabel(page);
        p.val[r] = new QLineEdit(page);
        p.val[r]->setProperty("row", r);
        p.val[r]->setProperty("wide", wide);
        p.val[r]->installEventFilter(this);
        p.min[r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        p.max[r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        p.name[r]->setMinimumWidth(p.name[r]->fontMetrics().horizontalAdvance(QString(24, 'W')));
        QLabel* labels[] = {p.no[r], p.name[r], p.min[r], p.kara[r], p.max[r]};
        for (int c = 0; c < 5; ++c) {
            labels[c]->setAutoFillBackground(true);
            labels[c]->setProperty("row", r);
            labels[c]->setProperty("wide", wide);
            labels[c]->installEventFilter(this);
            grid->addWidget(labels[c], r, c);
        }
        grid->addWidget(p.val[r], r, 5);
        p.updn[r] = new QWidget(page);
        p.updn[r]->setObjectName(wide ? "UpDn32" : "UpDn");
        auto* pair = new QVBoxLayout(p.updn[r]);
        pair->setContentsMargins(0, 0, 0, 0);
        pair->setSpacing(0);
        for (const int by : {1, -1}) {
            auto* b = new QToolButton(p.updn[r]);
            b->setArrowType(by > 0 ? Qt::UpArrow : Qt::DownArrow);
            b->setFocusPolicy(Qt::NoFocus); // the value box keeps the focus and the typed text
            b->setAutoRepeat(true);
            b->setFixedSize(16, 11);
            connect(b, &QToolButton::clicked, this, [this, wide, r, by] { StepPrmBox(wide, r, by); });
            pair->addWidget(b);
        }
        grid->addWidget(p.updn[r], r, 6);
    }
    p.scr = new QScrollBar(Qt::Vertical, page);
    p.scr->setObjectName(wide ? "VScrPrm32" : "VScrPrm");
    p.scr->setPageStep(8);
    grid->addWidget(p.scr, 0, 7, Rows, 1);
    p.set = new QPushButton("Set", page);
    p.set->setFocusPolicy(Qt::NoFocus); // acts before the value box loses its text
    p.set->setEnabled(false);
    grid->addWidget(p.set, Rows, 5);
    for (int i = 0; i < 4; ++i) {
        p.msg[i] = new QLabel(page);
        p.msg[i]->setWordWrap(true);
        grid->addWidget(p.msg[i], Rows + 1 + i, 0, 1, 8);
    }
    auto* note = new QLabel(QString::fromStdString(AutoMsg[30]), page);
    note->setWordWrap(true);
    grid->addWidget(note, Rows + 5, 0, 1, 8);
    grid->setRowStretch(Rows + 6, 1);
    connect(p.scr, &QScrollBar::valueChanged, this, [this, wide] { VScrPrm_Change(wide); });
    connect(p.set, &QPushButton::pressed, this, [this, wide] { ApplyPrmRow(wide, prmRow_[wide ? 1 : 0]); });
}

void FrmPop::Form_Load() {
    keptStep_.Clear();
    kept16_.Clear();
    kept32_.Clear();
    // The caption is known now; left to the display timer, the window would open without one.
    UpdCaption(PopSrcName);
    UpdMenuEnable(ComPortNo != 0, PopSrc);
    VScrStep->setMaximum(std::max(PopStepInUse() - 8, 0));
    VScrStep_Change();
    Prm[0].scr->setMaximum(std::max(Pop16InUse() - 8, 0));
    VScrPrm_Change(false);
    Prm[1].scr->setMaximum(std::max(Pop32InUse() - 8, 0));
    VScrPrm_Change(true);
    DispDataSource();
    FraPage->setCurrentIndex(0);
    curCol_ = 0;
    MoveCurRow(0, true, 0);
    // The focus event of a window not yet shown comes late or not at all: the guide of the cell that is
    // to have the focus is shown from here.
    DispStepGuide(GuideKind[0], 0);
    CmbMod[0]->setFocus();
    resize(sizeHint());
}

void FrmPop::UpdCaption(const std::string& name) {
    setWindowTitle(QString::fromStdString("Positioning parameter(" + name + ")"));
}

void FrmPop::DispDataSource() {
    TimDispDataSource->start();
}

void FrmPop::UpdAxis() {
    MnuPrmZyuShin_Click();
}

void FrmPop::SetCmbAsItmDat(QComboBox* combo, int32_t code) {
    combo->setCurrentIndex(combo->findData(code));
}

void FrmPop::UpdMenuEnable(bool portSelected, int32_t source) {
    const PopMenuState m = PopMenuFor(portSelected, source);
    MnuPrmSouShin->setEnabled(m.send);
    MnuEepromKakiKomi->setEnabled(m.eep);
    MnuPrmZyuShin->setEnabled(m.recv);
    MnuPrmYomiDashi->setEnabled(m.read);
    MnuPrmKiTeiChi->setEnabled(m.presets);
}

// ---- step page ----------------------------------------------------------------------------------------

QWidget* FrmPop::Cell(int r, int column) const {
    switch (column) {
    case 0:
        return CmbMod[r];
    case 1:
        return TxtPos[r];
    case 2:
        return CmbVel[r];
    case 3:
        return CmbAcc[r];
    case 4:
        return CmbDec[r];
    case 5:
        return CmbBlk[r];
    default:
        return TxtStpCmt;
    }
}

void FrmPop::DispStepRow(int r) {
    const int n = VScrStep->value() + r;
    const bool used = n < PopStepInUse();
    LblSNo[r]->setText(QString::fromStdString(Hex(n)));
    for (int c = 0; c < 6; ++c)
        Cell(r, c)->setEnabled(used); // steps the model does not have are not edited
    const PopStepRec& s = PopStep[std::min(n, PopStepTblCnt - 1)];
    SetCmbAsItmDat(CmbMod[r], s.Mod);
    TxtPos[r]->setText(QString::fromStdString(PopPosText(s)));
    SetCmbAsItmDat(CmbVel[r], s.Vel);
    SetCmbAsItmDat(CmbAcc[r], s.Acc);
    SetCmbAsItmDat(CmbDec[r], s.Dec);
    SetCmbAsItmDat(CmbBlk[r], s.Blk);
}

void FrmPop::DispStepPage() {
    for (int r = 0; r < Rows; ++r)
        DispStepRow(r);
    TxtStpCmt->setText(QString::fromStdString(PopStep[VScrStep->value() + curRow_].Comment));
    DispCurRow();
}

void FrmPop::DispCurRow() {
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < 6; ++c)
            Paint(Cell(r, c), r == curRow_);
    Paint(TxtStpCmt, true);
}

void FrmPop::VScrStep_Change() {
    const int first = VScrStep->value();
    RecvStepPages(keptStep_, first);
    DispStepPage();
    FocusCurCell();
}

void FrmPop::FocusCurCell() {
    if (isVisible() && FraPage->currentIndex() == 0) Cell(curRow_, curCol_)->setFocus();
}

void FrmPop::MoveCurRow(int r, bool takeOver, int column) {
    if (r != curRow_) DispStepRow(curRow_); // edits not applied are dropped
    if (takeOver) {
        TxtStpCmt->setText(QString::fromStdString(PopStep[VScrStep->value() + r].Comment));
        curCol_ = column;
        curRow_ = r;
    }
    DispCurRow();
}

void FrmPop::DispStepGuide(int kind, int r) {
    for (int i = 0; i < 3; ++i)
        LblMsgStep[i]->setText(QString::fromStdString(LblTxt[2][4 * kind + i]));
    std::string last;
    if (kind <= 4) {
        static const int column[] = {0, 1, 2, 3, 4};
        QComboBox* combos[] = {CmbVel[r], CmbAcc[r], CmbDec[r], CmbMod[r], CmbBlk[r]};
        QComboBox* b = combos[kind];
        if (b->currentIndex() >= 0) {
            const int32_t code = b->currentData().toInt();
            for (const PopItemRec& it : PopItem[column[kind]])
                if (it.Code == code) {
                    last = it.Text;
                    break;
                }
        }
    } else {
        last = LblTxt[2][4 * kind + 3];
    }
    LblMsgStep[3]->setText(QString::fromStdString(last));
}

void FrmPop::UpdStepRowAt(int r) {
    const int n = VScrStep->value() + r;
    if (n >= PopStepInUse()) return;
    auto code = [](QComboBox* b) -> std::optional<int16_t> {
        if (b->currentIndex() < 0) return std::nullopt;
        return static_cast<int16_t>(b->currentData().toInt());
    };
    PopStepRow row;
    row.pos = TxtPos[r]->text().toStdString();
    row.mod = code(CmbMod[r]);
    row.vel = code(CmbVel[r]);
    row.acc = code(CmbAcc[r]);
    row.dec = code(CmbDec[r]);
    row.blk = code(CmbBlk[r]);
    row.comment = TxtStpCmt->text().toStdString();
    UpdStepRow(n, GetStepRow(row, PopStep[n]), SetWaitMsg);
    editMode_ = false;
    VScrStep_Change();
}

void FrmPop::ScrollStepTo(int value, int row) {
    curRow_ = row;
    if (VScrStep->value() == value)
        VScrStep_Change();
    else
        VScrStep->setValue(value);
}

void FrmPop::TxtStpCmt_Change() {
    // The file keeps the comment as a quoted item: quotes and commas would end it early.
    QString t = TxtStpCmt->text();
    t.remove('"');
    t.remove(',');
    while (!t.isEmpty() && !CommentFits(t))
        t.chop(1);
    if (t != TxtStpCmt->text()) {
        TxtStpCmt->setText(t);
        TxtStpCmt->setCursorPosition(t.size());
    }
}

bool FrmPop::StepKey(int r, int column, QKeyEvent* key) {
    const bool list = column != 1 && column != 6;
    auto* edit = qobject_cast<QLineEdit*>(Cell(r, column));
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        UpdStepRowAt(r);
        if (edit) edit->selectAll();
        return true;
    case Qt::Key_Escape:
        editMode_ = false;
        DispStepRow(r);
        if (column == 6) TxtStpCmt->setText(QString::fromStdString(PopStep[VScrStep->value() + r].Comment));
        return true;
    case Qt::Key_Insert:
        if (list) return true;
        if (editMode_) {
            editMode_ = false;
            DispStepRow(r);
            if (column == 6)
                TxtStpCmt->setText(QString::fromStdString(PopStep[VScrStep->value() + r].Comment));
        } else {
            editMode_ = true;
            edit->deselect();
            edit->setCursorPosition(edit->text().size());
        }
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (!list && editMode_) return false;
        const bool left = key->key() == Qt::Key_Left;
        int next = left ? (column + 6) % 7 : (column + 1) % 7;
        if (column == 1) next = left ? 0 : 2;
        if (column == 6) next = left ? 5 : 0;
        curCol_ = next;
        Cell(r, next)->setFocus();
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        editMode_ = false;
        const bool up = key->key() == Qt::Key_Up;
        if (up && r == 0)
            ScrollStepTo(PopRowKeyTarget(VScrStep->value(), -8, 0, VScrStep->maximum()), 7);
        else if (!up && r == Rows - 1)
            ScrollStepTo(PopRowKeyTarget(VScrStep->value(), 8, 0, VScrStep->maximum()), 0);
        else if (Cell(up ? r - 1 : r + 1, column == 6 ? 0 : column)->isEnabled())
            Cell(up ? r - 1 : r + 1, column == 6 ? 0 : column)->setFocus();
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        ScrollStepTo(PopPageKeyTarget(VScrStep->value(), key->key() == Qt::Key_PageUp ? -8 : 8, 0,
                                      VScrStep->maximum()),
                     r);
        return true;
    default:
        return false;
    }
}

// ---- parameter pages ----------------------------------------------------------------------------------

void FrmPop::DispPrmPage(bool wide) {
    PrmPage& p = Prm[wide ? 1 : 0];
    const PopPrmRec* tbl = wide ? Pop32Prm : Pop16Prm;
    const int count = wide ? Pop32InUse() : Pop16InUse();
    for (int r = 0; r < Rows; ++r) {
        const int n = p.scr->value() + r;
        const bool used = n < count;
        // Parameters the model does not have are neither shown nor written, on both pages.
        QWidget* cells[] = {p.no[r], p.name[r], p.min[r], p.kara[r], p.max[r], p.val[r], p.updn[r]};
        for (QWidget* c : cells)
            c->setVisible(used);
        if (!used) {
            p.val[r]->clear();
            continue;
        }
        p.no[r]->setText(QString::fromStdString(Hex(n)));
        p.name[r]->setText(QString::fromStdString(tbl[n].Name));
        p.min[r]->setText(QString::number(tbl[n].Min));
        p.max[r]->setText(QString::number(tbl[n].Max));
        p.val[r]->setText(QString::number(tbl[n].Value));
    }
}

void FrmPop::VScrPrm_Change(bool wide) {
    PrmPage& p = Prm[wide ? 1 : 0];
    if (wide)
        RecvPrm32Pages(kept32_, p.scr->value());
    else
        RecvPrm16Pages(kept16_, p.scr->value());
    DispPrmPage(wide);
    if (isVisible() && FraPage->currentIndex() == (wide ? 2 : 1) && p.val[0]->isVisible())
        p.val[0]->setFocus();
}

void FrmPop::PrmFocus(bool wide, int r, bool in) {
    PrmPage& p = Prm[wide ? 1 : 0];
    const PopPrmRec* tbl = wide ? Pop32Prm : Pop16Prm;
    const int n = p.scr->value() + r;
    if (in) prmRow_[wide ? 1 : 0] = r;
    p.set->setEnabled(in);
    for (QLabel* l : {p.no[r], p.name[r], p.min[r], p.kara[r], p.max[r]}) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, QApplication::palette().color(in ? QPalette::Button : QPalette::Base));
        l->setPalette(pal);
    }
    if (in) {
        p.val[r]->selectAll();
        for (int i = 0; i < 4; ++i)
            p.msg[i]->setText(QString::fromStdString(tbl[n].Guide[i]));
    } else {
        if (n < PopPrmCnt) p.val[r]->setText(QString::number(tbl[n].Value));
        for (QLabel* m : p.msg)
            m->clear();
    }
}

void FrmPop::ApplyPrmRow(bool wide, int r) {
    PrmPage& p = Prm[wide ? 1 : 0];
    const int n = p.scr->value() + r;
    if (n >= (wide ? Pop32InUse() : Pop16InUse())) return;
    if (auto v = IntOf(p.val[r]->text()); v && UpdPrmRow(wide, n, *v)) TimShowValidAfterBoot->start();
    p.val[r]->setText(QString::number((wide ? Pop32Prm : Pop16Prm)[n].Value));
    p.val[r]->selectAll();
}

bool FrmPop::PrmKey(bool wide, int r, QKeyEvent* key) {
    PrmPage& p = Prm[wide ? 1 : 0];
    const PopPrmRec* tbl = wide ? Pop32Prm : Pop16Prm;
    const int n = p.scr->value() + r;
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    auto focusRow = [&](int row) {
        if (p.val[row]->isVisible()) p.val[row]->setFocus();
    };
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ApplyPrmRow(wide, r);
        return true;
    case Qt::Key_Escape:
        p.val[r]->setText(QString::number(tbl[n].Value));
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool up = key->key() == Qt::Key_Up;
        if (shift) {
            StepPrmBox(wide, r, up ? 1 : -1);
            return true;
        }
        if (up && r == 0) {
            p.scr->setValue(PopPageKeyTarget(p.scr->value(), -8, 0, p.scr->maximum()));
            focusRow(7);
        } else if (!up && r == Rows - 1) {
            p.scr->setValue(PopPageKeyTarget(p.scr->value(), 8, 0, p.scr->maximum()));
            focusRow(0);
        } else {
            focusRow(up ? r - 1 : r + 1);
        }
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        p.scr->setValue(
            PopPageKeyTarget(p.scr->value(), key->key() == Qt::Key_PageUp ? -8 : 8, 0, p.scr->maximum()));
        focusRow(0);
        return true;
    default:
        return false;
    }
}

// The value in the box one up or down within the parameter's limits: shown, not applied.
void FrmPop::StepPrmBox(bool wide, int r, int by) {
    PrmPage& p = Prm[wide ? 1 : 0];
    const int n = p.scr->value() + r;
    if (n >= (wide ? Pop32InUse() : Pop16InUse())) return;
    if (!p.val[r]->hasFocus()) p.val[r]->setFocus();
    const PopPrmRec& e = (wide ? Pop32Prm : Pop16Prm)[n];
    const int64_t v = IntOf(p.val[r]->text()).value_or(e.Value) + by;
    p.val[r]->setText(QString::number(std::clamp<int64_t>(v, e.Min, e.Max)));
}

// ---- events -------------------------------------------------------------------------------------------

bool FrmPop::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !w->property("col").isValid()) {
        if (w && w->property("wide").isValid()) {
            const bool wide = w->property("wide").toBool();
            const int r = w->property("row").toInt();
            if (qobject_cast<QLineEdit*>(w)) {
                if (event->type() == QEvent::FocusIn) PrmFocus(wide, r, true);
                if (event->type() == QEvent::FocusOut) PrmFocus(wide, r, false);
                if (event->type() == QEvent::KeyPress) return PrmKey(wide, r, static_cast<QKeyEvent*>(event));
            } else if (event->type() == QEvent::MouseButtonPress) {
                // A click on a label of a row takes its value box.
                Prm[wide ? 1 : 0].val[r]->setFocus();
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    const int column = w->property("col").toInt();
    const int r = column == 6 ? curRow_ : w->property("row").toInt();
    switch (event->type()) {
    case QEvent::FocusIn:
        if (column != 6) MoveCurRow(r, true, column);
        curCol_ = column;
        DispStepGuide(GuideKind[column], r);
        if (auto* e = qobject_cast<QLineEdit*>(w)) QTimer::singleShot(0, e, &QLineEdit::selectAll);
        break;
    case QEvent::FocusOut:
        MoveCurRow(r, false, column);
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier) break;
        return StepKey(r, column, static_cast<QKeyEvent*>(event));
    case QEvent::Wheel:
        // A list's selection changes only by choosing from it.
        return qobject_cast<QComboBox*>(w) != nullptr;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmPop::TabStrip1_Click(int index) {
    FraPage->setCurrentIndex(index);
    MnuInput->setEnabled(index == 1);
    if (index == 0) {
        MoveCurRow(0, true, 0);
        DispStepGuide(GuideKind[0], 0);
        CmbMod[0]->setFocus();
    } else {
        const bool wide = index == 2;
        prmRow_[wide ? 1 : 0] = 0;
        // Whether row 0 holds a parameter is the table's count, not whether its box is shown yet.
        if ((wide ? Pop32InUse() : Pop16InUse()) > 0) {
            PrmFocus(wide, 0, true);
            Prm[wide ? 1 : 0].val[0]->setFocus();
        }
    }
}

// Shows the tables as they stand: what changed the source has already read them.
void FrmPop::TimDispDataSource_Timer() {
    UpdCaption(PopSrcName);
    UpdMenuEnable(ComPortNo != 0, PopSrc);
    TimMsgParaNotSend->start();
    DispStepPage();
    DispPrmPage(false);
    DispPrmPage(true);
}

void FrmPop::TimMsgParaNotSend_Timer() {
    if (ComHandle != 0 && PopSent == 0)
        plat::MsgBox(
            "Changed positioning parameter isn't transmitted to the amplifier at every change. Click the "
            "transmit button when necessary.",
            plat::Buttons::Ok, plat::Icon::None, "Parameter transmission");
}

void FrmPop::TimReShow_Timer() {
    QLineEdit* box = Prm[0].val[prmRow_[0]];
    box->setText(QString::number(reShowValue_));
    box->setFocus();
}

// ---- menus --------------------------------------------------------------------------------------------

void FrmPop::MnuPrmHoZon_Click() {
    PopSaveFile();
}

void FrmPop::MnuPrmYomiDashi_Click() {
    if (!PopReadFile()) return;
    DispPrmPage(false);
    DispPrmPage(true);
    DispStepPage();
}

void FrmPop::MnuPrmKiTeiChi_Click() {
    PopPresets();
    DispStepPage();
    DispPrmPage(false);
    DispPrmPage(true);
}

void FrmPop::MnuHenSyuComment_Click() {
    FrmRem::Exec(Variant(int16_t{3}), "Comment on positioning parameter",
                 "Comment is saved with positioning parameter.");
}

void FrmPop::MnuPrmZyuShin_Click() {
    Hourglass(true);
    PopRecvAll();
    Hourglass(false);
    DispStepPage();
    DispPrmPage(false);
    DispPrmPage(true);
}

void FrmPop::MnuPrmSouShin_Click() {
    Hourglass(true);
    PopSendAll();
    Hourglass(false);
}

void FrmPop::MnuEepromKakiKomi_Click() {
    if (PopSent != -1) {
        plat::MsgBox(
            "Editted  positioning parameter isn't transmitted to the amplifier. Transmit bofore writing "
            "to EEPROM.",
            plat::Buttons::Ok, plat::Icon::None, "Writing to EEPROM");
        return;
    }
    if (ChkComm(-1, "Writing to EEPROM") == 0) return;
    FrmPopEEP::Exec(PopEepOpt::Explicit);
}

void FrmPop::MnuInSatu_Click() {
    int first = 0, last = VScrStep->value() + 7;
    PrdPrint({.title = "Print of the parameter",
              .ask =
                  [&first, &last] {
                      std::string options;
                      FrmPopPrn::Exec(first, last, options);
                      return options;
                  },
              .print =
                  [&first, &last](const std::string& options) {
                      PrintPop(options, first, last);
                      return true;
                  },
              .completed = "Print completed,",
              .errorReason = true});
}

void FrmPop::MnuTojiru_Click() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void FrmPop::bit_value_Click() {
    if (FraPage->currentIndex() != 1) return;
    reShowValue_ = FrmHexBit::ExecPop(static_cast<int16_t>(prmRow_[0] + Prm[0].scr->value()));
    TimReShow->start();
}

void FrmPop::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        for (QTimer* t : findChildren<QTimer*>())
            t->stop();
        // Data just sent are offered for EEPROM before the window goes.
        if (PopSent == -1) FrmPopEEP::Exec(PopEepOpt::Implicit);
        plat::UnregisterForm(this);
        PopDataSourceChanged = nullptr;
    }
    event->accept();
}
