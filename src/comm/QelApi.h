// The link library's exports as the program calls them, under their own names in namespace qel
// (qel::Open is Qel_Open). Each is bound by name in libqel.so at its own first call, so a missing library or
// export throws plat::LibraryMissing only where it is used. What each returns is documented in the
// library's header, src/link/qel.h; the program never links the library itself.
#pragma once

#include "platform/Library.h"

#include <cstdint>

namespace qel {

inline constexpr const char* kLibrary = "libqel.so";

inline int16_t IsReg(uint32_t link) {
    static plat::LazyFn<int16_t(uint32_t)> f(kLibrary, "Qel_IsReg");
    return f(link);
}

inline int16_t AddReg(uint32_t link) {
    static plat::LazyFn<int16_t(uint32_t)> f(kLibrary, "Qel_AddReg");
    return f(link);
}

inline int16_t DelReg(uint32_t link) {
    static plat::LazyFn<int16_t(uint32_t)> f(kLibrary, "Qel_DelReg");
    return f(link);
}

inline uint32_t GetQel() {
    static plat::LazyFn<uint32_t()> f(kLibrary, "Qel_GetQel");
    return f();
}

inline int16_t Ping(int16_t i) {
    static plat::LazyFn<int16_t(int16_t)> f(kLibrary, "Qel_Ping");
    return f(i);
}

inline uint32_t Version(char* text1, char* text2) {
    static plat::LazyFn<uint32_t(char*, char*)> f(kLibrary, "Qel_Version");
    return f(text1, text2);
}

inline uint32_t Open(int16_t port, uint32_t baud) {
    static plat::LazyFn<uint32_t(int16_t, uint32_t)> f(kLibrary, "Qel_Open");
    return f(port, baud);
}

inline void SetTimeOut(uint32_t link, uint32_t t) {
    static plat::LazyFn<void(uint32_t, uint32_t)> f(kLibrary, "Qel_SetTimeOut");
    return f(link, t);
}

inline uint32_t SetT1(uint32_t link, uint32_t t) {
    static plat::LazyFn<uint32_t(uint32_t, uint32_t)> f(kLibrary, "Qel_SetT1");
    return f(link, t);
}

inline uint32_t SetT2(uint32_t link, uint32_t t) {
    static plat::LazyFn<uint32_t(uint32_t, uint32_t)> f(kLibrary, "Qel_SetT2");
    return f(link, t);
}

inline int16_t SetRty(uint32_t link, int16_t n) {
    static plat::LazyFn<int16_t(uint32_t, int16_t)> f(kLibrary, "Qel_SetRty");
    return f(link, n);
}

inline int16_t SetMaster(uint32_t link, int16_t m) {
    static plat::LazyFn<int16_t(uint32_t, int16_t)> f(kLibrary, "Qel_SetMaster");
    return f(link, m);
}

inline int16_t Close(uint32_t* link) {
    static plat::LazyFn<int16_t(uint32_t*)> f(kLibrary, "Qel_Close");
    return f(link);
}

inline int16_t CloseAll() {
    static plat::LazyFn<int16_t()> f(kLibrary, "Qel_CloseAll");
    return f();
}

inline int16_t PutBlk(uint32_t link, const uint8_t* buf, int16_t n) {
    static plat::LazyFn<int16_t(uint32_t, const uint8_t*, int16_t)> f(kLibrary, "Qel_PutBlk");
    return f(link, buf, n);
}

inline int16_t GetBlk(uint32_t link, uint8_t* buf, int16_t n) {
    static plat::LazyFn<int16_t(uint32_t, uint8_t*, int16_t)> f(kLibrary, "Qel_GetBlk");
    return f(link, buf, n);
}

inline int16_t PutChr(uint32_t link, int16_t c) {
    static plat::LazyFn<int16_t(uint32_t, int16_t)> f(kLibrary, "Qel_PutChr");
    return f(link, c);
}

inline int16_t GetChr(uint32_t link) {
    static plat::LazyFn<int16_t(uint32_t)> f(kLibrary, "Qel_GetChr");
    return f(link);
}

inline int16_t Clr(uint32_t link) {
    static plat::LazyFn<int16_t(uint32_t)> f(kLibrary, "Qel_Clr");
    return f(link);
}

inline int16_t CalSum(const uint8_t* block) {
    static plat::LazyFn<int16_t(const uint8_t*)> f(kLibrary, "Qel_CalSum");
    return f(block);
}

inline int16_t SumNG(const uint8_t* block) {
    static plat::LazyFn<int16_t(const uint8_t*)> f(kLibrary, "Qel_SumNG");
    return f(block);
}

inline int16_t SetBlk(uint8_t* block, int16_t address, int16_t cmd, int16_t mode, const uint8_t* data,
                      int16_t n) {
    static plat::LazyFn<int16_t(uint8_t*, int16_t, int16_t, int16_t, const uint8_t*, int16_t)> f(
        kLibrary, "Qel_SetBlk");
    return f(block, address, cmd, mode, data, n);
}

inline int16_t RcvCmdSub(uint32_t link, uint8_t* block) {
    static plat::LazyFn<int16_t(uint32_t, uint8_t*)> f(kLibrary, "Qel_RcvCmdSub");
    return f(link, block);
}

inline int16_t SndCmdSub(uint32_t link, const uint8_t* block, int16_t n) {
    static plat::LazyFn<int16_t(uint32_t, const uint8_t*, int16_t)> f(kLibrary, "Qel_SndCmdSub");
    return f(link, block, n);
}

inline int16_t SndCmd(uint32_t link, const uint8_t* block, int16_t n) {
    static plat::LazyFn<int16_t(uint32_t, const uint8_t*, int16_t)> f(kLibrary, "Qel_SndCmd");
    return f(link, block, n);
}

inline int16_t SndCmd2(uint32_t link, int16_t address, int16_t cmd, int16_t mode, const uint8_t* data,
                       int16_t n) {
    static plat::LazyFn<int16_t(uint32_t, int16_t, int16_t, int16_t, const uint8_t*, int16_t)> f(
        kLibrary, "Qel_SndCmd2");
    return f(link, address, cmd, mode, data, n);
}

inline int16_t RcvCmd(uint32_t link, uint8_t* block) {
    static plat::LazyFn<int16_t(uint32_t, uint8_t*)> f(kLibrary, "Qel_RcvCmd");
    return f(link, block);
}

inline int16_t RcvCmd2(uint32_t link, int16_t* address, int16_t* cmd, int16_t* mode, uint8_t* data,
                       int16_t* n) {
    static plat::LazyFn<int16_t(uint32_t, int16_t*, int16_t*, int16_t*, uint8_t*, int16_t*)> f(kLibrary,
                                                                                               "Qel_RcvCmd2");
    return f(link, address, cmd, mode, data, n);
}

inline int16_t SndRcv(uint32_t link, int16_t* address, int16_t* cmd, int16_t* mode, uint8_t* data,
                      int16_t* n) {
    static plat::LazyFn<int16_t(uint32_t, int16_t*, int16_t*, int16_t*, uint8_t*, int16_t*)> f(kLibrary,
                                                                                               "Qel_SndRcv");
    return f(link, address, cmd, mode, data, n);
}

inline int16_t LogOn(int16_t flag) {
    static plat::LazyFn<int16_t(int16_t)> f(kLibrary, "Qel_LogOn");
    return f(flag);
}

inline int16_t SndEnq(uint32_t link) {
    static plat::LazyFn<int16_t(uint32_t)> f(kLibrary, "Qel_SndEnq");
    return f(link);
}

} // namespace qel
