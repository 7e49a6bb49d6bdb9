// Family R paged parameter transfers: 16 sixteen-bit or 8 thirty-two-bit parameters a request.
#include "comm/TeskR.h"

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/TeskRReq.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Numbers.h"

using plat::VbFalse;
using plat::VbTrue;
using namespace teskr;

namespace {

constexpr uint8_t kPageMask = 0x80;

enum class Width { W16, W32 };

// One kind of page: where its entries sit in the tables and what the user is shown.
struct PageKind {
    Width width;
    bool system;
    int mode;
    const char* progress;
    bool log32; // "Page: .. Recieve: .." rather than "page; .. recieve: .."
};

// Table number of entry k of page p.
int Number(const PageKind& kind, int p, int k) {
    if (kind.width == Width::W16) return (kind.system ? 128 : 0) + 16 * p + k;
    return (kind.system ? Prm32Max : 0) + 8 * p + k;
}

int PerPage(const PageKind& kind) {
    return kind.width == Width::W16 ? 16 : 8;
}

void LogPage(const PageKind& kind, int page, int16_t result) {
    if (kind.log32)
        log("Page:" + std::to_string(page) + " Recieve:" + std::to_string(result), LogOther);
    else
        log("page;" + std::to_string(page) + " recieve:" + std::to_string(result), LogOther);
}

bool PagesFit(int first, int last, const char* who) {
    return first > last || (FitsByte(first, who) && FitsByte(last, who));
}

int16_t Send(const PageKind& kind, int16_t first, int16_t last, const char* who) {
    if (!PagesFit(first, last, who)) return VbFalse;
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    for (int page = first; page <= last; ++page) {
        UpdStat(kind.progress + std::to_string(page));
        UpdPbar(page - first + 1, last - first + 1);
        SndBuf[0] = static_cast<uint8_t>(page);
        for (int k = 0; k < PerPage(kind); ++k) {
            const int n = Number(kind, page, k);
            if (kind.width == Width::W16) {
                PutS16(&SndBuf[1 + 2 * k], n < PrmCnt ? PrmVal[n] : int16_t{0});
            } else {
                // Past the last parameter the page carries zeros.
                const bool inside = n <= Prm32MaxAll - 1 && n < PrmCnt;
                PutS32(&SndBuf[1 + 4 * k], inside ? Prm32Val[n] : 0);
            }
        }
        const int16_t r = Request(11, kind.mode, 33, 0, 0, kPageMask);
        if (r == VbFalse) {
            RetVar = Variant(GetExecRight(VbFalse));
            return VbFalse;
        }
        LogPage(kind, page, r);
    }
    RetVar = Variant(GetExecRight(VbFalse));
    return VbTrue;
}

// Receives pages; with compareAxis >= 0 only the values go to that axis's read-back row.
int16_t Receive(const PageKind& kind, int16_t first, int16_t last, int compareAxis, const char* who) {
    const bool compare = compareAxis >= 0;
    if (compare && compareAxis >= PrmCmpAxisCnt) {
        log(std::string(who) + ": axis " + std::to_string(compareAxis) + " has no read-back table", LogOther);
        return VbFalse;
    }
    if (!PagesFit(first, last, who)) return VbFalse;
    for (int page = first; page <= last; ++page) {
        if (compare)
            UpdStat(kind.progress + std::to_string(compareAxis) + " page:" + std::to_string(page));
        else
            UpdStat(kind.progress + std::to_string(page));
        UpdPbar(page - first + 1, last - first + 1);
        SndBuf[0] = static_cast<uint8_t>(page);
        const int16_t r = Request(11, kind.mode, 1, 0, 0, kPageMask);
        if (!compare) LogPage(kind, page, r);
        if (r == VbFalse) return VbFalse;
        // Both widths fill 128 bytes after the page byte.
        if (!ReplyHolds(1 + 128, who)) return VbFalse;

        if (kind.width == Width::W16) {
            std::array<Entry16, 16> e;
            DecodePrm16Page(LastReply(), e);
            for (int k = 0; k < 16; ++k) {
                const int n = Number(kind, page, k);
                if (n >= PrmCnt) continue;
                if (compare) {
                    PrmCmpVal[compareAxis][n] = e[k].Val;
                    continue;
                }
                PrmVal[n] = e[k].Val;
                PrmAttr[n].Min = e[k].Min;
                PrmAttr[n].Max = e[k].Max;
                PrmAttr[n].Attr = e[k].Attr;
            }
        } else {
            std::array<Entry32, 8> e;
            DecodePrm32Page(LastReply(), e);
            for (int k = 0; k < 8; ++k) {
                const int n = Number(kind, page, k);
                if (n < 0 || n >= PrmCnt) continue;
                if (compare) {
                    Prm32CmpVal[compareAxis][n] = e[k].Val;
                    continue;
                }
                Prm32Val[n] = e[k].Val;
                Prm32Attr[n].Min = e[k].Min;
                Prm32Attr[n].Max = e[k].Max;
                Prm32Attr[n].Attr = e[k].Attr;
            }
        }
    }
    return VbTrue;
}

const PageKind kUsr16Send{Width::W16, false, 2, "In-transmitting the user parameter(16bit), page", false};
const PageKind kSys16Send{Width::W16, true, 5, "In-transmitting the system parameter(16bit),page:", false};
const PageKind kUsr16Recv{Width::W16, false, 1, "In-receiving the user parameter(16bit), page", false};
const PageKind kSys16Recv{Width::W16, true, 4, "In-receiving the system parameter(16bit), page", false};
const PageKind kUsr16Cmp{Width::W16, false, 1, "In-receiving the 16bit user parameter for comparison , axis",
                         false};
const PageKind kSys16Cmp{Width::W16, true, 4, "In-receiving the 16bit system parameter for comparison , axis",
                         false};
const PageKind kUsr32Recv{Width::W32, false, 7, "In-receiving the 32bit user parameter, page", true};
const PageKind kSys32Recv{Width::W32, true, 10, "In-receiving the 32bit system parameter, page", true};
const PageKind kUsr32Cmp{Width::W32, false, 7, "In-receiving the 32bit user parameter for comparison, axis",
                         true};
const PageKind kSys32Cmp{Width::W32, true, 10, "In-receiving the 32bit system parameter for comparison, axis",
                         true};
const PageKind kUsr32Send{Width::W32, false, 8, "Transferring 32bit user parameter. page", true};
const PageKind kSys32Send{Width::W32, true, 11, "Transferring 32bit system parameter. page", true};

} // namespace

