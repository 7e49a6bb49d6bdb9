#include "params/FrmPara.h"

#include "app/ChildMenus.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStaticText>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>
#include <vector>

#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/PrdPrint.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "data/DefFil.h"
#include "data/PmtFil.h"
#include "data/PrmGlb.h"
#include "data/PrmPrint.h"
#include "data/PrmTbl.h"
#include "params/FrmEEP.h"
#include "params/FrmHexBit.h"
#include "params/FrmIchiran.h"
#include "params/FrmParaPrn.h"
#include "params/ParaTransfer.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "platform/Paths.h"

namespace {

FrmPara* g_instance = nullptr;

const char* const UserPrs = "ini\\user.prs";

void Tell(const std::string& text, const std::string& title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation, title);
}

QTimer* OneShot(QObject* parent, int ms, const char* name) {
    auto* t = new QTimer(parent);
    t->setObjectName(name);
    t->setSingleShot(true);
    t->setInterval(ms);
    return t;
}

const char* TabKey(ParaTab t) {
    switch (t) {
    case ParaTab::EditAll:
        return "EditAll";
    case ParaTab::Select:
        return "Select";
    case ParaTab::Edit32:
        return "Edit32";
    case ParaTab::Select32:
        return "Select32";
    }
    return "";
}

// A one-line label of the grid. A page flip repaints some fifty of them, and a plain label lays out and
// shapes its text again on every paint; this one keeps the laid-out text until the text or font changes.
class GridLabel : public QLabel {
  public:
    explicit GridLabel(QWidget* parent) : QLabel(parent) {}
    GridLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        drawFrame(&painter);
        const QString t = text();
        if (t.isEmpty()) return;
        if (t != shown_ || font() != font_) {
            shown_ = t;
            font_ = font();
            static_.setText(t);
            static_.setTextFormat(Qt::PlainText);
            static_.prepare(QTransform(), font_);
        }
        QRect cr = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        const QSizeF sz = static_.size();
        const Qt::Alignment a = QStyle::visualAlignment(layoutDirection(), alignment());
        // A framed label keeps its text off the frame as a plain label does.
        int ind = indent();
        if (ind < 0 && frameWidth() > 0) ind = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
        if (ind > 0) {
            if (a & Qt::AlignLeft) cr.setLeft(cr.left() + ind);
            if (a & Qt::AlignRight) cr.setRight(cr.right() - ind);
            if (a & Qt::AlignTop) cr.setTop(cr.top() + ind);
            if (a & Qt::AlignBottom) cr.setBottom(cr.bottom() - ind);
        }
        qreal x = cr.left();
        if (a & Qt::AlignRight)
            x = cr.right() + 1 - sz.width();
        else if (a & Qt::AlignHCenter)
            x = cr.left() + (cr.width() - sz.width()) / 2;
        qreal y = cr.top();
        if (a & Qt::AlignBottom)
            y = cr.bottom() + 1 - sz.height();
        else if (!(a & Qt::AlignTop))
            y = cr.top() + (cr.height() - sz.height()) / 2;
        painter.setFont(font_);
        const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
        painter.setPen(palette().color(group, foregroundRole()));
        painter.drawStaticText(QPointF(x, y), static_);
    }

  private:
    QString shown_;
    QFont font_;
    QStaticText static_;
};

// A button of the grid drawn from a picture of its last look. Most of them look the same on every page, and
// drawing them through the style again on each flip costs more than the rest of the flip together.
template <class Base>
class CachedButton : public Base {
  public:
    using Base::Base;

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (rendering_) {
            Base::paintEvent(event);
            return;
        }
        const Look look = Current();
        if (!(look == look_) || picture_.isNull()) {
            // A widget cannot be rendered from inside its own paint: paint it as usual, and once it has
            // looked the same for two paints (a button whose text changes on every page never does), take
            // its picture when the event loop is back.
            Base::paintEvent(event);
            if (look == lastPainted_ && !refreshing_) {
                refreshing_ = true;
                QTimer::singleShot(0, this, [this] { Refresh(); });
            }
            lastPainted_ = look;
            return;
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture_);
    }

  private:
    struct Look {
        QSize size;
        QString text;
        qint64 palette = 0;
        qreal dpr = 0;
        bool enabled = false, focus = false, hover = false, down = false, checked = false, active = false;
        bool keyboardFocus = false; // the focus frame shows only after keyboard navigation
        bool operator==(const Look&) const = default;
    };

    Look Current() const {
        return Look{this->size(),
                    this->text(),
                    this->palette().cacheKey(),
                    this->devicePixelRatioF(),
                    this->isEnabled(),
                    this->hasFocus(),
                    this->underMouse(),
                    this->isDown(),
                    this->isChecked(),
                    this->isActiveWindow(),
                    this->window()->testAttribute(Qt::WA_KeyboardFocusChange)};
    }

    // Takes the picture of the button as it looks now, outside any paint.
    void Refresh() {
        refreshing_ = false;
        const Look look = Current();
        picture_ = QPixmap(look.size * look.dpr);
        picture_.setDevicePixelRatio(look.dpr);
        picture_.fill(Qt::transparent);
        rendering_ = true;
        this->render(&picture_, QPoint(), QRegion(), QWidget::RenderFlags());
        rendering_ = false;
        look_ = look;
    }

    Look look_;        // the look the picture shows
    Look lastPainted_; // the look of the last paint without the picture
    QPixmap picture_;
    bool rendering_ = false;
    bool refreshing_ = false; // a picture is due once the event loop is back
};

