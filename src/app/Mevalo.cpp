#include "app/Mevalo.h"

#include "app/ChildMenus.h"
#include "app/ConnectCalls.h"
#include "app/Frame.h"
#include "app/FrmMenu.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/FormRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QVBoxLayout>
#include <QHBoxLayout>

#include <algorithm>
#include <new>

namespace {

Mevalo* g_instance = nullptr;

// Inner area of the frame at load, in twips (1/1440 inch).
constexpr int InnerWidthTwips = 9210;
constexpr int InnerHeightTwips = 6570;

// Marks a window taken down and waiting for its deletion.
const char* const UnloadedMark = "mevaloUnloaded";
// Marks a screen whose menu bar the frame has taken.
const char* const MenusTakenMark = "mevaloMenusTaken";

// The menu bar a screen built for itself, if any.
QMenuBar* OwnMenuBar(QWidget* screen)
{
    return screen ? screen->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QAction* FindItem(QWidget* frm, const char* menu, int index)
{
    if (!frm)
        return nullptr;
    // The frame holds its screens: its own items are looked for among its own menus only.
    if (auto* main = qobject_cast<QMainWindow*>(frm); main && main == Mevalo::Instance())
        return main->menuBar()->findChild<QAction*>(Mevalo::ItemName(menu, index));
    return frm->findChild<QAction*>(Mevalo::ItemName(menu, index));
}

void SetItemEnabled(QWidget* frm, const char* menu, int index, bool on)
{
    if (QAction* a = FindItem(frm, menu, index))
        a->setEnabled(on);
}

// The window that moves and hides for a form: its sub-window when it lives in the frame.
QWidget* Outer(QWidget* form)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        return sub;
    return form;
}

} // namespace

Mevalo::Mevalo(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("Mevalo");
    g_instance = this;

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName("MdiArea");
    // A screen larger than the frame stays reachable: the area scrolls rather than cutting it off.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(mdi_, 1);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &Mevalo::UpdMenuBar);

    PicStat = new QWidget(central);
    PicStat->setObjectName("PicStat");
    auto* strip = new QHBoxLayout(PicStat);
    strip->setContentsMargins(4, 2, 4, 2);
    LblStat = new QLabel(PicStat);
    LblStat->setObjectName("LblStat");
    // One line high with or without a text, so that the strip keeps its height.
    LblStat->setMinimumHeight(LblStat->fontMetrics().height());
    PBar = new QProgressBar(PicStat);
    PBar->setObjectName("PBar");
    PBar->setRange(0, 1);
    PBar->setValue(0);
    PBar->setTextVisible(false);
    strip->addWidget(LblStat, 1);
    strip->addWidget(PBar, 1);
    layout->addWidget(PicStat);
    setCentralWidget(central);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Mevalo::Timer1_Timer);

    TimAllClose = new QTimer(this);
    TimAllClose->setObjectName("TimAllClose");
    TimAllClose->setInterval(100);
    TimAllClose->setSingleShot(true);
    connect(TimAllClose, &QTimer::timeout, this, &Mevalo::TimAllClose_Timer);

    timFrmEEPDisable_ = new QTimer(this);
    timFrmEEPDisable_->setObjectName("TimFrmEEPDisable");
    timFrmEEPDisable_->setInterval(100);
    connect(timFrmEEPDisable_, &QTimer::timeout, this, &Mevalo::TimFrmEEPDisable_Timer);

    timFrmPopEEPDisable_ = new QTimer(this);
    timFrmPopEEPDisable_->setObjectName("TimFrmPopEEPDisable");
    timFrmPopEEPDisable_->setInterval(100);
    connect(timFrmPopEEPDisable_, &QTimer::timeout, this, &Mevalo::TimFrmPopEEPDisable_Timer);

    BuildMenus();

#ifndef QT_NO_SESSIONMANAGER
    // The session is ending: no question, the program ends at once.
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { Form_QueryUnload(UnloadReason::SessionEnd); });
#endif

    plat::RegisterForm("Mevalo", this);
    InstallFrameHooks();
    Form_Load();
}

Mevalo::~Mevalo()
{
    // The screens go down after this body, with the area: nothing of theirs may reach a frame that is no
    // longer whole.
    mdi_->disconnect(this);
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        sub->removeEventFilter(this);
    RemoveFrameHooks();
    plat::UnregisterForm(this);
    if (g_instance == this)
        g_instance = nullptr;
}

Mevalo* Mevalo::Instance() { return g_instance; }

