// The main window's decisions without a window: masks, caption, progress range, close-all order, tiling.
#include "app/Glb.h"
#include "app/MainLogic.h"
#include "app/Variant.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The capability bit of each Display item / CmdGo button, written out from the table the program follows.
const std::map<int, uint16_t> ItemBit = {{1, 0x0004}, {2, 0x0001}, {3, 0x0002}, {4, 0x0010},
                                         {5, 0x0008}, {6, 0x0020}, {7, 0x0040}, {8, 0x0080}};

} // namespace

TEST(FrmMainMasks, WordInForceFollowsTheLinkState)
{
    const int16_t masks[3] = {0x0105, 0x04FA, 0x0014};
    EXPECT_EQ(FuncEnableFor(0, 1, masks), 0x0014); // off line: whatever the kind
    EXPECT_EQ(FuncEnableFor(0, 2, masks), 0x0014);
    EXPECT_EQ(FuncEnableFor(0, 3, masks), 0x0014);
    EXPECT_EQ(FuncEnableFor(7, 1, masks), 0x0105); // RS-232C, even though the RS-485 word has more bits
    EXPECT_EQ(FuncEnableFor(7, 2, masks), 0x04FA);
    EXPECT_EQ(FuncEnableFor(7, 3, masks), 0);      // on line with "no amplifier": nothing
    EXPECT_EQ(FuncEnableFor(7, 0, masks), 0);
}

TEST(FrmMainMasks, EachBitEnablesExactlyItsItems)
{
    for (int bit = 0; bit < 16; ++bit) {
        const int16_t mask = static_cast<int16_t>(1u << bit);
        SCOPED_TRACE("bit " + std::to_string(bit));
        for (int item = 1; item <= 8; ++item)
            EXPECT_EQ(HyoujiEnabled(mask, item), ItemBit.at(item) == (1u << bit)) << "item " << item;
        EXPECT_TRUE(HyoujiEnabled(mask, 0));
        EXPECT_EQ(SeTteiEnabled(mask, 0, 0), bit == 10);
        EXPECT_EQ(SeTteiEnabled(mask, 1, 0), bit == 8);
        EXPECT_TRUE(SeTteiEnabled(mask, 2, 0));
        EXPECT_EQ(CmdAxisVisible(mask), bit == 10);
        EXPECT_EQ(CmdModelVisible(mask), bit == 8);
    }
}

TEST(FrmMainMasks, OffLineExampleAndPortRule)
{
    const int16_t mask = 0x0014;
    std::vector<int> on;
    for (int item = 0; item <= 8; ++item)
        if (HyoujiEnabled(mask, item))
            on.push_back(item);
    EXPECT_EQ(on, (std::vector<int>{0, 1, 4}));
    EXPECT_FALSE(CmdAxisVisible(mask));
    EXPECT_FALSE(CmdModelVisible(mask));
    // Communication set-up depends on the port alone.
    EXPECT_FALSE(SeTteiEnabled(0x7FFF, 3, 0));
    EXPECT_TRUE(SeTteiEnabled(0, 3, 2));
    // A negative word (bit 15 set) is still read bit by bit.
    EXPECT_TRUE(HyoujiEnabled(static_cast<int16_t>(0x8080), 8));
    EXPECT_FALSE(HyoujiEnabled(static_cast<int16_t>(0x8080), 7));
}

TEST(FrmMainCaption, ByteForByte)
{
    EXPECT_EQ(CaptionText("ABC", 1, 2, 3, 9600, 1), "ABC Axis address(ID):3 Communication port(COM1 9600bps) ");
    EXPECT_EQ(CaptionText("ABC", 2, 1, 3, 4800, 1), "ABC  Communication port(COM2 4800bps) ");
    EXPECT_EQ(CaptionText("ABC", 0, 3, 0, 0, 2), "ABC  Communication port(not in use) MAKER");
    EXPECT_EQ(CaptionText("ABC", 0, 2, 5, 9600, 3), "ABC  Communication port(not in use) SE");
    EXPECT_EQ(CaptionText("ABC", 4, 2, 15, 38400, 3), "ABC Axis address(ID):15 Communication port(COM4 38400bps) SE");
    // Marks of the model name go, blanks around it too.
    EXPECT_EQ(CaptionText(" TR*X10_____", 0, 3, 0, 0, 1), "TRX10  Communication port(not in use) ");
    EXPECT_EQ(CaptionText("", 0, 0, 0, 0, 1), "  Communication port(not in use) ");
}

