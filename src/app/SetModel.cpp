#include "app/SetModel.h"

#include "app/Frame.h"
#include "app/Log.h"
#include "app/ModSearchKisyu.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/TeskCmd.h"
#include "data/DefFil.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "positioning/PopGlb.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstring>

std::string AxisTxt[AxisTxtCnt];
int16_t PopFlg = 0;
int16_t PopIsAmp = 0;

AxisScreenCalls& AxisScreens() {
    static AxisScreenCalls calls;
    return calls;
}

namespace {

constexpr int ModelNameLen = 12;
constexpr int16_t FamilyRCode = 25;

void NotInstalled(const char* name) {
    log(std::string(name) + " : not installed", LogOther);
}

int16_t CallLoader(const std::function<int16_t(const std::string&, int16_t)>& fn, const char* name,
                   const std::string& model) {
    if (!fn) {
        NotInstalled(name);
        return -1;
    }
    return fn(model, 0);
}

void Message(const std::string& text, const std::string& title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::None, title);
}

void Repaint() {
    if (QWidget* w = QApplication::activeWindow()) w->repaint();
}

} // namespace

int16_t CallPrmKiTeiChi(const std::string& model) {
    return CallLoader(AxisScreens().prmKiTeiChi, "PrmKiTeiChi", model);
}

int16_t CallLoadPopDefault(const std::string& model) {
    return CallLoader(AxisScreens().loadPopDefault, "LoadPopDefault", model);
}

void CallCheckPoints() {
    const AxisScreenCalls& c = AxisScreens();
    if (c.checkPoint)
        c.checkPoint("/強制設定/ALL"); // the new axis's EEPROM copy is always read
    else
        NotInstalled("CheckPoint");
    if (PopEnable == 0) return;
    if (c.popCheckPoint)
        c.popCheckPoint("/");
    else
        NotInstalled("PopCheckPoint");
}

void CallUpdAxis(const char* name, const std::function<void()>& upd) {
    if (!IsFrmLoad(name)) return;
    if (upd)
        upd();
    else
        NotInstalled((std::string(name) + ".UpdAxis").c_str());
}

std::string NoModelAnswerText(int16_t id, int16_t port) {
    return "Axis address(ID):" + std::to_string(id) + " Can't connect the amplifier to COM" +
           std::to_string(port) + ".";
}

std::string ModelNameFromReply(const uint8_t* data, int dataLen) {
    uint8_t name[ModelNameLen] = {};
    std::memcpy(name, data, static_cast<size_t>(std::clamp(dataLen, 0, ModelNameLen)));
    return AstToUnder(ByteToStr(name, 0, ModelNameLen));
}

std::string ModelKey(const std::string& name) {
    return (name + std::string(15, '_')).substr(0, ModelNameLen);
}

SetModelStage RunSetModel(int16_t id, int16_t& keepPrm, int16_t& keepPop,
                          const std::function<void(int16_t)>& redraw) {
    SndAxis = id;
    SndCmd = 0;
    SndMode = 5;
    SndLen = 0;
    if (!ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0x80)) {
        Message(NoModelAnswerText(id, ComPortNo), SetModelText::NoAnswerTitle);
        return SetModelStage::NoAnswer;
    }
    // The reply's last byte is the status; a short reply leaves the rest of the name empty.
    const std::string name = ModelNameFromReply(RcvBuf, SndLen - 1);

    if (LinkKind == 2 && !MsgYesNo("Axis address(ID):" + std::to_string(id) + " Model " + DelMark(name) +
                                       " Detect the model at axis address. Do you continue ?",
                                   SetModelText::DetectTitle))
        return SetModelStage::Declined;

    if (IsFrmLoad("FrmPara") && PrmFlg == 0)
        keepPrm = MsgYesNo(SetModelText::RetainPrm, SetModelText::DetectTitle) ? -1 : 0;
    if (IsFrmLoad("FrmPop") && PopFlg == 0)
        keepPop = MsgYesNo(SetModelText::RetainPop, SetModelText::DetectTitle) ? -1 : 0;

    AxisTxt[id] = AxisText::Connected;
    if (redraw) redraw(id);

    RetVar = SearchKisyu();
    KisyuCode = FamilyRCode;
    KisyuMei = ModelKey(name);

    if (ExtV25Opt[0] != 0 && !ChkKisyuList(KisyuKey, KisyuMei))
        Message("No file of standard preset values of detected model (" + KisyuMei + ".prm)." + "\r\n" +
                    "Mevalo works with basic file of series " + KisyuKey + "(" + KisyuKey + ".prm).",
                SetModelText::FileTitle);

    RetVar = GetVerInfo(CpuVer);
    Repaint();
    FIL_LoadDefFileCpu(KisyuMei);

    if (CallPrmKiTeiChi(KisyuMei) != -1) {
        Message("A model can't be set up.There is no initialization file for parameter corresponding to the "
                "series " +
                    KisyuKey + ".",
                SetModelText::SetTitle);
        return SetModelStage::Failed;
    }
    if (PopEnable != 0 && CallLoadPopDefault(KisyuMei) != -1) {
        Message("A model can't be set up.There is no initialization file for positioing parameter "
                "corresponding to the series " +
                    KisyuKey + ".",
                SetModelText::SetTitle);
        return SetModelStage::Failed;
    }
    return SetModelStage::Done;
}

void SetModel(int16_t id, int16_t& keepPrm, int16_t& keepPop, int16_t& ok,
              const std::function<void(int16_t)>& redraw) {
    ok = RunSetModel(id, keepPrm, keepPop, redraw) == SetModelStage::Done ? -1 : 0;
}

ModelSnapshot::ModelSnapshot() : axisNo_(AxisNo), kisyuCode_(KisyuCode), kisyuMei_(KisyuMei) {
    std::copy(std::begin(CpuVer), std::end(CpuVer), std::begin(cpuVer_));
}

void ModelSnapshot::Restore(bool modelChanged) const {
    AxisNo = axisNo_;
    if (!modelChanged) return;
    KisyuCode = kisyuCode_;
    KisyuMei = kisyuMei_;
    std::copy(std::begin(cpuVer_), std::end(cpuVer_), std::begin(CpuVer));
    // The new model's definition groups are in force: read the series and the old model's over them.
    if (!KisyuKey.empty()) RetVar = Variant(FIL_LoadDef(KisyuKey));
    if (!KisyuMei.empty()) FIL_LoadDefFileCpu(KisyuMei);
}
