// The parameter screens against the simulated amplifier: what goes on the wire for a single write, a
// receive and a send, the EEPROM write with its change list and a power cycle after it, and the load
// source dialog opening the editor.
#include "ParaEnv.h"

#include "app/FileDlg.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "app/SetModel.h"
#include "platform/FormRegistry.h"
#include "app/Prd.h"
#include "data/PmtFil.h"
#include "params/FrmPara.h"
#include "params/FrmPmtLoad.h"
#include "params/ParaTransfer.h"
#include "params/PrmWiring.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>
#include <QMdiArea>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace paratest;

namespace {

bool Has(const std::vector<std::string>& log, const std::string& item) {
    return std::find(log.begin(), log.end(), item) != log.end();
}

// The position of the first request that begins with prefix, or -1.
int At(const std::vector<std::string>& log, const std::string& prefix) {
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
}

// The model answers requests of one command and mode with a refusal; everything else as it would.
template <class Model> ampsim::Handler Refusing(Model& m, int cmd, int mode, int page = -1) {
    return [&m, cmd, mode, page](const ampsim::Request& rq) -> std::optional<std::vector<uint8_t>> {
        if (rq.cmd == cmd && rq.mode == mode && (page < 0 || (!rq.data.empty() && rq.data[0] == page)))
            return std::vector<uint8_t>{0x88};
        return m.answer(rq);
    };
}

} // namespace

TEST_F(ParaR, SingleWriteSendsTheTableValueAndReadsItBack) {
    ASSERT_TRUE(RecvAll());
    sim.clearLog();
    SetPrmOne(5, 123);
    EXPECT_EQ(Log(), (std::vector<std::string>{"0/0", "1/7 01", "8/1 05 7B 00", "1/7 00", "8/0 05"}));
    EXPECT_EQ(model->prm16(5).ram, 123);
    EXPECT_EQ(PrmVal[5], 123);
    EXPECT_EQ(stat.back(), "16bit Parameter value change completed");

    sim.clearLog();
    SetPrmOne(5, 123.0); // unchanged: nothing goes out
    SetPrmOne(6, 40000); // clamped to 32767, then to the parameter's own 500
    EXPECT_EQ(model->prm16(6).ram, 500);
    EXPECT_EQ(PrmVal[6], 500);
    EXPECT_EQ(At(Log(), "8/1 05"), -1);

    // The value shown after a 32-bit write is the one read back from the same parameter.
    SetPrmOne32(3, -100000);
    const auto log = Log();
    EXPECT_TRUE(Has(log, "8/12 03 60 79 FE FF"));
    EXPECT_GT(At(log, "11/6 03"), At(log, "8/12 03"));
    EXPECT_EQ(model->prm32(3).ram, -100000);
    EXPECT_EQ(Prm32Val[3], -100000);
    EXPECT_EQ(stat.back(), "32bit parameter value change completed.");
    const int16_t level = UserLevel;
    UserLevel = 2; // a system one reads back from the system table
    sim.clearLog();
    SetPrmOne32(Prm32Max + 1, 4242);
    EXPECT_TRUE(Has(Log(), "8/14 01 92 10 00 00"));
    EXPECT_TRUE(Has(Log(), "11/9 01"));
    EXPECT_EQ(model->prm32(Prm32Max + 1).ram, 4242);
    EXPECT_EQ(Prm32Val[Prm32Max + 1], 4242);
    UserLevel = level;

    model->setFrontPanel(true); // the right is refused: the old value comes back
    SetPrmOne(7, 50);
    EXPECT_EQ(PrmVal[7], 7);
    EXPECT_EQ(model->prm16(7).ram, 7);
    EXPECT_EQ(stat.back(), "16bit Parameter value change failed");
    model->setFrontPanel(false);

    SetPrmSrc(2, ""); // values from a file are only stored
    sim.clearLog();
    SetPrmOne(8, 77);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(PrmVal[8], 77);
    EXPECT_EQ(UsrPrmSent, 0);
}

TEST_F(ParaR, ReceiveAllCountsAsTheAmplifiersOnlyWhenEveryPageCame) {
    PrmSrc = 2;
    sim.setHandler(Refusing(*model, 11, 1, 3));
    EXPECT_FALSE(RecvAll());
    const auto log = Log();
    for (const char* later : {"11/1 04", "11/1 07", "11/7 00", "11/4 00", "11/4 07", "11/10 00"})
        EXPECT_TRUE(Has(log, later)) << later;
    EXPECT_TRUE(Asked("16bit User parameter reception failed.\nPage:3"));
    EXPECT_EQ(PrmSrc, 2);
    EXPECT_EQ(UsrPrmSent, 0);
    EXPECT_EQ(PrmVal[0x45], 0x45); // the pages that came are stored

    sim.setHandler(model->handler());
    EXPECT_TRUE(RecvAll());
    EXPECT_EQ(PrmSrc, 1);
    EXPECT_EQ(UsrPrmSent, -1);
    EXPECT_EQ(Prm32Val[25], 25000);
}