QString Mevalo::ItemName(const char* menu, int index) { return QString("%1_%2").arg(menu).arg(index); }

void Mevalo::BuildMenus()
{
    auto item = [this](QMenu* menu, const char* name, int index, const char* caption) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(index < 0 ? QString(name) : ItemName(name, index));
        return a;
    };

    MnuFil = menuBar()->addMenu("File &F");
    MnuFil->setObjectName("MnuFil");
    connect(MnuFil, &QMenu::aboutToShow, this, &Mevalo::MnuFil_Click);
    QMenu* seTteiOya = MnuFil->addMenu("Setting &S");
    seTteiOya->setObjectName("MnuSeTteiOya");
    const char* seTtei[] = {"Selection of the axis address(ID) &A", "Model selection &M",
                            "Communication with the amplifier &P", "Communication set-up &C"};
    for (int i = 0; i < 4; ++i) {
        QAction* a = item(seTteiOya, "MnuSeTtei", i, seTtei[i]);
        connect(a, &QAction::triggered, this, [this, i] { MnuSeTtei_Click(static_cast<int16_t>(i)); });
    }
    connect(item(MnuFil, "MnuClose", -1, "Close &C"), &QAction::triggered, this, &Mevalo::MnuClose_Click);
    connect(item(MnuFil, "MnuSyuuRyou", -1, "Exit of Mevalo &X"), &QAction::triggered, this,
            &Mevalo::MnuSyuuRyou_Click);

    MnuHyouji_Oya = menuBar()->addMenu("Display &D");
    MnuHyouji_Oya->setObjectName("MnuHyouji_Oya");
    connect(MnuHyouji_Oya, &QMenu::aboutToShow, this, &Mevalo::MnuHyouji_Oya_Click);
    AddMainItems(MnuHyouji_Oya, "MnuHyouji", MainText::HyoujiItems, 10, &Mevalo::MnuHyouji_Click);

    MnuWindow = menuBar()->addMenu("Window &W");
    MnuWindow->setObjectName("MnuWindow");
    AddWindowItems(MnuWindow);

    MnuHelp = menuBar()->addMenu("Help &H");
    MnuHelp->setObjectName("MnuHelp");
    connect(item(MnuHelp, "MnuVerGrp", -1, "Version information &V"), &QAction::triggered, this,
            &Mevalo::MnuVerGrp_Click);
    ownMenus_ = menuBar()->actions();
}

QWidget* Mevalo::MenuOwner() const { return menuOwner_; }

void Mevalo::UpdMenuBar()
{
    QWidget* screen = nullptr;
    if (QMdiSubWindow* sub = mdi_->activeSubWindow(); sub && sub->isVisible() && sub->widget() &&
                                                       !sub->widget()->property(UnloadedMark).toBool())
        screen = sub->widget();
    ShowMenusOf(screen);
}

void Mevalo::ShowMenusOf(QWidget* screen)
{
    QMenuBar* own = OwnMenuBar(screen);
    const QList<QAction*> want = own ? own->actions() : ownMenus_;
    menuOwner_ = own ? screen : nullptr;
    QMenuBar* bar = menuBar();
    if (bar->actions() == want)
        return;
    for (QAction* a : bar->actions())
        bar->removeAction(a);
    bar->addActions(want);
}

