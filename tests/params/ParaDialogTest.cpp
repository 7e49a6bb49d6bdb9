// The dialogs of the parameter screens offscreen: the value entry's three linked views, the print words,
// the load dialog off line, a list window's typed edit, and the editor's paging and selection.
#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/FrmPrmSel.h"
#include "app/Glb.h"
#include "app/Prd.h"
#include "comm/ComGlb.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "params/FrmHexBit.h"
#include "params/FrmIchiran.h"
#include "params/FrmPara.h"
#include "params/FrmParaPrn.h"
#include "params/FrmPmtLoad.h"
#include "platform/Ask.h"
#include "platform/Paths.h"

#include "PrintDialogAnswer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPalette>
#include <QLabel>
#include <QScrollBar>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void SetUpTables(int16_t level) {
    UserLevel = level;
    KisyuCode = 22;
    ComHandle = 0;
    ComPortNo = 0;
    Prm16Max = 92;
    Prm16MaxAll = 120;
    Prm32Cnt = 0;
    PrmSrc = 2;
    PrmIsAmp = 0;
    for (int n = 0; n < PrmCnt; ++n) {
        PrmAttr[n] = {
            "P" + std::to_string(n), n >= 92 ? int16_t{PrmAttrSystem} : int16_t{0}, 2, -500, 500, {}};
        PrmVal[n] = static_cast<int16_t>(n);
    }
}

std::string Bits(const FrmHexBit& w) {
    std::string s;
    for (int i = 15; i >= 0; --i)
        s += w.CmdBits[static_cast<size_t>(i)]->text().toStdString();
    return s;
}

} // namespace

TEST(ParaDialogs, ValueEntryLinksHexDecimalAndBits) {
    SetUpTables(1);
    PrmVal[3] = -1;
    int16_t got = 0;
    const auto prev = FrmHexBit::SetShowHook([&](FrmHexBit& w) {
        EXPECT_EQ(Bits(w), "1111111111111111");
        EXPECT_EQ(w.T_10->text().toStdString(), "-1");
        EXPECT_EQ(w.T_16->text().toStdString(), "FFFF");
        EXPECT_EQ(w.msg->text().toStdString(), "P3");
        w.T_16_GotFocus();
        w.T_16->setText("10000"); // clamped, and the box keeps what was typed
        EXPECT_EQ(w.T_10->text().toStdString(), "32767");
        EXPECT_EQ(Bits(w), "0111111111111111");
        EXPECT_EQ(w.T_16->text().toStdString(), "10000");
        w.T_16->setText("0");
        w.CmdBits_Click(15);
        EXPECT_EQ(w.T_10->text().toStdString(), "-32768");
        EXPECT_EQ(w.T_16->text().toStdString(), "8000");
        w.T_16_Escape();
        EXPECT_EQ(w.T_16->text().toStdString(), "FFFF");
        w.T_16->setText("9");
        w.ok_Click();
    });
    got = FrmHexBit::Exec(3);
    EXPECT_EQ(got, 9);
    FrmHexBit::SetShowHook([](FrmHexBit& w) {
        w.CmdBits_Click(0);
        w.cancel_Click();
    });
    EXPECT_EQ(FrmHexBit::Exec(3), -1);
    EXPECT_EQ(PrmVal[3], -1); // the dialog never writes the table
    FrmHexBit::SetShowHook(prev);
}

TEST(ParaDialogs, PrintDialogOffersOnlyTheListsTheSeriesHas) {
    SetUpTables(1);
    const auto prev = FrmParaPrn::SetShowHook([](FrmParaPrn& w) {
        EXPECT_FALSE(w.ChkPara32->isVisibleTo(&w));
        w.CmdOk_Click();
    });
    EXPECT_EQ(FrmParaPrn::Exec(), " para16");
    FrmParaPrn::SetShowHook([](FrmParaPrn& w) {
        w.ChkPara16->setChecked(false);
        w.CmdOk_Click();
    });
    EXPECT_EQ(FrmParaPrn::Exec(), "cancel");
    FrmParaPrn::SetShowHook(prev);
}

TEST(ParaDialogs, LoadDialogOffLineOffersFilesOnly) {
    SetUpTables(1);
    const auto prev = FrmPmtLoad::SetShowHook([](FrmPmtLoad& w) {
        EXPECT_FALSE(w.OptDrv->isEnabled());
        EXPECT_TRUE(w.OptFil->isChecked());
        EXPECT_FALSE(w.ChkRecvByPage->isEnabled());
        EXPECT_FALSE(w.ChkRecvByAxis->isChecked());
        w.close(); // by the title bar
    });
    EXPECT_EQ(FrmPmtLoad::Exec(), 0);
    FrmPmtLoad::SetShowHook(prev);
}

