// The axis query and search, the axis window, the RS-232C set-up and the model set-up, over an open link
// to the simulated line.
#include "ConnEnv.h"
#include "app/FrmAxis.h"
#include "comm/QelApi.h"
#include "comm/TeskCmd.h"
#include "platform/EndProgram.h"
#include "platform/FormRegistry.h"

#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace {

// A loaded window of the given form name, standing in for a screen of another part.
class FakeScreen {
  public:
    explicit FakeScreen(const char* name) { plat::RegisterForm(name, &w_); }
    ~FakeScreen() { plat::UnregisterForm(&w_); }

  private:
    QWidget w_;
};

} // namespace

class AxisEnv : public ConnEnv {
  protected:
    void SetUp() override {
        ConnEnv::SetUp();
        LinkKind = 2;
        // Short time-outs: the silent addresses of a scan cost one time-out each.
        ComTime[0] = {100, 300, 1};
        ASSERT_TRUE(ComOpen(kPort, 9600));
        ComPortNo = kPort;
        ComBaud = 9600;
        sim_->clearLog();
        savedVer_ = FamilyM().VerJuShinM;
        FamilyM().VerJuShinM = [this](CpuVerRec(&)[CpuVerCnt]) {
            journal_.push_back("versions at " + std::to_string(AxisNo));
            return int16_t(-1);
        };
    }
    void TearDown() override {
        FamilyM().VerJuShinM = savedVer_;
        ConnEnv::TearDown();
    }
    std::function<int16_t(CpuVerRec (&)[CpuVerCnt])> savedVer_;
};

TEST_F(AxisEnv, SearchFromTheWindowScansWhenId0Answers0) {
    sim_->setAddresses({0, 3, 5, 7});
    sim_->setHandler(AxisAnswer(9), 5); // a miss-set switch: answers with another address
    std::vector<uint32_t> t1During;
    Frame().updPbar = [&](long cur, long total) {
        pbar_.emplace_back(cur, total);
        t1During.push_back(qel::SetT1(ComHandle, 0));
    };
    AxisNo = -1;
    FrmAxis f;
    EXPECT_NE(ComBusy & 0x20, 0);
    f.CmdReScan->click();

    for (int i = 0; i < 16; ++i) {
        const bool on = i == 0 || i == 3 || i == 7;
        EXPECT_EQ(AxisTxt[i], on ? "Connection" : "") << i;
        EXPECT_EQ(f.OptAxis[i]->text().toStdString(), std::to_string(i) + (on ? ":Connection" : ":")) << i;
    }
    EXPECT_TRUE(f.OptAxis[0]->isChecked()); // no axis chosen before: the search result
    std::vector<int> asked(16);
    for (int i = 0; i < 16; ++i)
        asked[i] = i;
    EXPECT_EQ(Addresses(11, 0), asked);
    ASSERT_EQ(pbar_.size(), 16u);
    EXPECT_EQ(pbar_.front(), (std::pair<long, long>{0, 15}));
    EXPECT_EQ(pbar_.back(), (std::pair<long, long>{15, 15}));
    for (uint32_t t : t1During)
        EXPECT_EQ(t, 60u);                     // the scan's time-outs while it runs
    EXPECT_EQ(qel::SetT1(ComHandle, 0), 100u); // the normal ones afterwards
    EXPECT_TRUE(f.CmdOk->isEnabled());
    EXPECT_TRUE(f.CmdReScan->isEnabled());
}