// The window colour, or button face for the row that has the focus.
void Paint(QWidget* w, bool focused) {
    const QColor colour = QApplication::palette().color(focused ? QPalette::Button : QPalette::Base);
    if (w->autoFillBackground() && w->palette().color(QPalette::Window) == colour)
        return; // a page flip paints every row: keep it cheap
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setAutoFillBackground(true);
    w->setPalette(p);
}

} // namespace

FrmPara* FrmPara::Instance() {
    return g_instance;
}

FrmPara::FrmPara(QWidget* parent) : QWidget(parent) {
    setObjectName("FrmPara");
    setAttribute(Qt::WA_DeleteOnClose, false);
    g16_.is32 = false;
    g32_.is32 = true;
    auto* layout = new QVBoxLayout(this);
    MenuBar = new QMenuBar(this);
    layout->setMenuBar(MenuBar);
    Toolbar1 = new QToolBar(this);
    layout->addWidget(Toolbar1);
    TabStrip1 = new QTabBar(this);
    for (ParaTab t : {ParaTab::EditAll, ParaTab::Select, ParaTab::Edit32, ParaTab::Select32}) {
        const int i = TabStrip1->addTab(QString::fromLatin1(TabKey(t)));
        TabStrip1->setTabData(i, static_cast<int>(t));
    }
    TabStrip1->installEventFilter(this);
    layout->addWidget(TabStrip1);
    stack_ = new QStackedWidget(this);
    BuildGrid(g16_);
    BuildGrid(g32_);
    stack_->addWidget(g16_.pane);
    stack_->addWidget(g32_.pane);
    layout->addWidget(stack_, 1);

    TimTabChange = OneShot(this, 10, "TimTabChange");
    TimDispDataSource = OneShot(this, 10, "TimDispDataSource");
    TimMsgParaNotSend = OneShot(this, 100, "TimMsgParaNotSend");
    TimReShow = OneShot(this, 10, "TimReShow");
    TimShowValidAfterBoot = OneShot(this, 10, "TimShowValidAfterBoot");
    connect(TimTabChange, &QTimer::timeout, this, [this] { TimTabChange_Timer(); });
    connect(TimDispDataSource, &QTimer::timeout, this, [this] { TimDispDataSource_Timer(); });
    connect(TimMsgParaNotSend, &QTimer::timeout, this, [this] { TimMsgParaNotSend_Timer(); });
    connect(TimReShow, &QTimer::timeout, this, [this] { TimReShow_Timer(); });
    connect(TimShowValidAfterBoot, &QTimer::timeout, this, [this] { TimShowValidAfterBoot_Timer(); });
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int i) {
        if (i >= 0) tab_ = static_cast<ParaTab>(TabStrip1->tabData(i).toInt());
        tabRead_ = PageRead::Always;
        TimTabChange->start();
    });
    BuildMenus();
    plat::RegisterForm("FrmPara", this);
    g_instance = this;
    Form_Load();
}

FrmPara::~FrmPara() {
    if (g_instance == this) g_instance = nullptr;
    if (!unloaded_) PrmSrcNotice() = nullptr;
    plat::UnregisterForm(this);
}

