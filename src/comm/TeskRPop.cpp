// Family R positioning data (command 14) and waveform transfers (command 10).
#include "comm/TeskR.h"

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/TeskRReq.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <limits>

using plat::VbFalse;
using plat::VbTrue;
using namespace teskr;

namespace {

constexpr uint8_t kSingleMask = 0xFF;
constexpr uint8_t kPageMask = 0x80;

int16_t Result(Variant& res, bool ok) {
    res = Variant(ok);
    return plat::VbBool(ok);
}

// A single write under its own execution right; SndBuf is filled after the right is had, since taking it
// uses the send buffer too.
template <class Fill> bool WriteWithRight(int mode, int len, Fill fill) {
    if (GetExecRight(VbTrue) == VbFalse) return false;
    fill();
    const int16_t r = Request(14, mode, len, 0, 0, kSingleMask);
    RetVar = Variant(GetExecRight(VbFalse));
    return r != VbFalse;
}

bool Pop16Fits(int32_t v, const char* who) {
    if (v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max()) return true;
    log(std::string(who) + ": " + std::to_string(v) + " does not fit 16 bits, nothing sent", LogOther);
    return false;
}

// The 16-bit single write without touching the right (the caller holds it).
int16_t Pop16Write(int16_t n, int32_t v) {
    if (!FitsByte(n, "PopPrm16Kaki") || !Pop16Fits(v, "PopPrm16Kaki")) return VbFalse;
    SndBuf[0] = static_cast<uint8_t>(n);
    PutS16(&SndBuf[1], static_cast<int16_t>(v));
    return Request(14, 5, 3, 0, 0, kSingleMask);
}

void Progress(const std::string& text, int page, int first, int last) {
    UpdStat(text + std::to_string(page));
    UpdPbar(page - first + 1, last - first + 1);
}

void LogPage(int page, int16_t result) {
    log("page;" + std::to_string(page) + " recieve:" + std::to_string(result), LogOther);
}

bool PagesFit(int first, int last, const char* who) {
    return first > last || (FitsByte(first, who) && FitsByte(last, who));
}

// Sends pages first..last; fill(page) packs SndBuf from byte 1 and says false to refuse the page.
template <class Fill>
int16_t SendPages(int mode, int len, int first, int last, const std::string& text, Fill fill) {
    for (int page = first; page <= last; ++page) {
        Progress(text, page, first, last);
        SndBuf[0] = static_cast<uint8_t>(page);
        if (!fill(page)) return VbFalse;
        const int16_t r = Request(14, mode, len, 0, 0, kPageMask);
        LogPage(page, r);
        if (r == VbFalse) return VbFalse;
    }
    return VbTrue;
}

// Receives pages first..last; store(page) unpacks the reply.
template <class Store>
int16_t ReceivePages(int mode, size_t used, int first, int last, const std::string& text, const char* who,
                     Store store) {
    if (!PagesFit(first, last, who)) return VbFalse;
    for (int page = first; page <= last; ++page) {
        Progress(text, page, first, last);
        SndBuf[0] = static_cast<uint8_t>(page);
        const int16_t r = Request(14, mode, 1, 0, 0, kPageMask);
        LogPage(page, r);
        if (r == VbFalse || !ReplyHolds(used, who)) return VbFalse;
        store(page);
    }
    return VbTrue;
}

int16_t PopPrm16Pages(int16_t first, int16_t last, std::span<const PopPrmRec> prm16) {
    if (!PagesFit(first, last, "PopPrm16SouShin")) return VbFalse;
    return SendPages(7, 17, first, last, "Transferring 16bit positioning parameter. page", [&](int page) {
        for (int k = 0; k < 8; ++k) {
            const size_t n = static_cast<size_t>(8 * page + k);
            const int32_t v = n < prm16.size() ? prm16[n].Value : 0;
            if (!Pop16Fits(v, "PopPrm16SouShin")) return false;
            PutS16(&SndBuf[1 + 2 * k], static_cast<int16_t>(v));
        }
        return true;
    });
}

} // namespace

