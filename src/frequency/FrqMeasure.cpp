#include "frequency/FrqMeasure.h"

#include "comm/SpektApi.h"
#include "platform/Numbers.h"

bool FrqCondInRange(double amp, double off, double smp) {
    return amp > 0 && off + amp < 5000 && off - amp > -5000 && smp >= 0 && smp <= 63;
}

std::array<uint8_t, 7> FrqStartRequest(int smp, bool fullClose, int amp, int off, int count) {
    std::array<uint8_t, 7> b{};
    b[0] = static_cast<uint8_t>((smp & 0xFF) | (fullClose ? 0x40 : 0));
    spekt::StoB(static_cast<int16_t>(amp), &b[2], &b[1]);
    spekt::StoB(static_cast<int16_t>(off), &b[4], &b[3]);
    spekt::StoB(static_cast<int16_t>(count), &b[6], &b[5]);
    return b;
}

int FrqReplyWords(int n) {
    return n < 2 ? 0 : (n - 2) / 2;
}

int FrqStoreWords(FrqRec& rec, int ptr, int limit, std::span<const uint8_t> reply) {
    const int words = FrqReplyWords(static_cast<int>(reply.size()));
    if (limit > FrqRawCnt) limit = FrqRawCnt;
    for (int i = 0; i < words && ptr < limit; ++i, ++ptr)
        rec.Raw[ptr] =
            spekt::BtoS(reply[2 * static_cast<size_t>(i) + 2], reply[2 * static_cast<size_t>(i) + 1]);
    return ptr;
}

FrqCondRec FrqPendingCond() {
    return FrqNextCondSet ? FrqNextCond : static_cast<const FrqCondRec&>(SokuTeiRec);
}

void FrqStorePendingCond(const FrqCondRec& cond) {
    if (SokuTeiRec.Valid == 0) {
        static_cast<FrqCondRec&>(SokuTeiRec) = cond;
        FrqNextCondSet = plat::VbFalse;
    } else {
        FrqNextCond = cond;
        FrqNextCondSet = plat::VbTrue;
    }
}
