// The file, print, reference and comment commands of the frequency characteristics window.
#include "frequency/FrmFft.h"
#include "params/PrmWiring.h"
#include "platform/FormRegistry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>
#include <cctype>
#include <memory>

#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/Glb.h"
#include "app/Prd.h"
#include "app/PrdPrint.h"
#include "app/Uty.h"
#include "comm/ComGlb.h"
#include "data/FrqFil.h"
#include "data/PrmGlb.h"
#include "data/PrmPrint.h"
#include "data/PrmTbl.h"
#include "frequency/FrmFrqOpt.h"
#include "frequency/FrqCalc.h"
#include "frequency/FrqGrp.h"
#include "frequency/FrqIdt.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

namespace {

constexpr uint32_t kPink = 0xFF7F7F;
constexpr const char* kReadTitle = "Read-out of the frequency characteristics data";

void Say(const std::string& text, const std::string& title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation, title);
}

bool Has(const std::string& words, const char* w) {
    return words.find(w) != std::string::npos;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

struct SaveKind {
    const char* filter;
    const char* foot;
    const char* caption;
    const char* title;
    bool condition, result, parameters;
};
constexpr SaveKind kSave[3] = {
    {"Frequency measurement result file(*.fcd)|*.fcd",
     "Comment is saved with frequency characteristics data.", "Comment on frequency chracteristics",
     "Save the frequency characteristics data", true, true, false},
    {"Frequency measurement condition file(*.fcc)|*.fcc",
     "Comment is saved with frequency characteristics condition.", "Comment on frequency chracteristics",
     "Save the frequency characteristics condition", true, false, false},
    {"Frequency result and parameter file(*.fcp)|*.fcp",
     "Comment is saved with parameter and frequency characteristics data.",
     "Comment on frequency chracteristics and parameter",
     "Save the frequency characteristics data and parameter", true, true, true},
};

// The selectors of the frequency group readers, set for one read and cleared on every way out.
class LoadSelectors {
  public:
    explicit LoadSelectors(const std::string& w) {
        const bool cond = Has(w, "cond");
        FrqLoadSel[0] = plat::VbBool(!cond);
        FrqLoadSel[1] = plat::VbBool(!cond);
        FrqLoadSel[2] = plat::VbBool(!Has(w, "result"));
        FrqLoadSel[3] = plat::VbBool(!Has(w, "reference") || Has(w, "toref"));
        LoadSel[3] = plat::VbBool(!Has(w, "param"));
    }
    ~LoadSelectors() {
        std::fill(std::begin(FrqLoadSel), std::end(FrqLoadSel), int16_t(0));
        LoadSel[3] = 0;
    }
    LoadSelectors(const LoadSelectors&) = delete;
    LoadSelectors& operator=(const LoadSelectors&) = delete;
};

} // namespace

void FrmFft::SaveView() {
    FrqView[0] = static_cast<int16_t>(VScr[0]->value());
    FrqView[1] = static_cast<int16_t>(VScr[1]->value());
    FrqView[2] = static_cast<int16_t>(VScr[2]->value());
    FrqView[3] = static_cast<int16_t>(VScr[3]->value());
    FrqView[4] = static_cast<int16_t>(HScr[0]->value());
    FrqView[5] = static_cast<int16_t>(HScr[1]->value());
    FrqView[6] = static_cast<int16_t>(drawnSmoothing_); // the curves' rate, not a text typed and not applied
    FrqView[7] = plat::VbBool(ChkCsr->isChecked());
    FrqView[8] = static_cast<int16_t>(HScrCsr->value());
    FrqView[9] = plat::VbBool(ChkCov->isChecked());
}

void FrmFft::RestoreView() {
    // Values from a file are brought into each control's range.
    VScr[0]->setValue(FrqView[0]);
    VScr[1]->setValue(FrqView[1]);
    VScr[2]->setValue(FrqView[2]);
    VScr[3]->setValue(FrqView[3]);
    HScr[0]->setValue(FrqView[4]);
    HScr[1]->setValue(FrqView[5]);
    CmbWindow->setEditText(QString::fromStdString(NormaliseSmoothing(std::to_string(FrqView[6])).text));
    ChkCsr->setChecked(FrqView[7] != 0);
    HScrCsr->setValue(FrqView[8]);
    ChkCov->setChecked(FrqView[9] != 0);
    ApplySliders();
}