TEST_F(ParaR, SendPutsTheTableIntoTheAmplifiersRam) {
    SetPrmSrc(2, "");
    for (int n = 0; n < 128; ++n)
        PrmVal[n] = static_cast<int16_t>(n == 0x20 ? 0x20 : -n);
    Prm32Val[19] = -5;
    sim.clearLog();
    EXPECT_TRUE(SendUser());
    const auto log = Log();
    EXPECT_EQ(At(log, "11/2 07") > At(log, "11/2 00"), true);
    EXPECT_NE(At(log, "11/8 02"), -1);
    EXPECT_EQ(model->prm16(95).ram, -95);
    EXPECT_EQ(model->prm32(19).ram, -5);
    EXPECT_EQ(UsrPrmSent, -1);

    sim.clearLog();
    EXPECT_FALSE(SendSystem()); // normal mode
    EXPECT_TRUE(Asked(ParaText::Password));
    EXPECT_TRUE(Log().empty());
}

TEST_F(ParaR, EepromWriteListsTheChangesAndSurvivesAPowerCycle) {
    FrmEEP::CheckPoint(EepWord::ForcedAll);
    EXPECT_EQ(PrmCmpDone[0], -1);
    EXPECT_EQ(Prm32CmpDone[0], -1);
    EXPECT_EQ(PrmCmpVal[0][0x10], 0x10);
    EXPECT_TRUE(RecvAll());
    SetPrmOne(5, 123);
    SetPrmOne(0x10, 44);
    SetPrmOne(0x20, 9); // never written, never listed
    EXPECT_EQ(PrmVal[5], 123);
    EXPECT_EQ(PrmVal[0x10], 44);

    sim.clearLog();
    FrmEEP::Exec(EepWord::UserExplicit);
    EXPECT_EQ(eepRows, 2);
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(ComBusy, 0);
    const auto log = Log();
    EXPECT_LT(At(log, "8/4"), At(log, "11/1 00"));
    EXPECT_EQ(model->prm16(5).eep, 123);

    asker.Push(plat::No); // an immediate second write finds nothing to list
    FrmEEP::Exec(EepWord::UserExplicit);
    EXPECT_TRUE(Asked("No change in parameter. Do you still write ?"));
    EXPECT_EQ(DlgResult, 0);

    eepOk = false;
    SetPrmOne(0x11, 55);
    EXPECT_EQ(PrmVal[0x11], 55);
    FrmEEP::Exec(EepWord::UserExplicit);
    EXPECT_EQ(eepRows, 1);
    model->powerCycle();
    EXPECT_EQ(model->prm16(5).ram, 123);
    EXPECT_EQ(model->prm16(0x11).ram, 0x11);
}