// ---- single steps and parameters ---------------------------------------------------------------------

int16_t PopStepYomi(Variant& res, PopStepRec& step, int16_t n) {
    if (!FitsByte(n, "PopStepYomi")) return Result(res, false);
    SndBuf[0] = static_cast<uint8_t>(n);
    SndBuf[1] = 0;
    if (Request(14, 0, 2, 0, 0, kSingleMask) == VbFalse || !ReplyHolds(StepImageLen, "PopStepYomi"))
        return Result(res, false);
    UnpackStepImage(LastReply(), 0, step);
    return Result(res, true);
}

int16_t PopStepKaki(Variant& res, int16_t n, const PopStepRec& step) {
    if (!FitsByte(n, "PopStepKaki")) return Result(res, false);
    return Result(res, WriteWithRight(1, 13, [&] {
                      SndBuf[0] = static_cast<uint8_t>(n);
                      SndBuf[1] = 0;
                      PackStepImage(step, &SndBuf[2]);
                      SndBuf[12] = 0;
                  }));
}

int16_t PopPrm16Yomi(Variant& res, int32_t& v, int16_t n) {
    if (!FitsByte(n, "PopPrm16Yomi")) return Result(res, false);
    SndBuf[0] = static_cast<uint8_t>(n);
    if (Request(14, 4, 1, 0, 0, kSingleMask) == VbFalse || !ReplyHolds(2, "PopPrm16Yomi"))
        return Result(res, false);
    v = S16(LastReply(), 0);
    return Result(res, true);
}

int16_t PopPrm16Kaki(Variant& res, int16_t n, int32_t v) {
    if (!FitsByte(n, "PopPrm16Kaki") || !Pop16Fits(v, "PopPrm16Kaki")) return Result(res, false);
    if (GetExecRight(VbTrue) == VbFalse) return Result(res, false);
    const bool ok = Pop16Write(n, v) != VbFalse;
    RetVar = Variant(GetExecRight(VbFalse));
    return Result(res, ok);
}

int16_t PopPrm32Yomi(Variant& res, int32_t& v, int16_t n) {
    if (!FitsByte(n, "PopPrm32Yomi")) return Result(res, false);
    SndBuf[0] = static_cast<uint8_t>(n);
    if (Request(14, 8, 1, 0, 0, kSingleMask) == VbFalse || !ReplyHolds(4, "PopPrm32Yomi"))
        return Result(res, false);
    v = S32(LastReply(), 0);
    return Result(res, true);
}

int16_t PopPrm32Kaki(Variant& res, int16_t n, int32_t v) {
    if (!FitsByte(n, "PopPrm32Kaki")) return Result(res, false);
    return Result(res, WriteWithRight(9, 5, [&] {
                      SndBuf[0] = static_cast<uint8_t>(n);
                      PutS32(&SndBuf[1], v);
                  }));
}

int16_t PopEepKaki() {
    UpdPbar(0, 1);
    UpdStat("In-writing the positioning parameter to EEPROM.");
    const bool ok = WriteWithRight(12, 0, [] {});
    // Completion is told only when the amplifier took the write; the caller reports a failure.
    if (ok) {
        UpdStat("Writing the positioning parameter to EEPROM completed.");
        UpdPbar(1, 1);
    }
    return plat::VbBool(ok);
}

// ---- pages ---------------------------------------------------------------------------------------------

int16_t PopStepZyuShin(int16_t first, int16_t last, std::span<PopStepRec> steps, const std::string& text) {
    return ReceivePages(2, 1 + 8 * 11, first, last, text, "PopStepZyuShin", [&](int page) {
        std::array<PopStepRec, 8> got;
        for (size_t k = 0; k < 8; ++k)
            if (size_t n = static_cast<size_t>(8 * page) + k; n < steps.size()) got[k] = steps[n];
        DecodeStepPage(LastReply(), got);
        for (size_t k = 0; k < 8; ++k)
            if (size_t n = static_cast<size_t>(8 * page) + k; n < steps.size()) steps[n] = got[k];
    });
}