void FrmPara::BuildGrid(ParaGrid& g) {
    g.pane = new QWidget(this);
    auto* v = new QVBoxLayout(g.pane);
    auto* top = new QHBoxLayout;
    top->addWidget(new GridLabel(QStringLiteral("Page"), g.pane));
    g.LblPage = new GridLabel(QStringLiteral("00"), g.pane);
    g.LblPage->setFrameShape(QFrame::Panel);
    g.LblPage->setFrameShadow(QFrame::Sunken);
    top->addWidget(g.LblPage);
    top->addWidget(new GridLabel(QStringLiteral("Head number"), g.pane));
    top->addStretch(1);
    v->addLayout(top);
    // The grid is window-coloured, so that the row with the focus stands out in button face.
    g.Frame1 = new QWidget(g.pane);
    Paint(g.Frame1, false);
    auto* grid = new QGridLayout(g.Frame1);
    grid->setHorizontalSpacing(6);
    g.HeadExtrac = new GridLabel(QStringLiteral("Extrac"), g.pane);
    grid->addWidget(g.HeadExtrac, 0, 0);
    grid->addWidget(new GridLabel(QStringLiteral("No."), g.pane), 0, 1);
    grid->addWidget(new GridLabel(QStringLiteral("Parameter title"), g.pane), 0, 2);
    grid->addWidget(new GridLabel(QStringLiteral("Setting range"), g.pane), 0, 3, 1, 3);
    grid->addWidget(new GridLabel(QStringLiteral("Setting value"), g.pane), 0, 6, 1, 3);
    const QString tip16 = QStringLiteral(
        "Only the checked 16bit parameters can be displayed here.Set the extraction with space key.");
    const QString tip32 = QStringLiteral(
        "Only the checked 32bit parameters can be displayed here.Set the extraction with space key.");
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 16;
    for (int r = 0; r < ParaRows; ++r) {
        const auto i = static_cast<size_t>(r);
        // Laid out first, so that the row's own controls lie over it.
        g.Label5[i] = new GridLabel(g.Frame1);
        grid->addWidget(g.Label5[i], r + 1, 0, 1, 9);
        g.ChkGain[i] = new CachedButton<QCheckBox>(g.pane);
        g.ChkGain[i]->setToolTip(g.is32 ? tip32 : tip16);
        g.No1[i] = new GridLabel(g.pane);
        g.name1[i] = new GridLabel(g.pane);
        g.name1[i]->setMinimumWidth(fontMetrics().horizontalAdvance(QString(24, QChar('W'))) / 2);
        g.min1[i] = new GridLabel(g.pane);
        g.min1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g.max1[i] = new GridLabel(g.pane);
        g.max1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g.PA[i] = new QLineEdit(g.pane);
        g.PA[i]->setAlignment(Qt::AlignRight);
        g.PA[i]->setMinimumWidth(valueWidth);
        g.PA[i]->setToolTip(QStringLiteral("Modify the parameters. Changes after entering can be confirmed "
                                           "by clicking the Enter key or <change of "
                                           "the setting value> button."));
        g.PA[i]->installEventFilter(this);
        g.Up[i] = new CachedButton<QToolButton>(g.pane);
        g.Up[i]->setArrowType(Qt::UpArrow);
        g.Dn[i] = new CachedButton<QToolButton>(g.pane);
        g.Dn[i]->setArrowType(Qt::DownArrow);
        const QString spinTip =
            QStringLiteral("Increase or decrease the parameter value.Changes can be confirmed by "
                           "clicking the Enter key or <Change of the setting value>button.");
        g.Up[i]->setToolTip(spinTip);
        g.Dn[i]->setToolTip(spinTip);
        g.CmdUpdVal[i] = new CachedButton<QPushButton>(QStringLiteral("Change of the setting value"), g.pane);
        g.CmdUpdVal[i]->setEnabled(false);
        g.CmdUpdVal[i]->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(g.ChkGain[i], r + 1, 0, Qt::AlignCenter);
        grid->addWidget(g.No1[i], r + 1, 1);
        grid->addWidget(g.name1[i], r + 1, 2);
        grid->addWidget(g.min1[i], r + 1, 3);
        grid->addWidget(new GridLabel(QStringLiteral("~"), g.pane), r + 1, 4);
        grid->addWidget(g.max1[i], r + 1, 5);
        grid->addWidget(g.PA[i], r + 1, 6);
        auto* spin = new QVBoxLayout;
        spin->setSpacing(0);
        spin->addWidget(g.Up[i]);
        spin->addWidget(g.Dn[i]);
        g.Up[i]->setFixedHeight(g.PA[i]->sizeHint().height() / 2);
        g.Dn[i]->setFixedHeight(g.PA[i]->sizeHint().height() / 2);
        grid->addLayout(spin, r + 1, 7);
        grid->addWidget(g.CmdUpdVal[i], r + 1, 8);
        for (QLabel* l : {g.No1[i], g.name1[i], g.min1[i], g.max1[i], g.Label5[i]})
            l->installEventFilter(this); // a click on the row's labels focuses the row
        const bool w = g.is32;
        connect(g.ChkGain[i], &QCheckBox::clicked, this, [this, w, r] { ChkGain_MouseUp(w, r); });
        connect(g.CmdUpdVal[i], &QPushButton::clicked, this, [this, w, r] {
            CommitRow(w, r);
            FocusRow(w, r);
        });
        // The spin buttons step the text within the row's limits; nothing is written before the commit.
        for (int step : {1, -1}) {
            QToolButton* b = step > 0 ? g.Up[i] : g.Dn[i];
            connect(b, &QToolButton::clicked, this, [this, w, r, step] {
                ParaGrid& gg = Grid(w);
                const int n = GetPrmIdx(TabFor(w), gg.page * ParaRows + r);
                if (n == NoPrm || !gg.PA[static_cast<size_t>(r)]->isEnabled()) return;
                double v = 0;
                if (!ParseNumber(gg.PA[static_cast<size_t>(r)]->text().toStdString(), v))
                    v = w ? Prm32Val[n] : PrmVal[n];
                const double lo = w ? Prm32Attr[n].Min : PrmAttr[n].Min;
                const double hi = w ? Prm32Attr[n].Max : PrmAttr[n].Max;
                v = std::clamp(v + step, lo, hi);
                gg.PA[static_cast<size_t>(r)]->setText(QString::number(static_cast<qlonglong>(v)));
                gg.PA[static_cast<size_t>(r)]->setFocus();
            });
        }
    }
    g.VScrPage = new QScrollBar(Qt::Vertical, g.pane);
    g.VScrPage->setPageStep(1);
    grid->addWidget(g.VScrPage, 1, 9, ParaRows, 1);
    grid->setColumnStretch(2, 1);
    v->addWidget(g.Frame1);
    const bool w = g.is32;
    connect(g.VScrPage, &QScrollBar::sliderMoved, this, [this, w](int p) {
        Grid(w).LblPage->setText(QString::fromStdString(PageLabel(p)));
        DispPage(w, p);
    });
    connect(g.VScrPage, &QScrollBar::valueChanged, this, [this, w](int p) {
        if (!scrollLock_ && !Grid(w).VScrPage->isSliderDown()) ShowPage(w, p);
    });
    connect(g.VScrPage, &QScrollBar::sliderReleased, this,
            [this, w] { ShowPage(w, Grid(w).VScrPage->value()); });
    g.PicGuide = new QWidget(g.pane);
    g.PicGuide->setToolTip(QStringLiteral("Display the explanation of the parameter."));
    auto* guide = new QVBoxLayout(g.PicGuide);
    guide->setContentsMargins(0, 0, 0, 0);
    for (auto& m : g.msg) {
        m = new QLabel(g.PicGuide);
        m->setWordWrap(true);
        guide->addWidget(m);
    }
    // Hiding the guide must not move the hint below it.
    QSizePolicy keep = g.PicGuide->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    g.PicGuide->setSizePolicy(keep);
    g.PicGuide->hide();
    v->addWidget(g.PicGuide);
    g.LblMsgWrite = new QLabel(g.pane);
    g.LblMsgWrite->setWordWrap(true);
    v->addWidget(g.LblMsgWrite);
    v->addStretch(1);
}

