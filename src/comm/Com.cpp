#include "comm/Com.h"

#include "app/Glb.h"
#include "app/Log.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/QelApi.h"
#include "platform/Ask.h"
#include "platform/Library.h"

#include <string>

void ComBusySet(int16_t bit) {
    ComBusy = static_cast<int16_t>(ComBusy | bit);
}

void ComBusyClr(int16_t bit) {
    ComBusy = static_cast<int16_t>(ComBusy & ~bit);
}

int16_t ComBusyGet() {
    return ComBusy;
}

int16_t ComPortOpen(int16_t port, int32_t rate) {
    // One link at a time: whatever another path left open goes first.
    qel::CloseAll();
    ComHandle = qel::Open(port, rate > 0 ? static_cast<uint32_t>(rate) : 0u);
    return ComHandle != 0 ? int16_t(-1) : int16_t(0);
}

void ComSetTime(int32_t t1, int32_t t2, int16_t retries) {
    // The library takes 0 (and a negative retry count) as "only read"; a negative time must not turn into
    // a huge unsigned one.
    RetVar = static_cast<int32_t>(qel::SetT1(ComHandle, t1 > 0 ? static_cast<uint32_t>(t1) : 0u));
    RetVar = static_cast<int32_t>(qel::SetT2(ComHandle, t2 > 0 ? static_cast<uint32_t>(t2) : 0u));
    RetVar = qel::SetRty(ComHandle, retries);
}

void ComSetTimeDef() {
    ComSetTime(ComT1, ComT2, ComRetry);
}

int16_t ComOpen(int16_t port, int32_t rate) {
    if (ComPortOpen(port, rate)) {
        ComSetTimeDef();
        return -1;
    }
    plat::MsgBox("The other application is occupying the communication port.", plat::Buttons::Ok);
    return 0;
}

void ComClose() {
    try {
        ComResult = qel::CloseAll();
    } catch (const plat::LibraryMissing& e) {
        // Without the library no link can be open, so going off line is all there is to do.
        log(std::string("ComClose: ") + e.what(), LogOther);
        ComResult = 0;
    }
    ComHandle = 0;
}