int16_t PopPrm16ZyuShin(int16_t first, int16_t last, std::span<PopPrmRec> prm16, const std::string& text) {
    return ReceivePages(6, 1 + 8 * 8, first, last, text, "PopPrm16ZyuShin", [&](int page) {
        std::array<Entry16, 8> e;
        DecodePop16Page(LastReply(), e);
        for (size_t k = 0; k < 8; ++k) {
            const size_t n = static_cast<size_t>(8 * page) + k;
            if (n >= prm16.size()) break;
            prm16[n].Value = e[k].Val;
            prm16[n].Min = e[k].Min;
            prm16[n].Max = e[k].Max;
            prm16[n].Attr = e[k].Attr;
        }
    });
}

int16_t PopPrm32ZyuShin(int16_t first, int16_t last, std::span<PopPrmRec> prm32, const std::string& text) {
    return ReceivePages(10, 1 + 8 * 14, first, last, text, "PopPrm32ZyuShin", [&](int page) {
        std::array<Entry32, 8> e;
        DecodePop32Page(LastReply(), e);
        for (size_t k = 0; k < 8; ++k) {
            const size_t n = static_cast<size_t>(8 * page) + k;
            if (n >= prm32.size()) break;
            prm32[n].Value = e[k].Val;
            prm32[n].Min = e[k].Min;
            prm32[n].Max = e[k].Max;
            prm32[n].Attr = e[k].Attr;
        }
    });
}

int16_t TESKR_SendPopStep(int16_t first, int16_t last, std::span<const PopStepRec> steps) {
    if (!PagesFit(first, last, "TESKR_SendPopStep")) return VbFalse;
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    const int16_t r = TESKR_SendPopStepHeld(first, last, steps);
    RetVar = Variant(GetExecRight(VbFalse));
    return r;
}

int16_t TESKR_SendPopStepHeld(int16_t first, int16_t last, std::span<const PopStepRec> steps) {
    if (!PagesFit(first, last, "TESKR_SendPopStep")) return VbFalse;
    return SendPages(3, 89, first, last, "Transferring step parameter. page", [&](int page) {
        for (size_t k = 0; k < 8; ++k) {
            const size_t n = static_cast<size_t>(8 * page) + k;
            uint8_t* image = &SndBuf[1 + 11 * k];
            std::fill_n(image, 11, uint8_t{0});
            if (n < steps.size()) PackStepImage(steps[n], image);
        }
        return true;
    });
}

int16_t PopPrm16SouShin(int16_t first, int16_t last, std::span<const PopPrmRec> prm16) {
    return PopPrm16Pages(first, last, prm16);
}

int16_t PopPrm32SouShin(int16_t first, int16_t last, std::span<const PopPrmRec> prm32) {
    if (!PagesFit(first, last, "PopPrm32SouShin")) return VbFalse;
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    const int16_t r = PopPrm32SouShinHeld(first, last, prm32);
    RetVar = Variant(GetExecRight(VbFalse));
    return r;
}

int16_t PopPrm32SouShinHeld(int16_t first, int16_t last, std::span<const PopPrmRec> prm32) {
    if (!PagesFit(first, last, "PopPrm32SouShin")) return VbFalse;
    const size_t count = static_cast<size_t>(std::max<int16_t>(Pop32Cnt[3], 0));
    return SendPages(11, 33, first, last, "Transferring 32bit positioning parameter. page", [&](int page) {
        for (size_t k = 0; k < 8; ++k) {
            const size_t n = static_cast<size_t>(8 * page) + k;
            PutS32(&SndBuf[1 + 4 * k], n < count && n < prm32.size() ? prm32[n].Value : 0);
        }
        return true;
    });
}