TEST(FrmMainStatus, ProgressRange)
{
    EXPECT_EQ(PbarFor(5, 0).max, 1);
    EXPECT_EQ(PbarFor(5, 0).value, 1);
    EXPECT_EQ(PbarFor(7, 3).max, 3);
    EXPECT_EQ(PbarFor(7, 3).value, 3);
    EXPECT_EQ(PbarFor(2, 8).value, 2);
    EXPECT_EQ(PbarFor(-4, 8).value, 0);
    EXPECT_EQ(PbarFor(3, -10).max, 1);
}

namespace {

// Records what the close-all work asks of the window.
class FakeHost : public CloseAllHost {
public:
    std::vector<std::string> loaded;
    std::vector<std::string> events;
    CloseAllSequence* seq = nullptr;
    bool goingAtAfter = true;
    bool restartDuringUnload = false;

    void EnableAllMenu(bool flag) override { events.push_back(flag ? "menus on" : "menus off"); }
    void Pump() override {}
    bool IsLoaded(const char* form) override
    {
        for (const auto& l : loaded)
            if (l == form)
                return true;
        return false;
    }
    void HideForm(const char* form) override { events.push_back(std::string("hide ") + form); }
    void UnloadForm(const char* form) override
    {
        events.push_back(std::string("unload ") + form);
        std::erase(loaded, std::string(form));
        if (restartDuringUnload && seq)
            events.push_back(seq->Start(CloseForConnection) ? "restart accepted" : "restart refused");
    }
    void AfterAllClose(int16_t kind) override
    {
        goingAtAfter = seq ? seq->CloseGoing() : true;
        events.push_back("after " + std::to_string(kind));
    }
};

} // namespace

TEST(FrmMainCloseAll, AllEightInTheirOrders)
{
    FakeHost host;
    CloseAllSequence seq;
    host.seq = &seq;
    host.loaded = {"FrmFft", "FrmPom", "FrmPara", "FrmPop", "FrmGraph", "FrmAlm", "FrmMoni", "FrmAuto"};
    RetVar = Variant();
    EXPECT_EQ(seq.OnTimer(host, 0), CloseAllSequence::Tick::Idle); // nothing asked yet
    ASSERT_TRUE(seq.Start(CloseOnly));
    EXPECT_TRUE(seq.CloseGoing());
    EXPECT_EQ(seq.OnTimer(host, 0), CloseAllSequence::Tick::Done);
    const std::vector<std::string> expected = {
        "menus off",
        "hide FrmAuto", "hide FrmAlm", "hide FrmGraph", "hide FrmPara",
        "hide FrmFft", "hide FrmMoni", "hide FrmPop", "hide FrmPom",
        "unload FrmAuto", "unload FrmMoni", "unload FrmPom", "unload FrmAlm",
        "unload FrmGraph", "unload FrmPop", "unload FrmPara", "unload FrmFft",
        "menus on", "after 9"};
    EXPECT_EQ(host.events, expected);
    EXPECT_FALSE(host.goingAtAfter);
    EXPECT_FALSE(seq.CloseGoing());
    EXPECT_TRUE(RetVar.ToBool());
}

TEST(FrmMainCloseAll, OnlyLoadedScreensAndTheKindAsked)
{
    FakeHost host;
    CloseAllSequence seq;
    host.loaded = {"FrmPara", "FrmMoni"};
    seq.Start(CloseForSeries);
    seq.Start(CloseForComSettings); // a second request before the work replaces the kind
    EXPECT_EQ(seq.CloseKind(), CloseForComSettings);
    seq.OnTimer(host, 0);
    EXPECT_EQ(host.events, (std::vector<std::string>{"menus off", "hide FrmPara", "hide FrmMoni", "unload FrmMoni",
                                                     "unload FrmPara", "menus on", "after 3"}));

    FakeHost none;
    CloseAllSequence seq2;
    seq2.Start(CloseForConnection);
    seq2.OnTimer(none, 0);
    EXPECT_FALSE(RetVar.ToBool());
    EXPECT_EQ(none.events.back(), "after 2");
}

