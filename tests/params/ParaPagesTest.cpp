// How often the parameter editor asks the amplifier for its pages: each page it shows once, whether the
// window opens, the user clicks a tab or turns a page, and nothing when pages are not read as they change.
#include "ParaEnv.h"

#include "params/FrmPara.h"

#include <QTest>
#include <QTimer>

#include <map>

using namespace paratest;

namespace {

using Counts = std::map<std::string, int>;

// 16-bit family R pages of 16 parameters: user pages with mode 1, system pages with mode 4; 32-bit pages of
// 8: user with mode 7, system with mode 10. "0/0" is the link check that goes before every read.
Counts Pages(int mode, int first, int last) {
    Counts c;
    for (int p = first; p <= last; ++p) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "11/%d %02X", mode, p);
        c[buf] = 1;
    }
    return c;
}

Counts operator+(Counts a, const Counts& b) {
    for (const auto& [k, n] : b)
        a[k] += n;
    return a;
}

const Counts Check{{"0/0", 1}};

class ParaPages : public ParaR {
  protected:
    Counts Taken() {
        Counts c;
        for (const std::string& s : Log())
            ++c[s];
        sim.clearLog();
        return c;
    }
    // A click on the tab as the user gives it, and the events that follow until the tab is built.
    void ClickTab(FrmPara& p, const char* key) {
        QTabBar* bar = p.TabStrip1;
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == QLatin1String(key)) {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                break;
            }
        ASSERT_EQ(bar->tabText(bar->currentIndex()).toStdString(), key);
        EXPECT_TRUE(PumpUntil([&] { return !p.TimTabChange->isActive(); }));
        Pump(30);
    }
    // PageDown in the focused row's value box, as typed.
    void PageDown(FrmPara& p, bool is32) {
        ParaGrid& g = p.Grid(is32);
        QTest::keyClick(g.PA[static_cast<size_t>(g.row)], Qt::Key_PageDown);
        Pump(20);
    }
};

} // namespace

TEST_F(ParaPages, EveryPageIsAskedOnceWhenPagesAreReadAsTheyChange) {
    SetPrmSrc(1, "");
    PrmIsAmp = -1;
    sim.clearLog();
    FrmPara p;
    p.show();
    Pump(150); // the load's deferred work, up to the notice timer
    EXPECT_EQ(Taken(), Check + Check + Pages(1, 0, 0) + Pages(7, 0, 0)) << "opening";
    EXPECT_EQ(p.Grid(false).PA[0]->selectedText().toStdString(), "0"); // ready to type over
    // The data source's display, which may come after the focus, shows the values again and keeps it so.
    p.TimDispDataSource_Timer();
    EXPECT_EQ(p.Grid(false).PA[0]->selectedText().toStdString(), "0");

    ClickTab(p, "Select");
    EXPECT_EQ(Taken(), Check + Pages(1, 0, 7) + Pages(4, 0, 7)) << "Select";
    ClickTab(p, "Edit32");
    EXPECT_EQ(Taken(), Check + Pages(7, 0, 0)) << "Edit32";
    ClickTab(p, "Select32");
    EXPECT_EQ(Taken(), Check + Pages(7, 0, 2) + Pages(10, 0, 1)) << "Select32";

    // Back on EditAll the page comes from the amplifier before it is shown.
    model->setPrm16(3, {321, 3, -1000, 1000, 0});
    ClickTab(p, "EditAll");
    EXPECT_EQ(Taken(), Check + Pages(1, 0, 0)) << "EditAll";
    EXPECT_EQ(p.Grid(false).PA[3]->text().toStdString(), "321");

    // Two screen pages share one family page of 16 parameters.
    PageDown(p, false);
    EXPECT_EQ(p.Grid(false).page, 1);
    EXPECT_EQ(Taken(), Check);
    PageDown(p, false);
    EXPECT_EQ(p.Grid(false).page, 2);
    EXPECT_EQ(Taken(), Check + Pages(1, 1, 1));

    ClickTab(p, "Edit32");
    Taken();
    PageDown(p, true);
    EXPECT_EQ(p.Grid(true).page, 1);
    EXPECT_EQ(Taken(), Check + Pages(7, 1, 1));
    p.close();
}

TEST_F(ParaPages, NothingIsAskedWhenPagesAreNotReadAsTheyChange) {
    SetPrmSrc(1, "");
    PrmIsAmp = 0;
    sim.clearLog();
    FrmPara p;
    p.show();
    Pump(150);
    for (const char* key : {"Select", "Edit32", "Select32", "EditAll"})
        ClickTab(p, key);
    PageDown(p, false);
    PageDown(p, false);
    EXPECT_EQ(p.Grid(false).page, 2);
    EXPECT_TRUE(Log().empty());
    p.close();
}