void FrmFft::PinkReference() {
    RefGainRec.LineColor = RefPhaseRec.LineColor = kPink;
}

void FrmFft::ReferenceDisplayOn() {
    MnuDspRef->setProperty("on", false);
    MnuDspRef_Click();
}

void FrmFft::Load(const std::string& title, const std::string& extensions) {
    std::string words = "cancel";
    const std::string path = FrmPrmSel::Exec("idt", extensions, title);
    if (path.empty()) return;
    const std::string kind = path.size() >= 3 ? Lower(path.substr(path.size() - 3)) : "";
    if (extensions == "idt" || kind == "idt") {
        SaveView();
        if (path.size() < 4 || Lower(path.substr(path.size() - 4)) != ".idt") {
            Say("Type of the file is different.", kReadTitle);
            return;
        }
        // The reader works on a copy: a damaged file changes nothing in the record, which is then no
        // longer shown.
        const bool read = IdtRead(SokuTeiRec, path);
        if (!read) {
            Say("Reading of data failed.", kReadTitle);
        } else {
            FrqNextCondSet = plat::VbFalse;
            CondLabels();
            LblBui->setText(QString::number(SokuTeiRec.Bui));
            LblKsy->setText(QString::number(static_cast<uint32_t>(SokuTeiRec.Kisyu), 16).toUpper());
        }
        for (int i = 0; i < CommentLines; ++i)
            CommentTxt[2][i].clear();
        SokuTeiRec.Valid = plat::VbBool(read);
        ReflectDataReady();
        if (!read) {
            RequestRedraw();
            return;
        }
        words = "resultcondition";
    } else {
        if (kind == "fcc" || kind == "fcp" || kind == "fcd") {
            words = FrmFrqLod::Exec(path, "Reading frequency characteristics.");
            if (words.empty() || Has(words, "cancel")) return;
        } else {
            Say("A file is wrong.", "Read error");
            return;
        }
        FftCond = SokuTeiRec;
        FftCondRef = RefSokuTeiRec;
        // A file without the full-closed group measured without it.
        FftCond.FullClose = FftCondRef.FullClose = 0;
        bool ok = false;
        {
            const LoadSelectors sel(words);
            ok = FIL_LoadFreqFile(path) != 0;
        }
        if (!ok) return;
        if (Has(words, "toref")) {
            RefSokuTeiRec = FftCond;
        } else {
            SokuTeiRec = FftCond;
            RefSokuTeiRec = FftCondRef;
        }
    }
    AfterLoad(words);
}

void FrmFft::AfterLoad(const std::string& words) {
    ReflectDataReady();
    if (Has(words, "toref")) {
        if (RefSokuTeiRec.Valid) ReferenceDisplayOn();
        CalcCurves();
    } else {
        if (Has(words, "condition")) {
            RestoreView(); // with the file's smoothing, which the curves are then computed with
            condOn_ = true;
        }
        CalcCurves();
        if ((Has(words, "reference") || Has(words, "toref")) && RefSokuTeiRec.Valid) ReferenceDisplayOn();
    }
    ReflectDataReady();
    PinkReference();
    CondLabels();
    if (SokuTeiRec.Valid) SetCursorPoint(CursorPoint());
    RequestRedraw();
    if (Has(words, "param")) {
        PrmFlg = 0;
        PrmIsAmp = 0;
        if (!plat::IsFrmLoad("FrmPara")) ShowParaEditor();
        SetPrmSrc(2, "");
    }
}

