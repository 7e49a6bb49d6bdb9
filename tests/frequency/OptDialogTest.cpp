// The save and load option dialogs of the frequency files.
#include "FrqEnv.h"

#include "frequency/FrmFrqOpt.h"
#include "platform/Ask.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

namespace {

TEST(FrqOptions, SaveOffersResultWithParametersFirst) {
    const auto prev = FrmFrqSav::SetShowHook([](FrmFrqSav& w) { w.CmdOk_Click(); });
    EXPECT_EQ(FrmFrqSav::Exec(), "parameter");
    FrmFrqSav::SetShowHook([](FrmFrqSav& w) {
        w.OptSaveMode[3]->setChecked(true);
        w.CmdOk_Click();
    });
    EXPECT_EQ(FrmFrqSav::Exec(), "idtformat");
    FrmFrqSav::SetShowHook([](FrmFrqSav& w) { w.Command1_Click(); });
    EXPECT_EQ(FrmFrqSav::Exec(), "cancel");
    FrmFrqSav::SetShowHook(prev);
}

// The boxes each kind of file starts with, and what OK at once answers.
TEST(FrqOptions, LoadStartsAsTheKindOfFileOffers) {
    const struct {
        const char* path;
        bool refEnabled;
        const char* enabled; // per box: result, condition, reference, parameter
        const char* answer;
        const char* answerToRef;
    } rows[] = {
        {"a.idt", false, "1000", " result condition", nullptr},
        {"A.IDT", false, "1000", " result condition", nullptr},
        {"a.fcc", false, "0100", " condition", nullptr},
        {"a.fcd", true, "1010", " result condition reference", " toref result condition"},
        {"a.fcp", true, "1011", " result condition reference parameter", " toref result condition"},
    };
    for (const auto& r : rows)
        for (bool toRef : {false, true}) {
            if (toRef && !r.answerToRef) continue;
            std::string enabled;
            const auto prev = FrmFrqLod::SetShowHook([&](FrmFrqLod& w) {
                EXPECT_EQ(w.ChkReference->isEnabled(), r.refEnabled) << r.path;
                for (QCheckBox* c : w.ChkLoadMode)
                    enabled += c->isEnabled() ? '1' : '0';
                w.ChkReference->setChecked(toRef);
                EXPECT_EQ(w.FraReference->isVisibleTo(&w), toRef);
                w.CmdOk_Click();
            });
            EXPECT_EQ(FrmFrqLod::Exec(r.path, "Reading frequency characteristics."),
                      toRef ? r.answerToRef : r.answer)
                << r.path;
            EXPECT_EQ(enabled, r.enabled) << r.path;
            FrmFrqLod::SetShowHook(prev);
        }
}

TEST(FrqOptions, LoadWithNothingTickedAsksAndStaysOpen) {
    plat::ScriptedAsker asker;
    const auto prev = FrmFrqLod::SetShowHook([](FrmFrqLod& w) {
        w.show();
        w.ChkLoadMode[0]->setChecked(false);
        w.ChkLoadMode[1]->setChecked(false);
        w.CmdOk_Click();
        EXPECT_TRUE(w.isVisible());
        w.ChkReference->setChecked(true);
        for (QCheckBox* c : w.ChkRefLoadMode)
            c->setChecked(false);
        w.CmdOk_Click(); // the reference option alone is an answer
    });
    EXPECT_EQ(FrmFrqLod::Exec("x.idt", "t"), " toref");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Set the item to read.");
    FrmFrqLod::SetShowHook(prev);
}

} // namespace