QAction* FrmPara::Item(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

void FrmPara::BuildMenus() {
    auto act = [this](QMenu* m, const char* name, const char* text, auto slot) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto forward = [](auto call) {
        return [call] {
            if (Mevalo* m = Mevalo::Instance()) call(m);
        };
    };
    QMenu* fil = MenuBar->addMenu(QStringLiteral("File &F"));
    fil->setObjectName("MnuFil");
    connect(fil, &QMenu::aboutToShow, this, [this] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuFilEnable(this);
    });
    QMenu* save = fil->addMenu(QStringLiteral("Save &W"));
    act(save, "MnuPrmHoZon", "Parameter &P", [this] { MnuPrmHoZon_Click(); });
    act(save, "MnuPrmSelHoZon", "Extraction status &S", [this] { MnuPrmSelHoZon_Click(); });
    QMenu* read = fil->addMenu(QStringLiteral("Reading &R"));
    act(read, "MnuPrmYomiDashi", "Parameter &P", [this] { MnuPrmYomiDashi_Click(); });
    act(read, "MnuPrmSelYomiDashi", "Extraction status &S", [this] { MnuPrmSelYomiDashi_Click(); });
    act(fil, "MnuPrmKiTeiChi", "Default &D", [this] { MnuPrmKiTeiChi_Click(); });
    QMenu* tr = fil->addMenu(QStringLiteral("Transfer &T"));
    act(tr, "MnuPrmZyuShin", "Parameter reception &P", [this] { MnuPrmZyuShin_Click(); });
    act(tr, "MnuUsrPrmSouShin", "User parameter transmission &T", [this] { MnuUsrPrmSouShin_Click(); });
    act(tr, "MnuSysPrmSouShin", "Transmission of the system parameter &S",
        [this] { MnuSysPrmSouShin_Click(); });
    act(tr, "MnuEepromKakiKomi", "Writing of the user parameter to EEPROM &W",
        [this] { MnuEepromKakiKomi_Click(); });
    act(tr, "MnuSysEepromKakiKomi", "Writing of system parameter to EEPROM &E",
        [this] { MnuSysEepromKakiKomi_Click(); });
    act(fil, "MnuInSatu", "Print &P", [this] { MnuInSatu_Click(); });
    QMenu* set = fil->addMenu(QStringLiteral("Setting &S"));
    const char* setting[] = {"Selection of the axis address(ID) &A", "Model selection &M",
                             "Communication with the amplifier &P", "Communication setting &C"};
    AddMainItems(set, "MnuSeTtei", setting, 4, &Mevalo::MnuSeTtei_Click);
    act(fil, "MnuTojiru", "Close &C", [this] {
        if (Mevalo* m = Mevalo::Instance())
            m->UnloadWindow(this);
        else
            close();
    });
    act(fil, "MnuSyuuRyou", "Exit of Mevalo &X", forward([](Mevalo* m) { m->MnuSyuuRyou_Click(); }));

    QMenu* edit = MenuBar->addMenu(QStringLiteral("Edit &E"));
    act(edit, "MnuHenSyuComment", "Comment &C", [this] { MnuHenSyuComment_Click(); });
    QMenu* list = edit->addMenu(QStringLiteral("List &L"));
    act(list, "menu", "16bit parameter list &S", [this] { menu_Click(false); });
    act(list, "menu32", "32bit parameter list &L", [this] { menu_Click(true); });

    QMenu* disp = MenuBar->addMenu(QStringLiteral("Display &D"));
    disp->setObjectName("MnuHyouji_Oya");
    AddDisplayItems(disp, this);
    QMenu* input = MenuBar->addMenu(QStringLiteral("Input setting &I"));
    input->menuAction()->setObjectName("MnuInput");
    act(input, "bit_value", "binary/hexadecimal &H", [this] { bit_value_Click(); });
    QMenu* win = MenuBar->addMenu(QStringLiteral("Window &W"));
    AddWindowItems(win);
    QMenu* help = MenuBar->addMenu(QStringLiteral("Help &H"));
    act(help, "MnuVerGrp", "Version information &V", forward([](Mevalo* m) { m->MnuVerGrp_Click(); }));

    // Toolbar keys: the focused row loses its focus handling before the action and gets it back after.
    struct Key {
        const char* key;
        const char* text;
        std::function<void()> run;
    };
    const std::vector<Key> keys{
        {"Write", "Write", [this] { MnuPrmHoZon_Click(); }},
        {"Read", "Read", [this] { MnuPrmYomiDashi_Click(); }},
        {"Recv", "Recv", [this] { MnuPrmZyuShin_Click(); }},
        {"Send", "Send", [this] { MnuUsrPrmSouShin_Click(); }},
        {"Sends", "Sends", [this] { MnuSysPrmSouShin_Click(); }},
        {"EEP", "EEP", [this] { MnuEepromKakiKomi_Click(); }},
        {"EEPs", "EEPs", [this] { MnuSysEepromKakiKomi_Click(); }},
        {"Print", "Print", [this] { MnuInSatu_Click(); }},
        {"Comment", "Comment", [this] { MnuHenSyuComment_Click(); }},
        {"Exit", "Exit", [this] { Item("MnuTojiru")->trigger(); }},
    };
    for (const Key& k : keys) {
        QAction* a = Toolbar1->addAction(QString::fromLatin1(k.text));
        a->setObjectName(QStringLiteral("Key_%1").arg(QString::fromLatin1(k.key)));
        const auto run = k.run;
        connect(a, &QAction::triggered, this, [this, run] {
            const bool w = Is32(tab_);
            RowFocus(w, Grid(w).row, false);
            run();
            if (g_instance == this) RowFocus(w, Grid(w).row, true);
        });
    }
}