bool Mevalo::eventFilter(QObject* watched, QEvent* event)
{
    // A sub-window shown or hidden may change which screen is active; decided once the change is done.
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        QMetaObject::invokeMethod(this, &Mevalo::UpdMenuBar, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

void Mevalo::Form_Load()
{
    // Centred on the screen, with an inner area of 9210 x 6570 twips, or more when the screens need it.
    const QSize need = NeededClientSize();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect r = FrameOpeningRect(need, screen ? screen->availableGeometry() : QRect());
    resize(r.size());
    if (screen)
        move(r.topLeft());
    Timer1->start();
}

QSize Mevalo::NeededClientSize() const
{
    const QSize inner(InnerWidthTwips * logicalDpiX() / 1440, InnerHeightTwips * logicalDpiY() / 1440);
    // The frame and title a sub-window puts around a screen, as this style draws them.
    QMdiSubWindow probe(const_cast<Mevalo*>(this));
    probe.hide();
    auto* content = new QWidget;
    content->setFixedSize(100, 100);
    probe.setWidget(content);
    const QSize deco = probe.sizeHint() - content->size();
    const QSize screens = LargestScreen(QFontMetrics(font()).height()) + deco;
    const int frame = 2 * mdi_->frameWidth();
    const int strip = PicStat->sizeHint().height();
    return QSize(std::max(inner.width(), screens.width() + frame),
                 menuBar()->sizeHint().height() + std::max(inner.height(), screens.height() + frame + strip));
}

// ---- frame hooks ---------------------------------------------------------------------------------

void Mevalo::InstallFrameHooks()
{
    FrameHooks& f = Frame();
    f.updStat = [this](const std::string& t) { UpdStat(t); };
    f.updStatFix = [this](const std::string& t) { UpdStatFix(t); };
    f.updPbar = [this](long cur, long total) { UpdPbar(cur, total); };
    f.updCaption = [this] { UpdCaption(); };
    f.hourglass = [this](bool busy) {
        // A state, not a stack: the callers switch it on and off without pairing.
        if (busy && !waitCursor_) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            waitCursor_ = true;
        } else if (!busy && waitCursor_) {
            QApplication::restoreOverrideCursor();
            waitCursor_ = false;
        }
    };
}

void Mevalo::RemoveFrameHooks()
{
    if (waitCursor_)
        QApplication::restoreOverrideCursor();
    Frame() = FrameHooks{};
}

// ---- menus -----------------------------------------------------------------------------------------

void Mevalo::MnuVerGrp_Click()
{
    if (Links().showVersion)
        Links().showVersion();
}

void Mevalo::MnuWin_Click(int16_t index)
{
    if (index == 0) {
        mdi_->cascadeSubWindows();
        return;
    }
    if (index != 1 && index != 2)
        return;
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::StackingOrder))
        if (s->isVisible() && !s->isMinimized())
            subs.append(s);
    const std::vector<QRect> rects = TileRects(static_cast<int>(subs.size()), mdi_->viewport()->rect(), index == 1);
    for (qsizetype i = 0; i < subs.size(); ++i) {
        if (subs[i]->isMaximized())
            subs[i]->showNormal();
        subs[i]->setGeometry(rects[static_cast<size_t>(i)]);
    }
}

void Mevalo::MnuFilEnable(QWidget* frm)
{
    const int16_t mask = GetFuncEnable();
    for (int i = 0; i < 4; ++i)
        SetItemEnabled(frm, "MnuSeTtei", i, SeTteiEnabled(mask, i, ComPortNo));
}

void Mevalo::MnuSeTtei_Click(int16_t index)
{
    if (index == 0) {
        // The axis window is shared with the connection dialog, which holds its call.
        if (Connect().showFrmAxis)
            Connect().showFrmAxis();
    } else if (index >= 1 && index <= 3) {
        StartAllClose(index);
    }
    raise();
    activateWindow();
    UpdCaption();
}

void Mevalo::MnuHyoujiEnable(QWidget* frm)
{
    const int16_t mask = GetFuncEnable();
    SetItemEnabled(frm, "MnuHyouji", 0, true);
    for (int i = 1; i <= 8; ++i)
        SetItemEnabled(frm, "MnuHyouji", i, HyoujiEnabled(mask, i));
}

void Mevalo::MnuHyouji_Oya_Click() { MnuHyoujiEnable(this); }

void Mevalo::MnuFil_Click() { MnuFilEnable(this); }

void Mevalo::MnuHyouji_Click(int16_t index)
{
    try {
        if (index == 0) {
            ShowFrmMenu();
        } else if (index == 9) {
            StartAllClose(CloseOnly);
        } else if (index >= 1 && index <= 8) {
            // A screen that does not exist yet has no opener: its item opens nothing.
            if (const auto& open = Links().openScreen[static_cast<size_t>(index)])
                open();
        }
    } catch (const std::bad_alloc&) {
        plat::MsgBox(MainText::NoMemory, plat::Buttons::Ok, plat::Icon::Critical, MainText::NoMemoryTitle);
    } catch (const plat::ProgramEnded&) {
        throw;
    } catch (...) {
        // Any other failure to open a window leaves things as they were.
    }
}

void Mevalo::MnuClose_Click()
{
    if (ComBusy != 0) {
        plat::MsgBox(MainText::Busy, plat::Buttons::Ok, plat::Icon::Exclamation, MainText::CloseTitle);
        return;
    }
    if (closeAll_.Running())
        return;
    QMdiSubWindow* active = mdi_->activeSubWindow();
    if (!active)
        return;
    try {
        if (QWidget* w = active->widget())
            UnloadWindow(w);
        else
            active->close();
    } catch (const plat::ProgramEnded&) {
        throw;
    } catch (...) {
    }
}

