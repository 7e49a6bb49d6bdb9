#include "positioning/PopEep.h"

#include "app/Frame.h"
#include "app/Glb.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "comm/ComGuard.h"
#include "comm/TeskR.h"
#include "platform/Ask.h"
#include "positioning/PopGlb.h"

void UTY_CatStr(std::string& target, const std::string& sep, const std::string& item) {
    target = target.empty() ? item : target + sep + item;
}

namespace {

// An item's name, or its code when the definition gives it no name, so that no change goes unseen.
std::string CodeText(int column, int32_t code) {
    std::string name = GetPopItmName(column, code);
    return name.empty() ? std::to_string(code) : name;
}

} // namespace

bool ChkStepChange(int n, std::string& before, std::string& after) {
    before.clear();
    after.clear();
    const PopStepRec& now = PopStep[n];
    const PopStepRec& ref = PopAxis(AxisNo).Step[n];
    if (PopPosValue(now) != PopPosValue(ref)) {
        UTY_CatStr(before, " ", std::to_string(PopPosValue(ref)));
        UTY_CatStr(after, " ", std::to_string(PopPosValue(now)));
    }
    const struct {
        int column;
        int16_t PopStepRec::*code;
    } fields[] = {{1, &PopStepRec::Acc},
                  {4, &PopStepRec::Blk},
                  {2, &PopStepRec::Dec},
                  {3, &PopStepRec::Mod},
                  {0, &PopStepRec::Vel}};
    for (const auto& f : fields) {
        if (now.*f.code == ref.*f.code) continue;
        UTY_CatStr(before, " ", CodeText(f.column, ref.*f.code));
        UTY_CatStr(after, " ", CodeText(f.column, now.*f.code));
    }
    return !before.empty();
}

std::vector<PopChangeRow> PopChangeList() {
    std::vector<PopChangeRow> rows;
    const PopAxisSnap& ref = PopAxis(AxisNo);
    for (int n = 0; n < PopStepInUse(); ++n) {
        PopChangeRow r;
        if (ChkStepChange(n, r.before, r.after)) {
            r.type = "Step";
            r.no = PopNo(n);
            r.title = PopStep[n].Comment;
            rows.push_back(std::move(r));
        }
    }
    auto prms = [&](const char* type, const PopPrmRec* now, const PopPrmRec* was, int count) {
        for (int n = 0; n < count; ++n) {
            if ((now[n].Attr & (256 | 128)) != 0 || now[n].Value == was[n].Value) continue;
            rows.push_back(
                {type, PopNo(n), now[n].Name, std::to_string(was[n].Value), std::to_string(now[n].Value)});
        }
    };
    prms("Prm16", Pop16Prm, ref.Prm16, Pop16InUse());
    prms("Prm32", Pop32Prm, ref.Prm32, Pop32InUse());
    return rows;
}

void PopCheckPoint(const std::string& options) {
    PopAxisSnap& snap = PopAxis(AxisNo);
    if (options.find(PopEepOpt::IfNotRead) != std::string::npos && snap.Prm16Read != 0 &&
        snap.Prm32Read != 0 && snap.StepRead != 0)
        return;
    if (ChkComm(0, "Communication error") == 0) return;
    const bool steps = PopStepZyuShin(0, static_cast<int16_t>(PopLastPage(PopStepInUse())),
                                      std::span<PopStepRec>(snap.Step, PopStepTblCnt),
                                      "In-receiving  the Step parameter for comparison. Page") != 0;
    const bool p16 =
        PopPrm16ZyuShin(0, static_cast<int16_t>(PopLastPage(Pop16InUse())),
                        std::span<PopPrmRec>(snap.Prm16, PopPrmCnt),
                        "In-receiving  the 16bit positioning parameter for comparison. Page") != 0;
    const bool p32 =
        PopPrm32ZyuShin(0, static_cast<int16_t>(PopLastPage(Pop32InUse())),
                        std::span<PopPrmRec>(snap.Prm32, PopPrmCnt),
                        "In-receiving  the 32bit positioning parameter for comparison. page") != 0;
    // A copy that was not read whole would list changes that are none, or hide real ones.
    if (steps) snap.StepRead = -1;
    if (p16) snap.Prm16Read = -1;
    if (p32) snap.Prm32Read = -1;
}

bool PopEepWrite() {
    if (ChkComm(0, "Communication error") == 0) {
        plat::MsgBox("Communication failed", plat::Buttons::Ok, plat::Icon::None, "Writing to EEPROM");
        UpdStat("Writing to EEPROM  failed");
        return false;
    }
    BusyGuard busy(BusyPopEeprom);
    UpdStat("Positioning parameter is being written in EEPROM.");
    if (PopEepKaki() == 0) {
        plat::MsgBox("Writing to EEPROM failed", plat::Buttons::Ok, plat::Icon::None, "Writing to EEPROM");
        UpdStat("Writing to EEPROM  failed");
        return false;
    }
    UpdStat("Finish writing positioning parameter on EEPROM.");
    PopCheckPoint(PopEepOpt::ForceAll);
    return true;
}