// ---- load and unload ----------------------------------------------------------------------------------

void FrmPara::LoadSelection(const std::string& path) {
    RetVar = Variant(PMT_LoadSelection(path));
}

void FrmPara::Form_Load() {
    scrollLock_ = false;
    if (PrmSrc != 2) {
        const std::string path = AppPath(UserPrs);
        if (plat::FileExists(path)) LoadSelection(path);
    }
    // The caption is known now; left to the display timer, the window would open without one.
    UpdCaption(PrmSrcMei);
    UpdMenuState(UserLevel, ComPortNo != 0);
    g16_.LblMsgWrite->setText(QString::fromStdString(AutoMsg[30]));
    g32_.LblMsgWrite->setText(QString::fromStdString(AutoMsg[30]));
    PrmSrcNotice() = [this] { DispDataSource(); };
    // Page 0 of each grid is read by its first showing (no page is shown before it), and only there: the
    // panes of the first tab are built, once the window is up, over it without reading it again.
    g16_.page = -2;
    SetScrollRange(false, LastPage(ParaTab::EditAll), PageRead::IfNew);
    if (Prm32Cnt != 0) {
        Item("menu32")->setEnabled(true);
        Item("menu32")->setVisible(true);
        g32_.page = -2;
        SetScrollRange(true, LastPage(ParaTab::Edit32), PageRead::IfNew);
    } else {
        Item("menu32")->setEnabled(false);
        Item("menu32")->setVisible(false);
        TabStrip1->removeTab(3);
        TabStrip1->removeTab(2);
    }
    tabRead_ = PageRead::None;
    TimTabChange->start();
    DispDataSource();
}

void FrmPara::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmPara::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    for (QTimer* t : {TimTabChange, TimDispDataSource, TimMsgParaNotSend, TimReShow, TimShowValidAfterBoot})
        t->stop();
    PrmSrcNotice() = nullptr;
    RetVar = Variant(FIL_SaveUserPrs(AppPath(UserPrs)));
    const std::string word = CloseOfferWord(UserLevel, UsrPrmSent, SysPrmSent);
    if (!word.empty()) FrmEEP::Exec(word);
    if (g_instance == this) g_instance = nullptr;
    plat::UnregisterForm(this);
}

// ---- paging ---------------------------------------------------------------------------------------------

ParaTab FrmPara::TabFor(bool is32) const {
    const bool select = IsSelect(tab_);
    if (is32) return select ? ParaTab::Select32 : ParaTab::Edit32;
    return select ? ParaTab::Select : ParaTab::EditAll;
}

int FrmPara::RowIndex(bool is32, int row) const {
    const ParaGrid& g = is32 ? g32_ : g16_;
    return GetPrmIdx(TabFor(is32), std::max(0, g.page) * ParaRows + row);
}

void FrmPara::SetScrollRange(bool is32, int last, PageRead read) {
    ParaGrid& g = Grid(is32);
    // The bar's own move to page 0 shows nothing; page 0 is shown once, below, after its read.
    scrollLock_ = true;
    g.VScrPage->setMaximum(std::max(0, last));
    g.VScrPage->setValue(0);
    scrollLock_ = false;
    ShowPage(is32, 0, read);
}

void FrmPara::ShowPage(bool is32, int page, PageRead read) {
    ParaGrid& g = Grid(is32);
    if (read != PageRead::None && PrmIsAmp != 0 && !scrollLock_ && ComHandle != 0)
        RecvPage(TabFor(is32), page, g.page, read == PageRead::Always);
    g.LblPage->setText(QString::fromStdString(PageLabel(g.VScrPage->value())));
    g.page = page;
    DispPage(is32, page);
    if (Is32(tab_) == is32) FocusRow(is32, 0);
}

void FrmPara::GoToPage(bool is32, int page) {
    ParaGrid& g = Grid(is32);
    const int p = ::GoToPage(TabFor(is32), page, g.VScrPage->maximum());
    if (g.VScrPage->value() != p)
        g.VScrPage->setValue(p); // its change shows the page
    else if (g.page != p)
        ShowPage(is32, p);
}

void FrmPara::DispPage(bool is32, int page) {
    ParaGrid& g = Grid(is32);
    const ParaTab tab = TabFor(is32);
    for (int r = 0; r < ParaRows; ++r) {
        const auto i = static_cast<size_t>(r);
        const int n = GetPrmIdx(tab, page * ParaRows + r);
        if (n == NoPrm) {
            for (QLabel* l : {g.No1[i], g.name1[i], g.min1[i], g.max1[i]})
                l->clear();
            g.PA[i]->clear();
            g.ChkGain[i]->setVisible(false);
            for (QWidget* w : {static_cast<QWidget*>(g.PA[i]), static_cast<QWidget*>(g.Up[i]),
                               static_cast<QWidget*>(g.Dn[i])})
                w->setEnabled(false);
            continue;
        }
        const std::string name = is32 ? Prm32Attr[n].name : PrmAttr[n].name;
        const long long lo = is32 ? Prm32Attr[n].Min : PrmAttr[n].Min;
        const long long hi = is32 ? Prm32Attr[n].Max : PrmAttr[n].Max;
        const bool system = (is32 ? ChkPrm32Attr(n, PrmAttrSystem) : ChkPrmAttr(n, PrmAttrSystem)) != 0;
        const bool editable = !(system && UserLevel < 2);
        g.No1[i]->setText(QString::fromStdString(HexPad2(n)));
        g.name1[i]->setText(QString::fromStdString(name).trimmed());
        g.min1[i]->setText(QString::number(lo));
        g.max1[i]->setText(QString::number(hi));
        g.PA[i]->setEnabled(editable);
        g.Up[i]->setEnabled(editable);
        g.Dn[i]->setEnabled(editable);
        g.ChkGain[i]->setVisible(!IsSelect(tab));
        g.ChkGain[i]->setChecked((is32 ? ChkPrm32Type(n, PrmTypeSelected) : ChkPrmType(n, PrmTypeSelected)) !=
                                 0);
        g.ChkGain[i]->setEnabled(
            (is32 ? ChkPrm32Type(n, PrmTypeSelectable) : ChkPrmType(n, PrmTypeSelectable)) != 0);
    }
    DispParam(is32, page);
}