void Mevalo::MnuSyuuRyou_Click() { close(); }

// ---- ending ----------------------------------------------------------------------------------------

void Mevalo::bye()
{
    ConnClose();
    hide();
    plat::EndProgram(0);
}

bool Mevalo::Form_QueryUnload(UnloadReason reason)
{
    if (reason == UnloadReason::SessionEnd)
        bye();
    if (closeAll_.Running())
        return true;
    if (ComBusy != 0) {
        // A long operation lets events run inside its own code: its window must not go from under it.
        plat::MsgBox(MainText::Busy, plat::Buttons::Ok, plat::Icon::Exclamation, MainText::ExitBusyTitle);
        return true;
    }
    return plat::MsgBox(MainText::ExitQuestion, plat::Buttons::YesNo, plat::Icon::Question, MainText::ExitTitle) ==
           plat::No;
}

void Mevalo::Form_Unload() { bye(); }

void Mevalo::closeEvent(QCloseEvent* event)
{
    if (Form_QueryUnload(UnloadReason::User)) {
        event->ignore();
        return;
    }
    event->accept();
    UnloadAllChildren();
    Form_Unload();
}

void Mevalo::UnloadAllChildren()
{
    for (const char* form : UnloadOrder)
        UnloadForm(form);
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (QWidget* w = sub->widget())
            UnloadWindow(w);
}

// ---- close-all -------------------------------------------------------------------------------------

void Mevalo::StartAllClose(int16_t kind)
{
    if (closeAll_.Start(kind))
        TimAllClose->start();
}

void Mevalo::TimAllClose_Timer()
{
    TimAllClose->stop();
    if (closeAll_.OnTimer(*this, ComBusy) == CloseAllSequence::Tick::Wait)
        TimAllClose->start(); // a long operation runs: try again when it may have ended
}

bool Mevalo::IsCloseGoing(QTimer* tmr)
{
    if (!closeAll_.CloseGoing())
        return false;
    if (tmr)
        tmr->stop();
    return true;
}

void Mevalo::EnableAllMenu(bool flag)
{
    for (QMenu* m : {MnuFil, MnuHyouji_Oya, MnuWindow, MnuHelp})
        m->menuAction()->setEnabled(flag);
    if (FrmMenu* panel = FrmMenu::Instance())
        panel->setEnabled(flag);
}

void Mevalo::Pump()
{
    repaint();
    QCoreApplication::processEvents();
}

bool Mevalo::IsLoaded(const char* form) { return plat::IsFrmLoad(form); }

void Mevalo::HideForm(const char* form)
{
    if (QWidget* w = plat::FindForm(form))
        Outer(w)->hide();
}

void Mevalo::UnloadForm(const char* form)
{
    if (QWidget* w = plat::FindForm(form))
        UnloadWindow(w);
}

bool Mevalo::UnloadWindow(QWidget* form)
{
    // A window already unloaded waits for its deletion; its unload handling must not run twice.
    if (!form || form->property(UnloadedMark).toBool())
        return true;
    // The window's own unload handling runs in its close event (a sub-window passes its close on to the
    // window it holds); it may refuse.
    QWidget* outer = Outer(form);
    if (!outer->close())
        return false;
    form->setProperty(UnloadedMark, true);
    plat::UnregisterForm(form);
    // Its menus leave the frame's menu bar before it goes.
    if (menuOwner_ == form)
        UpdMenuBar();
    // Deleted once control is back in the event loop, never under code of its own that is still running.
    outer->deleteLater();
    return true;
}

void Mevalo::AfterAllClose(int16_t kind)
{
    switch (kind) {
    case CloseForSeries:
        TypeSelMode = 2;
        if (Links().showType)
            Links().showType();
        break;
    case CloseForConnection:
        if (Links().showPort)
            Links().showPort();
        if (DlgResult == 123)
            bye();
        break;
    case CloseForComSettings:
        if (Links().showCom)
            Links().showCom();
        break;
    default:
        break;
    }
    raise();
    activateWindow();
    UpdCaption();
}

// ---- caption and status strip ----------------------------------------------------------------------

void Mevalo::UpdCaption() { setWindowTitle(QString::fromStdString(BuildCaption())); }

void Mevalo::ShowStrip()
{
    PicStat->setVisible(true);
    // Paged transfers set text and bar several times per page, with no event loop between: paint
    // at once at most ten times a second, as fast as anyone reads it, and leave the rest to the next
    // paint or the event loop, so that the strip never slows the line down.
    static QElapsedTimer painted;
    if (!painted.isValid() || painted.elapsed() >= 100) {
        PicStat->repaint();
        painted.start();
    } else {
        PicStat->update();
    }
}