TEST(ParaDialogs, ListWindowEditsThroughItsBuffer) {
    SetUpTables(1);
    const auto prev = FrmIchiran::SetShowHook([](FrmIchiran& w) {
        EXPECT_EQ(w.Count(), 92);
        w.layout->setCurrentCell(5, 2);
        for (char c : std::string("12345678"))
            w.layout_KeyPress(0, c);
        EXPECT_EQ(w.layout->item(5, 2)->text().toStdString(), "1234567");
        w.layout_KeyPress(Qt::Key_Return, 0); // leaves the cell: stored within the limits
        EXPECT_EQ(w.layout->currentRow(), 6);
        EXPECT_EQ(w.layout->item(5, 2)->text().toStdString(), "500");
        w.layout->setCurrentCell(91, 2);
        w.layout_KeyPress(0, '7');
        w.layout_KeyPress(Qt::Key_Return, 0); // the last row moves up and still commits
        EXPECT_EQ(w.layout->currentRow(), 90);
        EXPECT_EQ(PrmVal[91], 7);
    });
    FrmIchiran::Exec(false);
    FrmIchiran::SetShowHook(prev);
    EXPECT_EQ(PrmVal[5], 500);
}

TEST(ParaDialogs, EditorPagesWrapAndSelectionFeedsTheSelectTab) {
    SetUpTables(1);
    plat::ScriptedAsker asker;
    QDir().mkpath(QString::fromStdString(plat::AppDir() + "/ini"));
    FrmPara p;
    p.resize(p.sizeHint());
    QApplication::processEvents();
    EXPECT_EQ(p.TabStrip1->count(), 2); // no 32-bit parameters
    ParaGrid& g = p.Grid(false);
    EXPECT_EQ(g.VScrPage->maximum(), 11);
    EXPECT_EQ(g.No1[2]->text().toStdString(), "02");
    p.PA_KeyDown(false, 0, Qt::Key_PageUp);
    EXPECT_EQ(g.page, 11);
    EXPECT_TRUE(g.No1[4]->text().isEmpty()); // 92 .. 95 are system numbers, hidden in normal mode
    p.PA_KeyDown(false, 3, Qt::Key_Down);
    EXPECT_EQ(g.page, 0);
    for (int row : {3, 6}) {
        p.PA_SpaceUp(false, row);
        EXPECT_EQ(g.PA[static_cast<size_t>(row)]->text().toStdString(), std::to_string(row));
    }
    p.SelectTab(ParaTab::Select);
    EXPECT_EQ(g.No1[0]->text().toStdString(), "03");
    EXPECT_EQ(g.No1[1]->text().toStdString(), "06");
    EXPECT_TRUE(g.No1[2]->text().isEmpty());
    EXPECT_EQ(g.VScrPage->maximum(), 0);
    p.close();
    EXPECT_TRUE(asker.Asked().empty());

    // The selection outlives the window; whether a parameter may be chosen stays the definition's.
    for (int n = 0; n < PrmCnt; ++n)
        PrmAttr[n].Type = n == 40 ? 0 : 2;
    PrmSrc = 3;
    FrmPara again;
    EXPECT_EQ(PrmAttr[3].Type, 3);
    EXPECT_EQ(PrmAttr[40].Type, 0);
    again.close();
}

// The grid is window-coloured and the row with the focus in button face, as a user sees it: from the
// opening, and after rows have been visited.
TEST(ParaDialogs, RowWithTheFocusStandsOutOnAWindowColouredGrid) {
    SetUpTables(1);
    plat::ScriptedAsker asker;
    QDir().mkpath(QString::fromStdString(plat::AppDir() + "/ini"));
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor face = QApplication::palette().color(QPalette::Button);
    ASSERT_NE(window, face);
    PrmAttr[0].Guide[0] = "Guide of P0";
    PrmAttr[3].Guide[0] = "Guide of P3";
    FrmPara p;
    p.resize(p.sizeHint());
    p.show();
    p.activateWindow();
    QTest::qWait(50); // the tab's deferred rebuild
    ParaGrid& g = p.Grid(false);
    // The colour of each row where it shows no text: the right end of its name.
    auto rows = [&] {
        const QImage img = p.grab().toImage();
        std::vector<QColor> out;
        for (QLabel* l : g.name1) {
            const QPoint at = l->mapTo(&p, QPoint(l->width() - 3, l->height() / 2));
            out.push_back(img.pixelColor(at * img.devicePixelRatio()));
        }
        return out;
    };
    auto expected = [&](int focused) {
        std::vector<QColor> out(ParaRows, window);
        out[static_cast<size_t>(focused)] = face;
        return out;
    };
    EXPECT_EQ(rows(), expected(0));
    EXPECT_EQ(g.msg[0]->text().toStdString(), "Guide of P0");
    for (int row = 0; row < 3; ++row)
        QTest::keyClick(g.PA[static_cast<size_t>(row)], Qt::Key_Down);
    EXPECT_EQ(g.row, 3);
    EXPECT_EQ(rows(), expected(3));
    EXPECT_EQ(g.msg[0]->text().toStdString(), "Guide of P3");
    p.close();
}

