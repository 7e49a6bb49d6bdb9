// The option words of the save, load and print dialogs.
#include "monitor/FrmWavDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "platform/Ask.h"

namespace {

TEST(WavDlg, SaveWordsAndVersion) {
    struct Row {
        int option;
        bool ver2;
        const char* item;
        const char* ver;
    };
    for (Row r : {Row{0, false, "result", "ver3"}, Row{1, true, "condition", "ver2"}, Row{2, false, "parameter", "ver3"},
                  Row{-1, false, "cancel", "ver3"}}) {
        auto prev = FrmWavSav::SetShowHook([r](FrmWavSav& w) {
            EXPECT_TRUE(w.OptSaveMode[2]->isChecked()); // as it opens
            if (r.option < 0) return w.CmdCancel_Click();
            w.OptSaveMode[r.option]->setChecked(true);
            w.ChkVer2->setChecked(r.ver2);
            w.CmdOk->click();
        });
        std::string ver;
        EXPECT_EQ(FrmWavSav::Exec(ver), r.item);
        EXPECT_EQ(ver, r.ver);
        FrmWavSav::SetShowHook(prev);
    }
}

TEST(WavDlg, LoadOffersWhatTheFileKindHolds) {
    struct Row {
        const char* file;
        bool refEnabled;
        bool enabled[4];
        const char* words;
    };
    const Row rows[] = {
        {"x.wgc", false, {false, true, false, false}, "condition"},
        // The result locks the condition on.
        {"y.WGD", true, {true, false, true, false}, "resultconditionreference"},
        {"namewgp", true, {true, false, true, true}, "resultconditionreferenceparameter"},
    };
    for (const Row& r : rows) {
        auto prev = FrmWavLod::SetShowHook([&r](FrmWavLod& w) {
            EXPECT_EQ(w.ChkReference->isEnabled(), r.refEnabled) << r.file;
            for (int i = 0; i < 4; ++i) EXPECT_EQ(w.ChkLoadMode[i]->isEnabled(), r.enabled[i]) << r.file << i;
            w.CmdOk->click();
        });
        EXPECT_EQ(FrmWavLod::Exec(r.file), r.words);
        FrmWavLod::SetShowHook(prev);
    }
}

TEST(WavDlg, LoadAsReferenceAndEmptySelection) {
    plat::ScriptedAsker asker;
    auto prev = FrmWavLod::SetShowHook([](FrmWavLod& w) {
        w.ChkReference->setChecked(true);
        EXPECT_TRUE(w.FraMeasure->isHidden());
        EXPECT_FALSE(w.FraReference->isHidden());
        w.CmdOk->click();
    });
    EXPECT_EQ(FrmWavLod::Exec("a.wgd"), "torefresult");
    FrmWavLod::SetShowHook([](FrmWavLod& w) {
        w.ChkLoadMode[0]->setChecked(false);
        w.ChkLoadMode[1]->setChecked(false);
        w.ChkLoadMode[2]->setChecked(false);
        w.CmdOk->click(); // refused: stays open with an empty word
        EXPECT_EQ(w.Result(), "");
    });
    EXPECT_EQ(FrmWavLod::Exec("a.wgd"), "");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Set the item to read.");
    EXPECT_EQ(asker.Asked()[0].title, "Set the item of waveform graphic to read.");
    FrmWavLod::SetShowHook(prev);
}

TEST(WavDlg, PrintWords) {
    struct Row {
        bool graph, param;
        const char* words;
    };
    for (Row r : {Row{true, false, "graph"}, Row{true, true, "graphparameter"}, Row{false, true, "parameter"},
                  Row{false, false, ""}}) {
        auto prev = FrmPrnItem::SetShowHook([r](FrmPrnItem& w) {
            EXPECT_EQ(w.windowTitle().toStdString(), "Print of the frequency characteristics");
            w.ChkGraph->setChecked(r.graph);
            w.ChkParam->setChecked(r.param);
            w.CmdOk_Click();
        });
        EXPECT_EQ(FrmPrnItem::Exec("Print of the frequency characteristics"), r.words);
        FrmPrnItem::SetShowHook(prev);
    }
}

} // namespace