TEST(FrmMainCloseAll, WaitsWhileBusyAndDropsRequestsWhileRunning)
{
    FakeHost host;
    CloseAllSequence seq;
    host.seq = &seq;
    host.loaded = {"FrmGraph"};
    host.restartDuringUnload = true;
    seq.Start(CloseOnly);
    EXPECT_EQ(seq.OnTimer(host, 4), CloseAllSequence::Tick::Wait);
    EXPECT_EQ(seq.OnTimer(host, 16), CloseAllSequence::Tick::Wait);
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(seq.CloseGoing());
    EXPECT_EQ(seq.OnTimer(host, 0), CloseAllSequence::Tick::Done);
    EXPECT_EQ(host.events, (std::vector<std::string>{"menus off", "hide FrmGraph", "unload FrmGraph",
                                                     "restart refused", "menus on", "after 9"}));
    EXPECT_FALSE(seq.CloseGoing());
    EXPECT_EQ(seq.OnTimer(host, 0), CloseAllSequence::Tick::Idle);
}

TEST(FrmMainTile, CoversTheAreaOnce)
{
    const QRect area(10, 20, 613, 437);
    for (bool horizontally : {true, false}) {
        for (int n = 1; n <= 11; ++n) {
            const auto rects = TileRects(n, area, horizontally);
            ASSERT_EQ(static_cast<int>(rects.size()), n);
            long sum = 0;
            for (size_t i = 0; i < rects.size(); ++i) {
                EXPECT_TRUE(area.contains(rects[i])) << n;
                sum += static_cast<long>(rects[i].width()) * rects[i].height();
                for (size_t j = i + 1; j < rects.size(); ++j)
                    EXPECT_FALSE(rects[i].intersects(rects[j])) << n << " " << i << " " << j;
            }
            EXPECT_EQ(sum, static_cast<long>(area.width()) * area.height()) << n;
        }
    }
    // Two windows: one above the other when tiled horizontally, side by side when tiled vertically.
    const auto h = TileRects(2, area, true);
    EXPECT_EQ(h[0].width(), area.width());
    EXPECT_LT(h[0].bottom(), h[1].top());
    const auto v = TileRects(2, area, false);
    EXPECT_EQ(v[0].height(), area.height());
    EXPECT_LT(v[0].right(), v[1].left());
    EXPECT_TRUE(TileRects(0, area, true).empty());
}

TEST(FrameSize, OpensAtWhatItNeedsWithinTheDesktopCentred)
{
    // Room to spare: centred in the available area, which may leave a panel at the top.
    EXPECT_EQ(FrameOpeningRect(QSize(1000, 800), QRect(0, 0, 1280, 1024)), QRect(140, 112, 1000, 800));
    EXPECT_EQ(FrameOpeningRect(QSize(1000, 800), QRect(0, 30, 1280, 994)), QRect(140, 127, 1000, 800));
    // Too small a desktop: the whole available area, or the whole of the direction that is short.
    EXPECT_EQ(FrameOpeningRect(QSize(1040, 820), QRect(0, 0, 853, 683)), QRect(0, 0, 853, 683));
    EXPECT_EQ(FrameOpeningRect(QSize(1040, 600), QRect(0, 0, 853, 683)), QRect(0, 41, 853, 600));

    // A larger font makes the screens larger in proportion; a smaller one does not shrink them.
    const QSize measured = LargestScreen(ScreenFontHeight);
    for (const ScreenOpeningSize& s : ScreenOpeningSizes) {
        EXPECT_LE(s.width, measured.width()) << s.form;
        EXPECT_LE(s.height, measured.height()) << s.form;
    }
    EXPECT_EQ(LargestScreen(ScreenFontHeight * 3 / 2),
              QSize((measured.width() * 3 + 1) / 2, (measured.height() * 3 + 1) / 2));
    EXPECT_EQ(LargestScreen(10), measured);
}
