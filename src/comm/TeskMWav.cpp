// Family M: auto-tuning start, waveform conditions, the waveform-ready read and the waveform data read.
#include "comm/TeskM.h"

#include "app/Frame.h"
#include "app/Log.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/ComWrap.h"
#include "comm/QelApi.h"
#include "comm/TeskMReq.h"
#include "monitor/MonGlb.h"
#include "platform/Numbers.h"

#include <algorithm>

using plat::VbFalse;
using plat::VbTrue;
using namespace teskm;

namespace {

constexpr int16_t kAck = 0x06;
constexpr int16_t kNak = 0x15;
constexpr int16_t kEnq = 0x05;
constexpr int16_t kEot = 0x04;

} // namespace

int16_t AutoM(int16_t v) {
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    SndBuf[0] = static_cast<uint8_t>(std::clamp<int16_t>(v, 0, 255));
    // The amplifier answers nothing to this request: send only.
    ComResult = RsSndCmd(ComHandle, AxisNo, 10, 0, std::span<const uint8_t>(SndBuf, 1), 1);
    if (ComResult == 0) {
        RetVar = Variant(GetExecRight(VbFalse));
        return VbFalse;
    }
    return VbTrue;
}

int16_t GrpSetM(const WavCondRec& cond) {
    uint8_t data[4];
    std::string why;
    if (!PackWavCond(cond, data, &why)) {
        log("GrpSetM: " + why + ", nothing sent", LogOther);
        return VbFalse;
    }
    std::copy(std::begin(data), std::end(data), SndBuf);
    return Request(10, 2, 4, 0, 0x38);
}

int16_t GrpBlkRcvM() {
    if (qel::SndEnq(ComHandle) != 1) return 0;

    SndBuf[0] = 1;
    SndBuf[1] = static_cast<uint8_t>(AxisNo);
    SndBuf[2] = 0x3A; // mode 3, command 10
    SndBuf[3] = 0;
    SndBuf[4] = static_cast<uint8_t>(qel::CalSum(SndBuf));
    ComResult = qel::PutBlk(ComHandle, SndBuf, 5);

    ComResult = qel::GetChr(ComHandle);
    if (ComResult != kAck) return -1;
    if (qel::GetChr(ComHandle) != kEnq) return -1;
    qel::PutChr(ComHandle, kEot);

    const int16_t n = qel::GetChr(ComHandle);
    if (n < 0) return -1;
    RcvBuf[0] = static_cast<uint8_t>(n);
    const auto marker = static_cast<uint8_t>(n);
    const size_t follow = BytesAfterLength(marker);
    SndLen = static_cast<int16_t>(follow);
    for (size_t i = 1; i <= follow; ++i) {
        const int16_t c = qel::GetChr(ComHandle);
        if (c < 0) {
            log("GrpBlkRcvM: block stopped after " + std::to_string(i - 1) + " of " + std::to_string(follow) +
                    " bytes",
                LogOther);
            return -1;
        }
        RcvBuf[i] = static_cast<uint8_t>(c);
    }
    // A corrupted block is refused so that the amplifier may send it again, never taken for data.
    if (!BlockSumOk(std::span<const uint8_t>(RcvBuf, follow + 1))) {
        ComResult = qel::PutChr(ComHandle, kNak);
        log("GrpBlkRcvM: checksum error, answered NAK", LogOther);
        return -1;
    }
    ComResult = qel::PutChr(ComHandle, kAck);
    return IsExtendedMarker(marker) ? 1 : 0;
}

int16_t GrpDatJuShinM(const WavCondRec& cond) {
    const int code = WavDataCode(cond.Word[WavWOption]);
    if (code < 0) {
        log("GrpDatJuShinM: option " + std::to_string(cond.Word[WavWOption]) + " is not 0..2, nothing sent",
            LogOther);
        return VbFalse;
    }
    UpdPbar(0, 1);
    UpdStatFix("In-receiving the wave form graphic data.");
    SndBuf[0] = static_cast<uint8_t>(code);
    const int16_t r = Request(10, 3, 1, 0, 0x38);
    if (r != VbFalse) log("Graph data" + std::to_string(SndLen) + "Byte", LogOther);
    UpdStat("In-receiving the wave form graphic data.");
    UpdPbar(1, 1);
    return r;
}