void FrmPara::DispParam(bool is32, int page) {
    ParaGrid& g = Grid(is32);
    const ParaTab tab = TabFor(is32);
    for (int r = 0; r < ParaRows; ++r) {
        const int n = GetPrmIdx(tab, page * ParaRows + r);
        if (n == NoPrm) continue;
        // Writing a box clears its selection: a value shown again as it stands keeps the focused row ready
        // to type over, and a new value in a box that was selected whole is selected whole again.
        QLineEdit* box = g.PA[static_cast<size_t>(r)];
        const QString text = QString::number(is32 ? Prm32Val[n] : PrmVal[n]);
        if (box->text() == text) continue;
        const bool whole = box->hasSelectedText() && box->selectedText() == box->text();
        box->setText(text);
        if (whole) box->selectAll();
    }
}

void FrmPara::FocusRow(bool is32, int row) {
    ParaGrid& g = Grid(is32);
    row = FilledRowAtOrAbove(TabFor(is32), std::max(0, g.page), row);
    if (row < 0 || row >= ParaRows) return;
    QLineEdit* box = g.PA[static_cast<size_t>(row)];
    g.row = row;
    if (!box->isEnabled()) return;
    // Colours and guide follow the row given the focus, also before the window is shown or active, when
    // no focus event comes.
    for (int r = 0; r < ParaRows; ++r)
        if (r != row) RowFocus(is32, r, false);
    RowFocus(is32, row, true);
    box->setFocus();
    QTimer::singleShot(0, box, [box] { box->selectAll(); });
}

void FrmPara::DispGuide(bool is32, int row, bool focused) {
    ParaGrid& g = Grid(is32);
    const int n = RowIndex(is32, row);
    for (int j = 0; j < 4; ++j) {
        const std::string text =
            focused && n != NoPrm ? (is32 ? Prm32Attr[n].Guide[j] : PrmAttr[n].Guide[j]) : "";
        g.msg[static_cast<size_t>(j)]->setText(QString::fromStdString(text));
    }
    g.PicGuide->setVisible(focused && n != NoPrm);
}

void FrmPara::RowFocus(bool is32, int row, bool in) {
    if (focusLock_ || row < 0 || row >= ParaRows) return;
    ParaGrid& g = Grid(is32);
    const auto i = static_cast<size_t>(row);
    if (in) g.row = row;
    g.CmdUpdVal[i]->setEnabled(in && g.PA[i]->isEnabled());
    for (QLabel* l : {g.No1[i], g.name1[i], g.min1[i], g.max1[i], g.Label5[i]})
        Paint(l, in);
    DispGuide(is32, row, in);
}

void FrmPara::RestoreRow(bool is32, int row) {
    const int n = RowIndex(is32, row);
    if (n != NoPrm)
        Grid(is32).PA[static_cast<size_t>(row)]->setText(QString::number(is32 ? Prm32Val[n] : PrmVal[n]));
}

void FrmPara::SelectTab(ParaTab tab) {
    for (int i = 0; i < TabStrip1->count(); ++i)
        if (TabStrip1->tabData(i).toInt() == static_cast<int>(tab)) TabStrip1->setCurrentIndex(i);
    tab_ = tab;
    TimTabChange_Timer();
}

void FrmPara::TimTabChange_Timer() {
    TimTabChange->stop();
    ShowTab(std::exchange(tabRead_, PageRead::Always));
}

// Builds the panes of the selected tab and shows its page 0.
void FrmPara::ShowTab(PageRead read) {
    const bool is32 = Is32(tab_);
    ParaGrid& g = Grid(is32);
    stack_->setCurrentWidget(g.pane);
    const bool select = IsSelect(tab_);
    g.HeadExtrac->setVisible(!select);
    SetScrollRange(is32, LastPage(tab_), read);
    if (QAction* in = Item("MnuInput")) in->setEnabled(!is32);
    FocusRow(is32, 0);
}

// ---- keys and commits
// --------------------------------------------------------------------------------------

bool FrmPara::PA_KeyDown(bool is32, int row, int key) {
    ParaGrid& g = Grid(is32);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        CommitRow(is32, row);
        FocusRow(is32, row);
        return true;
    case Qt::Key_Escape:
        RestoreRow(is32, row);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        RowFocus(is32, row, false);
        GoToPage(is32, g.page + (key == Qt::Key_PageUp ? -1 : 1));
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const PageRow to = KeyNav(TabFor(is32), g.page, row, key == Qt::Key_Up, g.VScrPage->maximum());
        if (to.page != g.page) {
            RowFocus(is32, row, false);
            GoToPage(is32, to.page);
        }
        FocusRow(is32, to.row);
        return true;
    }
    default:
        return false;
    }
}