int16_t UsrPrm16SouShin(int16_t first, int16_t last) {
    return Send(kUsr16Send, first, last, "UsrPrm16SouShin");
}
int16_t SysPrm16SouShin(int16_t first, int16_t last) {
    return Send(kSys16Send, first, last, "SysPrm16SouShin");
}
int16_t UsrPrm16ZyuShin(int16_t first, int16_t last) {
    return Receive(kUsr16Recv, first, last, -1, "UsrPrm16ZyuShin");
}
int16_t SysPrm16ZyuShin(int16_t first, int16_t last) {
    return Receive(kSys16Recv, first, last, -1, "SysPrm16ZyuShin");
}
int16_t UsrPrm16HiKaKu(int16_t first, int16_t last, int16_t axis) {
    return axis < 0 ? VbFalse : Receive(kUsr16Cmp, first, last, axis, "UsrPrm16HiKaKu");
}
int16_t SysPrm16HiKaKu(int16_t first, int16_t last, int16_t axis) {
    return axis < 0 ? VbFalse : Receive(kSys16Cmp, first, last, axis, "SysPrm16HiKaKu");
}
int16_t UsrPrm32ZyuShin(int16_t first, int16_t last) {
    return Receive(kUsr32Recv, first, last, -1, "UsrPrm32ZyuShin");
}
int16_t SysPrm32ZyuShin(int16_t first, int16_t last) {
    return Receive(kSys32Recv, first, last, -1, "SysPrm32ZyuShin");
}
int16_t UsrPrm32HiKaKu(int16_t first, int16_t last, int16_t axis) {
    return axis < 0 ? VbFalse : Receive(kUsr32Cmp, first, last, axis, "UsrPrm32HiKaKu");
}
int16_t SysPrm32HiKaKu(int16_t first, int16_t last, int16_t axis) {
    return axis < 0 ? VbFalse : Receive(kSys32Cmp, first, last, axis, "SysPrm32HiKaKu");
}
int16_t UsrPrm32SouShin(int16_t first, int16_t last) {
    return Send(kUsr32Send, first, last, "UsrPrm32SouShin");
}
int16_t SysPrm32SouShin(int16_t first, int16_t last) {
    return Send(kSys32Send, first, last, "SysPrm32SouShin");
}

void InstallTeskRPrmRecv() {
    PrmRecvSteps& s = PrmRecv();
    s.usrPrm16ZyuShin = UsrPrm16ZyuShin;
    s.usrPrm32ZyuShin = UsrPrm32ZyuShin;
    s.sysPrm16ZyuShin = SysPrm16ZyuShin;
    s.sysPrm32ZyuShin = SysPrm32ZyuShin;
}