// Equal numbers of both widths are told apart by their type: no cell of the list may be cut.
TEST_F(ParaR, EepromListShowsEveryCellWhole) {
    FrmEEP::CheckPoint(EepWord::ForcedAll);
    ASSERT_TRUE(RecvAll());
    SetPrmOne(5, 123);
    SetPrmOne32(5, 123456);
    std::vector<std::string> types;
    const auto hook = FrmEEP::SetShowHook([&](FrmEEP& w) {
        w.show();
        QApplication::processEvents();
        QTreeWidget* list = w.ListView1;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            types.push_back(list->topLevelItem(i)->text(0).toStdString() + " " +
                            list->topLevelItem(i)->text(1).toStdString());
        const QFontMetrics fm(list->font());
        for (int c = 0; c < list->columnCount(); ++c) {
            EXPECT_GE(list->columnWidth(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << c;
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                EXPECT_GT(list->columnWidth(c), fm.horizontalAdvance(list->topLevelItem(i)->text(c))) << c;
        }
        EXPECT_LE(list->header()->length(), list->viewport()->width()); // no column behind a scroll bar
        w.CmdCancel_Click();
    });
    FrmEEP::Exec(EepWord::UserExplicit);
    FrmEEP::SetShowHook(hook);
    EXPECT_EQ(types, (std::vector<std::string>{"Prm16 05", "Prm32 05"}));
}

TEST_F(ParaR, RefusedEepromWriteKeepsTheChangeListed) {
    FrmEEP::CheckPoint(EepWord::ForcedAll);
    ASSERT_TRUE(RecvAll());
    SetPrmOne(5, 321);
    EXPECT_EQ(PrmVal[5], 321);
    sim.setHandler(Refusing(*model, 8, 4));
    FrmEEP::Exec(EepWord::UserExplicit);
    EXPECT_EQ(DlgResult, 0);
    EXPECT_EQ(ComBusy, 0);
    EXPECT_TRUE(Asked("Writing to EEPROM  failed"));
    EXPECT_EQ(BuildChangeList(EepWord::UserExplicit, 0).size(), 1u);
}

TEST_F(ParaR, LoadDialogOpensTheEditorAndSavedFilesComeBack) {
    const auto previous = FrmPmtLoad::SetShowHook([](FrmPmtLoad& w) { w.CmdOk_Click(); });
    OpenParaEditor();
    FrmPmtLoad::SetShowHook(previous);
    FrmPara* p = FrmPara::Instance();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(
        PumpUntil([&] { return p->windowTitle() == "Parameter(Read-out value from the amplifier.)"; }));
    const auto log = Log();
    EXPECT_LT(At(log, "11/1 07"), At(log, "11/4 00"));
    EXPECT_LT(At(log, "11/4 07"), At(log, "11/7 00"));
    EXPECT_EQ(p->Grid(false).PA[5]->text().toStdString(), "5");
    EXPECT_EQ(p->TabStrip1->count(), 4);

    // Save, change, reload: the file's values and the source caption come back.
    QTemporaryDir dir;
    const std::string file = QDir(dir.path()).filePath("t.prm").toStdString();
    const auto prevRem = FrmRem::SetShowHook([](FrmRem& w) { w.CmdOk_Click(); });
    const auto prevDlg = SetFileDlgShow([&](const FileDlgRequest&) { return file; });
    const auto prevSel = FrmPrmSel::SetAnswerer([&](auto&, auto&, auto&) { return file; });
    p->MnuPrmHoZon_Click();
    PrmVal[5] = 99;
    p->MnuPrmYomiDashi_Click();
    EXPECT_EQ(PrmVal[5], 5);
    EXPECT_TRUE(PumpUntil([&] { return p->windowTitle() == "Parameter(Value read from the file.)"; }));
    FrmRem::SetShowHook(prevRem);
    SetFileDlgShow(prevDlg);
    FrmPrmSel::SetAnswerer(prevSel);
    p->close();
    delete p;
}

TEST_F(ParaM, ReferenceComesFromTheBlockReadsAndEepromWriteUsesIt) {
    FrmEEP::CheckPoint(EepWord::ForcedAll);
    EXPECT_EQ(PrmCmpDone[0], -1);
    EXPECT_EQ(PrmCmpVal[0][5], 105);
    EXPECT_EQ(PrmCmpVal[0][Prm16Max + 2], 502);
    EXPECT_EQ(PrmVal[5], 0); // the working table is left alone
    EXPECT_TRUE(RecvAll());
    EXPECT_EQ(PrmVal[Prm16Max + 2], 502);
    SetPrmOne(5, 7);
    EXPECT_EQ(PrmVal[5], 7);
    sim.clearLog();
    FrmEEP::Exec(EepWord::UserExplicit);
    EXPECT_EQ(eepRows, 1);
    EXPECT_NE(At(Log(), "8/4"), -1);
    EXPECT_EQ(model->prm16(false, 5).eep, 7);
    EXPECT_TRUE(BuildChangeList(EepWord::UserExplicit, 0).empty());
}

TEST_F(ParaR, MainWindowOpensTheEditorOnceAndCloseAllTakesItDown) {
    const MainLinks savedLinks = Links();
    const AxisScreenCalls savedCalls = AxisScreens();
    WireParamScreens();
    CallCheckPoints(); // an axis take-up reads the new axis's EEPROM copy
    EXPECT_EQ(PrmCmpDone[0], -1);
    EXPECT_EQ(PrmCmpVal[0][0x10], 0x10);
    int loads = 0;
    const auto previous = FrmPmtLoad::SetShowHook([&](FrmPmtLoad& w) {
        ++loads;
        w.CmdOk_Click();
    });
    {
        Mevalo main;
        main.show();
        main.MnuHyouji_Click(1);
        main.MnuHyouji_Click(1); // a second open brings the same window forward
        EXPECT_EQ(loads, 2);
        EXPECT_EQ(main.MdiArea()->subWindowList().size(), 1);
        ASSERT_NE(FrmPara::Instance(), nullptr);
        main.ParaUpdMsg("Value after auto tuning");
        EXPECT_TRUE(PumpUntil(
            [] { return FrmPara::Instance()->windowTitle() == "Parameter(Value after auto tuning)"; }));

        // The EEPROM dialog drops a second request that follows its close within 100 ms.
        SetPrmOne(5, 11);
        EXPECT_EQ(PrmVal[5], 11);
        eepOk = false;
        FrmEEP::Exec(EepWord::UserExplicit);
        const int shown = eepShown;
        FrmEEP::Exec(EepWord::UserExplicit);
        EXPECT_EQ(eepShown, shown);
        Pump(150);
        FrmEEP::Exec(EepWord::UserExplicit);
        EXPECT_EQ(eepShown, shown + 1);

        Pump(150);
        main.MnuHyouji_Click(9);
        QElapsedTimer t;
        t.start();
        while (main.CloseGoing() && t.elapsed() < 3000)
            Pump(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(plat::IsFrmLoad("FrmPara"));
        EXPECT_EQ(FrmPara::Instance(), nullptr);
    }
    FrmPmtLoad::SetShowHook(previous);
    Links() = savedLinks;
    AxisScreens() = savedCalls;
}

TEST_F(ParaR, EditorTellsWhatItWillNotDo) {
    model->setPrm16(9, {9, 9, -1000, 1000, PrmAttrPowerOff}); // the pages carry the attributes
    SetPrmSrc(2, "");
    FrmPara p;
    EXPECT_TRUE(PumpUntil([&] {
        return Asked(
            "Changed parameter isn't transmitted to the amplifier at every change. Click the transmit "
            "button when necessary.");
    }));
    p.MnuEepromKakiKomi_Click();
    EXPECT_TRUE(
        Asked("Editted  parameter isn't transmitted to the amplifier. Transmit bofore writing to EEPROM."));
    p.MnuSysEepromKakiKomi_Click();
    EXPECT_TRUE(Asked(
        "Editted system parameter isn't transmitted to the amplifier. Transmit bofore writing to EEPROM."));
    asker.Push(plat::No);
    p.MnuPrmKiTeiChi_Click();
    EXPECT_TRUE(Asked("Eliminate currently set valuses and read factory preset values?"));
    EXPECT_EQ(PrmSrc, 2);

    ASSERT_TRUE(RecvAll());
    // Not a number, and a number beyond any range: the stored value comes back, nothing is sent.
    sim.clearLog();
    for (const char* typed : {"x", "1e999", "-1e999"}) {
        p.Grid(false).PA[1]->setText(typed);
        p.CommitRow(false, 1);
        EXPECT_EQ(p.Grid(false).PA[1]->text().toStdString(), "1") << typed;
    }
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(model->prm16(1).ram, 1);
    p.GoToPage(false, 1);
    p.Grid(false).PA[1]->setText("19");
    p.PA_KeyDown(false, 1, Qt::Key_Return);
    EXPECT_EQ(model->prm16(9).ram, 19);
    EXPECT_EQ(PrmVal[9], 19);
    EXPECT_EQ(p.Grid(false).PA[1]->text().toStdString(), "19");
    const std::string notice =
        "This parameter becomes active by re-switching on electrical power after writing in EEPROM.";
    EXPECT_TRUE(PumpUntil([&] { return Asked(notice); }));
    eepOk = false;
    p.close();
    EXPECT_EQ(eepShown, 1); // closing offers the user EEPROM write
}

TEST_F(ParaR, PageByPageReadsTheFamilyPagesThatHoldTheScreenPage) {
    struct Flip {
        ParaTab tab;
        int page, last;
        std::vector<std::string> log;
    };
    // 96 user and 128 system 16-bit parameters in pages of 16; 20 user and 13 system 32-bit ones in pages
    // of 8, so that screen pages 2 and 3 of the 32-bit tab straddle the user and system pages.
    const Flip flips[] = {
        {ParaTab::EditAll, 0, -2, {"0/0", "11/1 00"}},
        {ParaTab::EditAll, 1, 0, {"0/0"}},
        {ParaTab::EditAll, 12, 1, {"0/0", "11/1 06"}},
        {ParaTab::EditAll, 16, 12, {"0/0", "11/4 00"}},
        {ParaTab::Edit32, 2, 0, {"0/0", "11/7 02", "11/10 00"}},
        {ParaTab::Edit32, 3, 2, {"0/0", "11/10 00", "11/10 01"}},
        {ParaTab::Edit32, 3, 3, {"0/0"}},
    };
    for (const Flip& f : flips) {
        SCOPED_TRACE(f.page);
        sim.clearLog();
        EXPECT_TRUE(RecvPage(f.tab, f.page, f.last, false));
        EXPECT_EQ(Log(), f.log);
    }
    EXPECT_EQ(PrmVal[131], 131);
    EXPECT_EQ(Prm32Val[19], 19000);
    EXPECT_EQ(Prm32Val[32], 32000);
}