void FrmPara::PA_SpaceUp(bool is32, int row) {
    if (IsSelect(tab_)) return;
    QCheckBox* c = Grid(is32).ChkGain[static_cast<size_t>(row)];
    if (!c->isEnabled() || c->isHidden()) {
        RestoreRow(is32, row);
        return;
    }
    c->setChecked(!c->isChecked());
    ChkGain_MouseUp(is32, row);
    RestoreRow(is32, row);
}

void FrmPara::ChkGain_MouseUp(bool is32, int row) {
    const int n = RowIndex(is32, row);
    if (n == NoPrm) return;
    const bool on = Grid(is32).ChkGain[static_cast<size_t>(row)]->isChecked();
    if (is32)
        SetBit32(Prm32Attr[n].Type, PrmTypeSelected, on);
    else
        SetBit16(PrmAttr[n].Type, PrmTypeSelected, on);
    FocusRow(is32, row);
}

void FrmPara::CommitRow(bool is32, int row) {
    const int n = RowIndex(is32, row);
    if (n == NoPrm) return;
    double v = 0;
    if (!ParseNumber(Grid(is32).PA[static_cast<size_t>(row)]->text().toStdString(), v)) {
        RestoreRow(is32, row);
        return;
    }
    const WriteOutcome out = is32 ? SetPrmOne32(n, v) : SetPrmOne(n, v);
    if (out.redraw) RestoreRow(is32, row);
    if (out.powerNotice) TimShowValidAfterBoot->start();
}

bool FrmPara::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabStrip1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            const bool is32 = Is32(tab_);
            ParaGrid& g = Grid(is32);
            RowFocus(is32, g.row, false);
            GoToPage(is32, g.page + (key == Qt::Key_PageUp ? -1 : 1));
            return true;
        }
        return false;
    }
    for (bool is32 : {false, true}) {
        ParaGrid& g = Grid(is32);
        for (int r = 0; r < ParaRows; ++r) {
            const auto i = static_cast<size_t>(r);
            if (event->type() == QEvent::MouseButtonPress &&
                (watched == g.No1[i] || watched == g.name1[i] || watched == g.min1[i] ||
                 watched == g.max1[i] || watched == g.Label5[i])) {
                FocusRow(is32, r);
                return false;
            }
            if (watched != g.PA[i]) continue;
            switch (event->type()) {
            case QEvent::KeyPress:
                return PA_KeyDown(is32, r, static_cast<QKeyEvent*>(event)->key());
            case QEvent::KeyRelease:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) PA_SpaceUp(is32, r);
                return false;
            case QEvent::FocusIn:
                RowFocus(is32, r, true);
                return false;
            case QEvent::FocusOut: {
                // A message box taking the focus is no move away from the row.
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                    RowFocus(is32, r, false);
                return false;
            }
            default:
                return false;
            }
        }
    }
    return false;
}

// ---- data source and menus -------------------------------------------------------------------------------

void FrmPara::UpdCaption(const std::string& text) {
    const QString caption = QStringLiteral("Parameter(%1)").arg(QString::fromStdString(text));
    setWindowTitle(caption);
    if (parentWidget()) parentWidget()->setWindowTitle(caption);
}

void FrmPara::DispDataSource() {
    TimDispDataSource->start();
}

void FrmPara::UpdForRecv(const std::string& text) {
    SetPrmSrc(1, text);
}

void FrmPara::UpdAxis() {
    MnuPrmZyuShin_Click();
}

void FrmPara::TimDispDataSource_Timer() {
    TimDispDataSource->stop();
    UpdCaption(PrmSrcMei);
    UpdMenuState(UserLevel, ComPortNo != 0);
    TimMsgParaNotSend->start();
    DispPage(false, std::max(0, g16_.page));
    if (Prm32Cnt != 0) DispPage(true, std::max(0, g32_.page));
}

void FrmPara::TimMsgParaNotSend_Timer() {
    TimMsgParaNotSend->stop();
    if (UsrPrmSent != -1 && ComHandle != 0)
        Tell("Changed parameter isn't transmitted to the amplifier at every change. Click the transmit "
             "button when "
             "necessary.",
             "Re:Parameter transmission");
}

void FrmPara::TimReShow_Timer() {
    TimReShow->stop();
    Grid(false).PA[static_cast<size_t>(reShowRow_)]->setText(QString::number(reShowValue_));
    FocusRow(false, reShowRow_);
}

void FrmPara::TimShowValidAfterBoot_Timer() {
    TimShowValidAfterBoot->stop();
    Tell("This parameter becomes active by re-switching on electrical power after writing in EEPROM.",
         "Parameter change");
}

void FrmPara::UpdMenuState(int16_t level, bool linkOpen) {
    auto set = [this](const char* name, bool on) {
        if (QAction* a = Item(name)) a->setEnabled(on);
    };
    auto key = [this](const char* k, bool on) {
        if (QAction* a = findChild<QAction*>(QStringLiteral("Key_%1").arg(QString::fromLatin1(k))))
            a->setEnabled(on);
    };
    const bool sys = linkOpen && level >= 2;
    for (const char* n : {"MnuPrmZyuShin", "MnuUsrPrmSouShin", "MnuEepromKakiKomi"})
        set(n, linkOpen);
    for (const char* k : {"Recv", "Send", "EEP"})
        key(k, linkOpen);
    set("MnuSysPrmSouShin", sys);
    set("MnuSysEepromKakiKomi", sys);
    key("Sends", sys);
    key("EEPs", sys);
    if (PrmSrc == 1) {
        key("Recv", true);
        set("MnuPrmZyuShin", true);
        key("Read", false);
        set("MnuPrmYomiDashi", false);
        set("MnuPrmKiTeiChi", false);
    } else if (PrmSrc == 2 || PrmSrc == 3) {
        key("Recv", false);
        set("MnuPrmZyuShin", false);
        key("Read", true);
        set("MnuPrmYomiDashi", true);
        set("MnuPrmKiTeiChi", true);
    }
}