void FrmFft::SaveGroup(int k) {
    const SaveKind& sk = kSave[k];
    FrmRem::Exec(Variant(int16_t(2)), sk.caption, sk.foot);
    if (DlgResult != plat::VbTrue) return;
    // The file dialog asks before it lets an existing file be replaced.
    const std::string path = FilDlg("idt", "write", sk.filter);
    if (path.empty()) return;
    FftCond = SokuTeiRec;
    FftCondRef = RefSokuTeiRec;
    SaveView();
    if (sk.parameters) {
        for (int i = 0; i < CommentLines; ++i)
            CommentTxt[0][i] = CommentTxt[2][i];
        if (ComHandle != 0) {
            Say("Receiving parameter from amplifier", sk.title);
            if (!PrmZenZyuShin() && !MsgYesNo("The parameters could not be read from the amplifier.\nSave "
                                              "the parameters held in memory?",
                                              sk.title))
                return;
        }
    }
    if (FftCond.Points >= FrqMinPoints && FftCond.Points <= FrqRawCnt)
        FftSplitN = static_cast<int16_t>(FftCond.Points);
    if (!FIL_SaveFreqFile(path, plat::VbBool(sk.condition), plat::VbBool(sk.result),
                          plat::VbBool(sk.parameters)))
        Say("File was not saved.", sk.title);
}

void FrmFft::MnuHoZonDat_Click() {
    SaveGroup(0);
}
void FrmFft::MnuHoZonCnd_Click() {
    SaveGroup(1);
}
void FrmFft::MnuHoZonPrm_Click() {
    SaveGroup(2);
}

void FrmFft::MnuHoZonIdt_Click() {
    const std::string path = FilDlg("idt", "write", "Frequency measurement result file(*.idt)|*.idt");
    if (path.empty()) return;
    if (!IdtWrite(SokuTeiRec, path)) {
        Say("Writing of data failed.", "Save the frequency characteristics data");
        Say("File was not saved.", "Save the frequency characteristics data");
    }
}

void FrmFft::SaveChoice() {
    const std::string w = FrmFrqSav::Exec();
    if (w == "parameter")
        MnuHoZonPrm_Click();
    else if (w == "condition")
        MnuHoZonCnd_Click();
    else if (w == "result")
        MnuHoZonDat_Click();
    else if (w == "idtformat")
        MnuHoZonIdt_Click();
}

void FrmFft::MnuTenSouSanSyou_Click() {
    if (SokuTeiRec.Valid == 0) return;
    RefSokuTeiRec = SokuTeiRec;
    RefGainRec = FrqGainRec;
    RefPhaseRec = FrqPhaseRec;
    ReflectDataReady();
    PinkReference();
    RequestRedraw();
}

void FrmFft::MnuHenSyuComment_Click() {
    FrmRem::Exec(Variant(int16_t(2)), "Comment on the frequency characteristics",
                 "Comment is saved with frequency characteristics data.");
    RequestRedraw();
}

void FrmFft::MnuInSatu_Click() {
    const std::string caption = "Print of the frequency characteristics";
    PrdPrint({.title = caption,
              .ask = [&caption] { return AskPrintItems(caption); },
              .print = [this](const std::string& w) { return PrintChosen(w); }});
}

bool FrmFft::PrintChosen(const std::string& w) {
    if (Has(w, "graph")) {
        PrdCtx ctx;
        const double width = 2 * FrqGainRec.PlotLeft + FrqGainRec.PlotWidth;
        PrdInit(ctx, &Printer(), static_cast<float>(width), static_cast<float>(width * 0.7), "/PRINTER");
        // Upright: the two graphs stand one above the other with the header below them, taller than wide.
        Printer().SetOrientation(1);
        DrawGraphs(Printer(), true);
        PrdEnd(ctx);
        RequestRedraw(); // the picture's plot tops were moved for the paper
    }
    if (Has(w, "param")) {
        PrintPrm16(UserLevel >= 2 ? static_cast<int16_t>(Prm16MaxAll + 1) : Prm16Max);
        if (Prm32Cnt != 0) PrintPrm32(UserLevel >= 2 ? Prm32MaxAll : Prm32Max);
    }
    return Has(w, "graph") || Has(w, "param");
}
