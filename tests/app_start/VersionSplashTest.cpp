#include "StartEnv.h"

#include "app/FrmOpen.h"
#include "app/FrmVersion.h"
#include "platform/Ask.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

namespace {

std::vector<std::pair<std::string, double>> Flat(const std::vector<VerLine>& lines) {
    std::vector<std::pair<std::string, double>> out;
    for (const VerLine& l : lines)
        out.emplace_back(l.text, l.y);
    return out;
}

struct VersionHooksReset {
    ~VersionHooksReset() { VersionHooks() = VersionReadHooks{}; }
};

} // namespace

class VersionSplashTest : public StartEnv {
  protected:
    void SetUp() override {
        StartEnv::SetUp();
        FileVerTbl[0] = {"default.DEF", "1.00", -1};
        FileVerTbl[1] = {"hidden.DEF", "9.99", 0};
        FileVerTbl[2] = {"TESK_R.DEF", "2.10", -1};
    }
};

TEST_F(VersionSplashTest, LinesOfFilesAmplifierCpusAndMotor) {
    CpuVerRec cpu[CpuVerCnt];
    cpu[0] = {1, 3, 5, 0};
    cpu[1] = {0, 7, 7, 0}; // not present: no line
    cpu[3] = {-1, 2, 10, 0};
    KisyuMei = "ZT010A______";

    using L = std::vector<std::pair<std::string, double>>;
    EXPECT_EQ(Flat(BuildVersionLines(false, cpu)), (L{{"default.DEF:1.00", 0.2}, {"TESK_R.DEF:2.10", 1.2}}));

    EXPECT_EQ(Flat(BuildVersionLines(true, cpu)), (L{{"default.DEF:1.00", 0.2},
                                                     {"TESK_R.DEF:2.10", 1.2},
                                                     {"Amplifier model : ZT010A", 3.2},
                                                     {"Version", 4.2},
                                                     {"CPU 1 : Version 3.05", 5.2},
                                                     {"CPU 4 : Version 2.10", 6.2}}));

    MotorMei = {1, "QM-200"};
    const auto lines = BuildVersionLines(true, cpu);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, "Motor model : QM-200");
    EXPECT_DOUBLE_EQ(lines.back().y, 8.2);
}

TEST_F(VersionSplashTest, WindowWithoutAmplifierShowsFilesAndSaysSo) {
    plat::ScriptedAsker ask;
    FrmVersion f;
    f.show();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Can not connect amplifier.");
    EXPECT_EQ(ask.Asked()[0].title, "Display of amplifier version");
    EXPECT_EQ(f.PicVer->Lines().size(), 2u);
    EXPECT_EQ(f.windowTitle().toStdString(), "Mevalo Version information of the Mevalo");
    EXPECT_EQ(f.LblTitle->text().toStdString(), "Mevalo");
    EXPECT_EQ(f.lblVersion->text().left(15).toStdString(), "Mevalo version ");
    f.CmdOk_Click();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(VersionSplashTest, WindowReadsVersionsIntoItsOwnTable) {
    VersionHooksReset reset;
    plat::ScriptedAsker ask;
    CpuVer[0] = {1, 9, 9, 0}; // what the set-up model's file names were made from
    VersionHooks().chkComm = [] { return true; };
    VersionHooks().getVerInfo = [](CpuVerRec(&cpu)[CpuVerCnt]) { cpu[0] = {1, 3, 5, 0}; };
    KisyuMei = "ZT010A______";
    FrmVersion f;
    f.show();
    EXPECT_TRUE(ask.Asked().empty());
    std::vector<std::string> texts;
    for (const VerLine& l : f.PicVer->Lines())
        texts.push_back(l.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "CPU 1 : Version 3.05"), texts.end());
    EXPECT_EQ(CpuVer[0].Major, 9);
    EXPECT_EQ(CpuVer[0].Minor, 9);
    EXPECT_EQ(CpuVer[0].Present, 1);
}

TEST_F(VersionSplashTest, SplashShowsThePictureAndClosesOnTimeOrKey) {
    {
        FrmOpen f;
        EXPECT_EQ(f.size(), QSize(480, 280));
        ASSERT_NE(f.Image1->pixmap().isNull(), true);
        f.show();
        QTest::keyClick(&f, Qt::Key_Space);
        EXPECT_FALSE(f.isVisible());
    }
    QElapsedTimer t;
    t.start();
    ShowFrmOpen(100);
    EXPECT_GE(t.elapsed(), 90);
    EXPECT_LT(t.elapsed(), 5000);

    // Without its picture the splash still comes and goes.
    fs::remove(Path("img/title.bmp"));
    FrmOpen bare;
    EXPECT_TRUE(bare.Image1->pixmap().isNull());
    bare.show();
    QTest::keyClick(&bare, Qt::Key_A);
    EXPECT_FALSE(bare.isVisible());
}