TEST_F(AxisEnv, Id0AnsweringAnotherAddressMarksOnlyThatOne) {
    sim_->setHandler(AxisAnswer(5), 0);
    EXPECT_EQ(SearchAxis(), 5);
    EXPECT_EQ(Addresses(11, 0), std::vector<int>{0});
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(AxisTxt[i], i == 5 ? "Connection" : "") << i;
    // The chosen axis stays selected while it answered; else the search result is.
    EXPECT_EQ(AxisSelection(5, -1), 5);
    EXPECT_EQ(AxisSelection(0, 5), 5);
    EXPECT_EQ(AxisSelection(-1, 5), 5);

    sim_->setAddresses({});
    EXPECT_EQ(SearchAxis(), -1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(AxisTxt[i], "") << i;
    EXPECT_EQ(qel::SetT1(ComHandle, 0), 100u);
}

TEST_F(AxisEnv, CheckAxisWantsAValidLineAnswerAndTheAddressItself) {
    sim_->setAddresses({0, 3});
    EXPECT_TRUE(CheckAxis(0));
    EXPECT_TRUE(CheckAxis(3));

    sim_->setHandler(AxisAnswer(4), 3);
    EXPECT_FALSE(CheckAxis(3)); // the amplifier at 3 says it is 4

    sim_->setHandler(AxisAnswer(-5), 0);
    sim_->clearLog();
    EXPECT_FALSE(CheckAxis(0));
    EXPECT_FALSE(CheckAxis(3));
    EXPECT_EQ(Addresses(11, 0), (std::vector<int>{0, 0})); // never asked 3 past a bad line answer
    sim_->setHandler(AxisAnswer(16), 0);
    EXPECT_FALSE(CheckAxis(0));

    sim_->setHandler(model_->handler(), 0);
    sim_->setAddresses({0});
    EXPECT_FALSE(CheckAxis(3)); // nobody at 3
}

TEST(ModelName, MarksBecomeUnderscoresAndShortNamesArePadded) {
    const uint8_t reply[12] = {'A', 'B', '*', 'C', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ModelNameFromReply(reply, 12), "AB_C________");
    const uint8_t stale[12] = {'A', 'B', 'C', 'D', 'X', 'X', 'X', 'X', 'X', 'X', 'X', 'X'};
    EXPECT_EQ(ModelNameFromReply(stale, 4), "ABCD________"); // bytes past a short reply are not read
    EXPECT_EQ(ModelKey("ABCDEFGH"), "ABCDEFGH____");
    EXPECT_EQ(NoModelAnswerText(3, 2), "Axis address(ID):3 Can't connect the amplifier to COM2.");
}

TEST_F(AxisEnv, ModelSetUpAsksThenLoadsInOrder) {
    sim_->setAddresses({0, 3});
    Write("ini/def/TESKR21B7C__.DEF", "#\r\n#file(ini\\def\\TESKR21B7C__.DEF)\r\n#\r\n"
                                      "EXTENTION V3.6,1,#Group name and max. data\r\n#\r\n"
                                      "DATA,0,7,#Largest stiffness of auto tuning\r\nEND\r\n"
                                      "DEF END,0,#\r\n");
    ExtV36Val = 9;
    KisyuTblCnt = 0;
    PopEnable = -1;
    AxisScreens().prmKiTeiChi = [this](const std::string& model, int16_t) {
        journal_.push_back("presets " + model + " after definitions " + std::to_string(ExtV36Val) +
                           " catalogue " + std::to_string(KisyuTblCnt > 0));
        return int16_t(-1);
    };
    AxisScreens().loadPopDefault = [this](const std::string& model, int16_t) {
        journal_.push_back("positioning " + model);
        return int16_t(-1);
    };
    FakeScreen para("FrmPara");
    plat::ScriptedAsker ask(plat::Yes);
    AxisNo = 3;
    int16_t keepPrm = 5, keepPop = 5;
    plat::EndProgramThrows noExit;
    try {
        EXPECT_EQ(RunSetModel(3, keepPrm, keepPop), SetModelStage::Done);
    } catch (const plat::ProgramEnded&) {
        ADD_FAILURE() << "ended: " << (ask.Asked().empty() ? "" : ask.Asked().back().text);
    }

    const auto rq = sim_->requests();
    ASSERT_FALSE(rq.empty());
    EXPECT_EQ(rq[0].address, 3);
    EXPECT_EQ(rq[0].cmd, 0);
    EXPECT_EQ(rq[0].mode, 5);
    EXPECT_EQ(journal_, (std::vector<std::string>{"versions at 3",
                                                  "presets TESKR21B7C__ after definitions 7 catalogue 1",
                                                  "positioning TESKR21B7C__"}));
    ASSERT_EQ(ask.Asked().size(), 2u);
    EXPECT_EQ(ask.Asked()[0].text,
              "Axis address(ID):3 Model TESKR21B7C Detect the model at axis address. Do you continue ?");
    EXPECT_EQ(ask.Asked()[0].title, "Yes ?");
    EXPECT_EQ(ask.Asked()[1].text, "Do you retain the current parameter value even after the axis change ?");
    EXPECT_EQ(keepPrm, -1);
    EXPECT_EQ(keepPop, 5); // not asked: the positioning editor is not open
    EXPECT_EQ(KisyuMei, "TESKR21B7C__");
    EXPECT_EQ(KisyuCode, 25);
    EXPECT_EQ(AxisTxt[3], "Connection");
}

TEST_F(AxisEnv, AxisChangeKeepsOldAxisAndModelUnlessTheSetUpSucceeds) {
    sim_->setAddresses({0, 3});
    CpuVer[0] = {-1, 2, 5, 0};
    {
        plat::ScriptedAsker ask(plat::No); // declines the detected model
        EXPECT_FALSE(AxisChangeOk(3));
        EXPECT_EQ(AxisNo, 0);
        EXPECT_EQ(KisyuMei, "ZT010A______");
        EXPECT_EQ(DlgResult, 0);
    }
    {
        presetsResult_ = 0; // no preset file for the model
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_FALSE(AxisChangeOk(3));
        EXPECT_EQ(AxisNo, 0);
        EXPECT_EQ(KisyuMei, "ZT010A______");
        EXPECT_EQ(CpuVer[0].Major, 2);
        ASSERT_EQ(ask.Asked().size(), 2u);
        EXPECT_EQ(ask.Asked()[1].text,
                  "A model can't be set up.There is no initialization file for parameter "
                  "corresponding to the series TESK_R.");
        EXPECT_EQ(ask.Asked()[1].title, "Setting model");
    }
    {
        presetsResult_ = -1;
        AxisTxt[4] = "Connection";
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_FALSE(AxisChangeOk(4)); // nobody at 4
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Communication failed. Execute searching after confirming RSW(ID).");
        EXPECT_EQ(ask.Asked()[0].title, "Communication");
        EXPECT_EQ(AxisTxt[4], "");
        EXPECT_EQ(AxisNo, 0);
    }
    plat::ScriptedAsker ask(plat::Yes);
    EXPECT_TRUE(AxisChangeOk(3));
    EXPECT_EQ(AxisNo, 3);
    EXPECT_EQ(KisyuMei, "TESKR21B7C__");
    EXPECT_EQ(DlgResult, -1);
}

TEST_F(AxisEnv, RetainQuestionsDecideWhatTheOpenEditorsShow) {
    sim_->setAddresses({0, 3});
    FakeScreen para("FrmPara");
    FakeScreen pop("FrmPop");
    Prm16MaxAll = 10;
    PrmVal[1] = 111;
    Prm32Cnt = 0;
    AxisScreens().prmKiTeiChi = [](const std::string&, int16_t) {
        PrmVal[1] = 0; // the presets replace the values
        return int16_t(-1);
    };
    {
        plat::ScriptedAsker ask(plat::Yes);
        ask.Push(plat::Yes); // the detected model
        ask.Push(plat::Yes); // keep the parameters
        ask.Push(plat::No);  // not the positioning values
        ASSERT_TRUE(AxisChangeOk(3));
        EXPECT_EQ(PrmVal[1], 111);
        EXPECT_EQ(PrmSrc, 2);
        EXPECT_EQ(PrmSrcMei, "Value before the change of axis address(ID).");
        ASSERT_EQ(ask.Asked().size(), 4u);
        EXPECT_EQ(ask.Asked()[2].text,
                  "Do you retain the current positioning parameter value even after the axis change ?");
        EXPECT_EQ(ask.Asked()[3].text, "positioning parameter Default read.");
        EXPECT_EQ(ask.Asked()[3].title, "Change of the axis");
    }
    // Values from the amplifier are not asked about: the editors read the new axis themselves.
    PrmFlg = PrmIsAmp = -1;
    PopFlg = PopIsAmp = -1;
    int paraUpd = 0, popUpd = 0;
    AxisScreens().paraUpdAxis = [&] { ++paraUpd; };
    AxisScreens().popUpdAxis = [&] { ++popUpd; };
    plat::ScriptedAsker ask(plat::Yes);
    ASSERT_TRUE(AxisChangeOk(0));
    EXPECT_EQ(ask.Asked().size(), 1u); // the detected model only
    EXPECT_EQ(paraUpd, 1);
    EXPECT_EQ(popUpd, 1);
    EXPECT_EQ(PrmFlg, -1);
}

TEST_F(AxisEnv, Set232AxisClearsBusyOnEveryPath) {
    LinkKind = 1;
    AxisNo = 5;
    {
        FakeScreen para("FrmPara");
        int paraUpd = 0;
        AxisScreens().paraUpdAxis = [&] { ++paraUpd; };
        PrmFlg = -1;
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_TRUE(Set232Axis());
        EXPECT_EQ(AxisNo, 0);
        EXPECT_EQ(PrmSrc, 3);
        EXPECT_EQ(paraUpd, 1);
        EXPECT_EQ(ComBusy, 0);
        EXPECT_GT(captions_, 0);
    }
    AxisNo = 5;
    presetsResult_ = 0;
    {
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_FALSE(Set232Axis());
        EXPECT_EQ(ComBusy, 0);
        EXPECT_EQ(AxisNo, 5);
    }
    presetsResult_ = -1;
    sim_->setHandler([this](const ampsim::Request& rq) -> std::optional<std::vector<uint8_t>> {
        if (rq.cmd == 0 && rq.mode == 5) return std::vector<uint8_t>{0x80};
        return model_->answer(rq);
    });
    {
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_FALSE(Set232Axis());
        EXPECT_EQ(ComBusy, 0);
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Axis address(ID):0 Can't connect the amplifier to COM2.");
        EXPECT_EQ(ask.Asked()[0].title, "Search of the axis address(ID)");
    }
    sim_->setAddresses({});
    {
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_FALSE(Set232Axis());
        EXPECT_EQ(ComBusy, 0);
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Communication failed. Confirm the connection.");
    }
}

TEST_F(AxisEnv, WindowCancelUnloadsAtStartUpAndAsksAfterOk) {
    StartUpDone = 0;
    {
        FrmAxis f;
        EXPECT_EQ(ComBusy, 0x20);
        DlgResult = 5;
        f.CmdCancel_Click();
        EXPECT_EQ(DlgResult, 0);
        EXPECT_EQ(ComBusy, 0);
    }
    StartUpDone = -1;
    sim_->setAddresses({});
    {
        FrmAxis f;
        plat::ScriptedAsker ask(plat::No);
        f.CmdOk_Click(); // nobody answers: the window stays
        EXPECT_TRUE(f.OkPressed());
        f.CmdCancel_Click();
        ASSERT_EQ(ask.Asked().size(), 3u);
        EXPECT_EQ(ask.Asked()[1].text, "Can't cancel.  Do you exit Mevalo ?");
        EXPECT_EQ(ask.Asked()[1].title, "Selecting the axis address(ID).");
        EXPECT_EQ(ask.Asked()[2].text, "Click the <OK> button after setting the axis address(ID).");
        EXPECT_EQ(ComBusy, 0x20); // still loaded
    }
    EXPECT_EQ(ComBusy, 0);
}

TEST_F(AxisEnv, Set232AxisKeepsOrDropsTheEditorValuesAsAnswered) {
    LinkKind = 1;
    FakeScreen para("FrmPara");
    Prm16MaxAll = 10;
    Prm32Cnt = 1;
    Prm32Max = 4;
    Prm32MaxAll = 4;
    int paraUpd = 0;
    AxisScreens().paraUpdAxis = [&] { ++paraUpd; };
    AxisScreens().prmKiTeiChi = [](const std::string&, int16_t) {
        PrmVal[1] = 0; // the presets replace the values
        Prm32Val[2] = 0;
        return int16_t(-1);
    };
    struct Case {
        plat::Answer keep;
        int16_t prm1, prm32;
        int16_t src;
        const char* notice;
    };
    for (const Case& c : {Case{plat::Yes, 111, 222, 2, nullptr},
                          Case{plat::No, 0, 0, 3, "Has read factory preset parameter."}}) {
        SCOPED_TRACE(c.keep == plat::Yes ? "kept" : "dropped");
        AxisNo = 5;
        SetPrmSrc(3, "");
        PrmVal[1] = 111;
        Prm32Val[2] = 222;
        PrmFlg = 0;
        PrmIsAmp = -1;
        plat::ScriptedAsker ask(c.keep);
        ASSERT_TRUE(Set232Axis());
        EXPECT_EQ(AxisNo, 0);
        EXPECT_EQ(PrmVal[1], c.prm1);
        EXPECT_EQ(Prm32Val[2], c.prm32);
        EXPECT_EQ(PrmSrc, c.src);
        EXPECT_EQ(PrmIsAmp, 0);
        EXPECT_EQ(paraUpd, 0); // values not from the amplifier are never read again
        ASSERT_GE(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Do you retain the current parameter value even after the axis change ?");
        if (c.notice) {
            ASSERT_EQ(ask.Asked().size(), 2u);
            EXPECT_EQ(ask.Asked()[1].text, c.notice);
            EXPECT_EQ(ask.Asked()[1].title, "Change of the axis");
        } else {
            EXPECT_EQ(PrmSrcMei, "Value before the change of axis address(ID).");
            EXPECT_EQ(ask.Asked().size(), 1u);
        }
    }
}