TEST(ParaDialogs, ShippedDefinitionsGiveTheScreensOnlyTheirOwnTexts) {
    const std::string hint =
        "Change the setting value by pressing Enter key or by clicking the <Setting value "
        "change>, after entering the setting value.";
    for (auto& m : AutoMsg)
        m.clear();
    for (const char* file : {"TESK_R.DEF", "ZT040P______.DEF"}) {
        ASSERT_EQ(FIL_ReadGroupFile(std::string(MEVALO_RUNTIME_DIR) + "/ini/def/" + file, 0), -1) << file;
        for (int i = 0; i < AutoMsgCnt; ++i)
            EXPECT_EQ(AutoMsg[i], i == 30 ? hint : "") << file << " message " << i;
    }

    SetUpTables(1);
    PrmAttr[1].Guide[0] = "guide of P1";
    plat::ScriptedAsker asker;
    QDir().mkpath(QString::fromStdString(plat::AppDir() + "/ini"));
    FrmPara p;
    ParaGrid& g = p.Grid(false);
    EXPECT_EQ(g.LblMsgWrite->text().toStdString(), hint);
    EXPECT_EQ(g.PicGuide->toolTip().toStdString(), "Display the explanation of the parameter.");
    p.show();
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    QTest::qWait(50); // the load's deferred tab set-up focuses row 0
    g.PA[1]->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(g.PicGuide->isVisible());
    EXPECT_EQ(g.msg[0]->text().toStdString(), "guide of P1");
    p.close();
}

TEST(ParaDialogs, PrintGoesThroughThePrintDialogAndTellsHowItEnded) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    SetUpTables(3); // SE mode: numbers 0 .. 128
    plat::ScriptedAsker asker;
    QDir().mkpath(QString::fromStdString(plat::AppDir() + "/ini"));
    Prm16MaxAll = 128;
    KisyuCode = 25;
    QTemporaryDir dir;
    std::vector<std::string> status;
    const FrameHooks keepFrame = Frame();
    Frame().updStat = [&status](const std::string& t) { status.push_back(t); };
    const auto prevPrn = FrmParaPrn::SetShowHook([](FrmParaPrn& w) { w.CmdOk_Click(); });
    QString text;
    {
        FrmPara p;
        text = testmain::PrintThreeWays([&p] { p.MnuInSatu_Click(); }, dir.path(), "Print of the parameter",
                                        "Print completed.", asker, status);
        p.close();
    }
    FrmParaPrn::SetShowHook(prevPrn);
    Frame() = keepFrame;
    EXPECT_TRUE(text.contains("P128")) << text.toStdString(); // the last number of the mode is on paper
    EXPECT_FALSE(text.contains("P129"));
}

TEST(ParaDialogs, SelectionFileRoundTripsForABlockSeries) {
    SetUpTables(1); // family M: the selection file is a group file all the same
    plat::ScriptedAsker asker;
    QDir().mkpath(QString::fromStdString(plat::AppDir() + "/ini"));
    KisyuMei = "TESKM22A1B__";
    QTemporaryDir dir;
    const std::string file = QDir(dir.path()).filePath("sel.prs").toStdString();
    const auto prevDlg = SetFileDlgShow([&](const FileDlgRequest&) { return file; });
    const auto prevSel = FrmPrmSel::SetAnswerer([&](auto&, auto&, auto&) { return file; });
    {
        FrmPara p;
        PrmAttr[4].Type = 3;
        p.MnuPrmSelHoZon_Click();
        PrmAttr[4].Type = 2;
        PrmAttr[5].Type = 0; // not offered by the definition: the file does not change that
        p.MnuPrmSelYomiDashi_Click();
        p.close();
    }
    SetFileDlgShow(prevDlg);
    FrmPrmSel::SetAnswerer(prevSel);
    EXPECT_EQ(PrmAttr[4].Type, 3);
    EXPECT_EQ(PrmAttr[5].Type, 0);
    EXPECT_TRUE(asker.Asked().empty());
}