void Mevalo::UpdStat(const std::string& text)
{
    LblStat->setText(QString::fromStdString(text));
    ShowStrip();
    Timer1->stop();
    Timer1->start();
}

void Mevalo::UpdStatFix(const std::string& text)
{
    LblStat->setText(QString::fromStdString(text));
    ShowStrip();
    Timer1->stop();
}

void Mevalo::UpdPbar(long cur, long max)
{
    const PbarRange r = PbarFor(cur, max);
    // A progress bar repaints itself at once on most changes of its value; on a paged transfer that is a
    // paint between every two requests. The strip's own paint, at most ten a second, shows the bar.
    PBar->setUpdatesEnabled(false);
    PBar->setMaximum(r.max);
    PBar->setValue(r.value);
    PBar->setUpdatesEnabled(true);
    ShowStrip();
    Timer1->stop();
    Timer1->start();
}

void Mevalo::Timer1_Timer()
{
    PicStat->setVisible(false);
    PicStat->repaint();
    Timer1->stop();
}

void Mevalo::TimFrmEEPDisable_Timer() { timFrmEEPDisable_->stop(); }

void Mevalo::TimFrmPopEEPDisable_Timer() { timFrmPopEEPDisable_->stop(); }

void Mevalo::ParaUpdMsg(const std::string& text)
{
    if (Links().paraUpdForRecv && plat::IsFrmLoad("FrmPara"))
        Links().paraUpdForRecv(text);
}

// ---- child windows ---------------------------------------------------------------------------------

QMdiSubWindow* Mevalo::AddChild(QWidget* screen)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget()); sub && sub->mdiArea() == mdi_)
        return sub;
    if (QMenuBar* bar = OwnMenuBar(screen); bar && !screen->property(MenusTakenMark).toBool()) {
        screen->setProperty(MenusTakenMark, true);
        // A screen that set its own size counted its menu bar in it; the bar's height leaves with the bar.
        const bool sized = screen->testAttribute(Qt::WA_Resized);
        const int barHeight = bar->sizeHint().height();
        bar->setNativeMenuBar(false);
        bar->hide();
        if (sized)
            screen->resize(screen->width(), std::max(0, screen->height() - barHeight));
    }
    QMdiSubWindow* sub = mdi_->addSubWindow(screen);
    sub->installEventFilter(this);
    return sub;
}

void Mevalo::ShowChild(QWidget* screen)
{
    auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    QWidget* outer = sub ? static_cast<QWidget*>(sub) : screen;
    outer->show();
    outer->raise();
    // The area places a screen larger than itself partly above or left of its origin; keep the title bar
    // and the left edge in reach.
    if (sub && (sub->x() < 0 || sub->y() < 0))
        sub->move(std::max(0, sub->x()), std::max(0, sub->y()));
    if (sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    if (Mevalo* m = Instance(); m && sub && sub->mdiArea() == m->mdi_)
        m->UpdMenuBar();
}

void Mevalo::DetachControls(QWidget* screen)
{
    // A screen going down without being unloaded takes its menus out of the frame's menu bar first.
    if (Mevalo* m = Instance(); m && m->menuOwner_ == screen)
        m->ShowMenusOf(nullptr);
    for (QObject* child : screen->findChildren<QObject*>())
        child->disconnect(screen);
}

void Mevalo::ShowFrmMenu()
{
    FrmMenu* panel = FrmMenu::Instance();
    if (!panel) {
        panel = new FrmMenu;
        QMdiSubWindow* sub = AddChild(panel);
        // The panel opens whole; the window grows when the panel and the status strip would not fit in
        // it at the current font.
        panel->setMinimumSize(panel->sizeHint());
        sub->adjustSize();
        const int frame = 2 * mdi_->frameWidth();
        const int needW = std::max(sub->width() + frame, PicStat->minimumSizeHint().width());
        const int needH = menuBar()->sizeHint().height() + sub->height() + frame + PicStat->sizeHint().height();
        if (width() < needW || height() < needH) {
            QSize grown(std::max(width(), needW), std::max(height(), needH));
            if (QScreen* screen = this->screen())
                grown = grown.boundedTo(screen->availableGeometry().size()).expandedTo(size());
            resize(grown);
        }
    }
    QWidget* outer = Outer(panel);
    outer->show();
    outer->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(outer))
        mdi_->setActiveSubWindow(sub);
}