int16_t PopPrm16SouShinAll(int16_t first, int16_t last, std::span<const PopPrmRec> prm16) {
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    const int16_t r = first > last ? VbFalse : PopPrm16SouShinAllHeld(first, last, prm16);
    RetVar = Variant(GetExecRight(VbFalse));
    return r;
}

int16_t PopPrm16SouShinAllHeld(int16_t first, int16_t last, std::span<const PopPrmRec> prm16) {
    auto value = [&](int n) {
        return static_cast<size_t>(n) < prm16.size() ? prm16[static_cast<size_t>(n)].Value : 0;
    };
    int16_t r = VbTrue; // nothing to send is no failure
    int n = first;
    bool going = true;
    for (; going && n % 8 != 0 && n <= last; ++n)
        going = (r = Pop16Write(static_cast<int16_t>(n), value(n))) != VbFalse;
    for (; going && last - n >= 7; n += 8)
        going =
            (r = PopPrm16Pages(static_cast<int16_t>(n / 8), static_cast<int16_t>(n / 8), prm16)) != VbFalse;
    for (; going && n <= last; ++n)
        going = (r = Pop16Write(static_cast<int16_t>(n), value(n))) != VbFalse;
    return r;
}

// ---- waveform ------------------------------------------------------------------------------------------

int16_t SetSokuTeiJyouKen(const WavGraphRec& cond, int16_t& st) {
    uint8_t data[5];
    std::string why;
    int16_t r = VbFalse;
    if (PackWavCond(cond, data, &why)) {
        std::copy_n(data, 5, SndBuf);
        r = Request(10, 2, 5, NoErrWindow, 0, 0);
    } else {
        log("SetSokuTeiJyouKen: " + why + ", nothing sent", LogOther);
    }
    if (r == VbFalse) {
        RetVar = Variant(GetExecRight(VbFalse));
        return VbFalse;
    }
    st = StatGet(0);
    return VbTrue;
}

int16_t SetGrpCh(WavGraphRec& cond, int16_t& st) {
    uint8_t data[4];
    PackGrpCh(cond, data);
    std::copy_n(data, 4, SndBuf);
    if (Request(10, 7, 4, NoErrWindow, 0, 0) == VbFalse) return VbFalse;
    st = StatGet(0);
    return VbTrue;
}

int16_t GrpSts(int16_t& st) {
    SndBuf[0] = 0;
    SndBuf[1] = 0;
    if (Request(10, 6, 2, NoErrWindow, 0, 0) == VbFalse) return -1;
    st = StatGet(0);
    return GrpStsOf(ComStatus);
}

int16_t TESKR_trans_graph(std::span<int16_t> samples, int16_t slot) {
    if (slot < 0 || slot > 3) {
        log("TESKR_trans_graph: slot " + std::to_string(slot) + " is not 0..3", LogOther);
        return VbFalse;
    }
    int counter = 0;
    for (int b = 0; b <= 7; ++b) {
        UpdStat("In-receiving the wave form graphic, block.:" + std::to_string(b));
        UpdPbar(b, 7);
        SndBuf[0] = static_cast<uint8_t>(b);
        SndBuf[1] = static_cast<uint8_t>(slot);
        log("TESKR_trans_graph:Data block" + std::to_string(b) + "Reception retry" + std::to_string(counter) +
                "3rd time",
            LogOther);
        if (Request(10, 6, 2, NoErrWindow, 10, kPageMask) == VbFalse ||
            !ReplyHolds(2 + 128, "TESKR_trans_graph")) {
            plat::MsgBox("Receipt of measurement result failed.", plat::Buttons::Ok, plat::Icon::None,
                         "Communication error");
            log("TESKR_trans_graph:Dara reception error", LogOther);
            return VbFalse;
        }
        const Reply r = LastReply();
        for (size_t k = 0; k < 64; ++k) {
            const size_t i = static_cast<size_t>(64 * b) + k;
            if (i < 500 && i < samples.size()) samples[i] = S16(r, 2 + 2 * k);
        }
        counter = 64;
    }
    return VbTrue;
}