void FrmPara::MnuPrmZyuShin_Click() {
    RecvAll();
    DispPage(false, std::max(0, g16_.page));
    if (Prm32Cnt != 0) DispPage(true, std::max(0, g32_.page));
}

void FrmPara::MnuUsrPrmSouShin_Click() {
    SendUser();
}
void FrmPara::MnuSysPrmSouShin_Click() {
    SendSystem();
}
void FrmPara::PS_load_Click() {
    PsLoad();
}

void FrmPara::MnuEepromKakiKomi_Click() {
    if (UsrPrmSent != -1) {
        Tell("Editted  parameter isn't transmitted to the amplifier. Transmit bofore writing to EEPROM.",
             "Writing to EEPROM");
        return;
    }
    if (ChkComm(-1, "Writing to EEPROM")) FrmEEP::Exec(EepWord::UserExplicit);
}

void FrmPara::MnuSysEepromKakiKomi_Click() {
    if (SysPrmSent != -1) {
        Tell(
            "Editted system parameter isn't transmitted to the amplifier. Transmit bofore writing to EEPROM.",
            "Writing to EEPROM");
        return;
    }
    if (ChkComm(-1, "Writing to EEPROM")) FrmEEP::Exec(EepWord::SystemExplicit);
}

void FrmPara::MnuHenSyuComment_Click() {
    FrmRem::Exec(Variant(int16_t{0}), "Comment on parameter", "Comment is saved with parameter.");
}

void FrmPara::MnuPrmHoZon_Click() {
    if (!ChkUsrPrmData()) return;
    if (Prm32Cnt != 0 && !ChkUsrPrm32Data()) return;
    FrmRem::Exec(Variant(int16_t{0}), "Comment on parameter", "Comment is saved with parameter.");
    if (DlgResult != -1) return;
    // The file dialog itself asks before an existing file is replaced.
    const std::string path = FilDlg("prm", "write", "Parameter file(*.prm)|*.prm");
    if (path.empty()) return;
    UpdStat("In-writing the file.");
    Hourglass(true);
    const int16_t r = PrmHoZon(path, KisyuCode);
    RetVar = Variant(r);
    Hourglass(false);
    UpdStat(r == -1 ? "File writing completed." : "");
}

void FrmPara::MnuPrmSelHoZon_Click() {
    const std::string path = FilDlg("prm", "write", "Parameter extraction file(*.prs)|*.prs");
    if (path.empty()) return;
    UpdStat("In-writing the file.");
    // The selection file is a group file for every series.
    const int16_t r = FIL_SavePrsFile(path);
    RetVar = Variant(r);
    UpdStat(r == -1 ? "File writing completed." : "");
}

void FrmPara::MnuPrmYomiDashi_Click() {
    const std::string path = FrmPrmSel::Exec("prm", "prm", "Parameter file");
    if (path.empty()) return;
    UpdStat("File loading");
    Hourglass(true);
    if (PMT_Load(path, KisyuCode, -1) != 0) {
        SetPrmSrc(2, "");
        UpdStat("File reading completed.");
        const bool is32 = Is32(tab_);
        SetScrollRange(is32, Grid(is32).VScrPage->maximum(), PageRead::IfNew);
    } else {
        UpdStat("Reading failed.");
    }
    Hourglass(false);
}

void FrmPara::MnuPrmSelYomiDashi_Click() {
    const std::string path = FrmPrmSel::Exec("prm", "prs", "Parameter extraction status file");
    if (path.empty()) return;
    UpdStat("File loading");
    LoadSelection(path);
    UpdStat(RetVar.ToBool() ? "File reading completed." : "Reading failed.");
    TimTabChange->start();
}

void FrmPara::MnuPrmKiTeiChi_Click() {
    if (!MsgYesNo("Eliminate currently set valuses and read factory preset values?", "Yes ?")) return;
    RetVar = Variant(PrmKiTeiChi(KisyuMei, -1));
    SetPrmSrc(3, "");
    DispPage(false, std::max(0, g16_.page));
    if (Prm32Cnt != 0) DispPage(true, std::max(0, g32_.page));
}

void FrmPara::MnuInSatu_Click() {
    PrdPrint({.title = "Print of the parameter",
              .ask = [] { return FrmParaPrn::Exec(); },
              .print =
                  [](const std::string& words) {
                      bool printed = false;
                      if (words.find("para16") != std::string::npos) {
                          PrintPrm16(PrintCount16(UserLevel));
                          printed = true;
                      }
                      if (Prm32Cnt != 0 && words.find("para32") != std::string::npos) {
                          PrintPrm32(PrintCount32(UserLevel));
                          printed = true;
                      }
                      return printed;
                  }});
}

void FrmPara::menu_Click(bool is32) {
    FrmIchiran::Exec(is32);
    if (g_instance != this) return;
    DispParam(is32, std::max(0, Grid(is32).page));
}

void FrmPara::bit_value_Click() {
    if (Is32(tab_)) return;
    const int row = g16_.row;
    const int n = RowIndex(false, row);
    if (n == NoPrm) return;
    reShowValue_ = FrmHexBit::Exec(static_cast<int16_t>(n));
    reShowRow_ = row;
    TimReShow->start();
}
