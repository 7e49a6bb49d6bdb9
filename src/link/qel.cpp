// The exports: link records, the ten-slot registry, and the byte and block calls on a link.
//
// Callers hold opaque 32-bit handles, never addresses: every export looks its handle up first, so a
// closed or made-up handle fails safely. Records live in a plain list (no static objects with
// destructors) so that the unload hook can close them whatever order the loader runs things in.
#include "link/qel.h"

#include "link/exchange.h"
#include "link/frame.h"
#include "link/port.h"
#include "link/trace.h"

#include <cstdio>
#include <cstring>
#include <new>

#define QEL_EXPORT extern "C" __attribute__((visibility("default")))

using namespace qel;

namespace {

struct Link {
    uint32_t handle = 0;
    Link* next = nullptr;  // in the list of all records
    char name[32] = {};
    Port port;
    uint32_t baud = 0;
    int16_t port_no = 0;
    int16_t count = 0;
    int16_t retry = 3;
    int16_t master = 0;
    uint32_t T1 = 500;
    uint32_t T2 = 10000;

    uint32_t Multiplier() const { return 10000 / baud; }
    Waits GetWaits() const { return {T1, T2, Multiplier()}; }
};

constexpr int kSlots = 10;

Link* g_links = nullptr;       // every record, registered or not
uint32_t g_slots[kSlots] = {};  // the registry
uint32_t g_next_handle = 0x5A3C0E71u;

Link* Record(uint32_t handle)
{
    if (handle == 0)
        return nullptr;
    for (Link* l = g_links; l; l = l->next)
        if (l->handle == handle)
            return l;
    return nullptr;
}

int SlotOf(uint32_t handle)
{
    if (handle == 0)
        return -1;
    for (int i = 0; i < kSlots; ++i)
        if (g_slots[i] == handle)
            return i;
    return -1;
}

// The record of a registered handle, or null.
Link* Registered(uint32_t handle)
{
    return SlotOf(handle) >= 0 ? Record(handle) : nullptr;
}

uint32_t NewHandle()
{
    // An odd step visits every 32-bit value once, so a closed handle stays invalid for a long time.
    do
        g_next_handle += 0x9E3779B1u;
    while (g_next_handle == 0 || Record(g_next_handle));
    return g_next_handle;
}

void Free(Link* link)
{
    for (Link** p = &g_links; *p; p = &(*p)->next) {
        if (*p == link) {
            *p = link->next;
            break;
        }
    }
    link->port.Close();
    delete link;
}

}  // namespace

QEL_EXPORT int16_t Qel_IsReg(uint32_t link)
{
    return SlotOf(link) >= 0 ? 1 : 0;
}

QEL_EXPORT int16_t Qel_AddReg(uint32_t link)
{
    // Only our own records, and each once: a duplicate slot would outlive the record it names.
    if (!Record(link) || SlotOf(link) >= 0)
        return 0;
    for (uint32_t& slot : g_slots) {
        if (slot == 0) {
            slot = link;
            return 1;
        }
    }
    return 0;
}

QEL_EXPORT int16_t Qel_DelReg(uint32_t link)
{
    const int slot = SlotOf(link);
    if (slot < 0)
        return 0;
    g_slots[slot] = 0;
    return 1;
}

QEL_EXPORT uint32_t Qel_GetQel(void)
{
    for (uint32_t slot : g_slots)
        if (slot != 0)
            return slot;
    return 0;
}

QEL_EXPORT int16_t Qel_Ping(int16_t i)
{
    TraceLog("Qel_Ping : i:%d\n", i);
    return static_cast<int16_t>(i + 1);
}

QEL_EXPORT uint32_t Qel_Version(char* text1, char* text2)
{
    static const char kVersion[] = "Qel serial link version 3";  // fits 34 bytes
    static const char kCopyright[] = "Copyright (C) Mevalo developers";  // fits 36 bytes
    if (text1)
        std::memcpy(text1, kVersion, sizeof kVersion);
    if (text2)
        std::memcpy(text2, kCopyright, sizeof kCopyright);
    return 3;
}

QEL_EXPORT uint32_t Qel_Open(int16_t port, uint32_t baud)
{
    Link* link = new (std::nothrow) Link;
    if (!link) {
        TraceErr("Qel_Open:Ｑｅｌを格納するメモリが確保出来ません。\n");
        return 0;
    }
    std::snprintf(link->name, sizeof link->name, "COM%d", port);
    link->baud = baud;
    link->port_no = port;
    link->handle = NewHandle();
    link->next = g_links;
    g_links = link;

    if (!Qel_AddReg(link->handle)) {
        Free(link);
        TraceErr("Qel_Open:Qel_AddRegで、新たなＱｅｌが登録出来ません。\n");
        return 0;
    }
    if (!link->port.Open(link->name, port, baud)) {
        Qel_DelReg(link->handle);
        Free(link);
        TraceErr("Qel_Open:COM_Openで、通信ポートが開きません。\n");
        return 0;
    }
    link->port.SetTimeouts({500, link->Multiplier(), 500});
    return link->handle;
}

QEL_EXPORT void Qel_SetTimeOut(uint32_t link, uint32_t t)
{
    Link* l = Registered(link);
    if (!l)
        return;
    const uint32_t m = l->Multiplier();
    // All three 0 would mean "wait for ever" to the port.
    if (t == 0 && m == 0)
        t = 1;
    l->port.SetTimeouts({t, m, t});
}

QEL_EXPORT uint32_t Qel_SetT1(uint32_t link, uint32_t t)
{
    Link* l = Registered(link);
    if (!l)
        return 0;
    if (t != 0)
        l->T1 = t;
    return l->T1;
}

QEL_EXPORT uint32_t Qel_SetT2(uint32_t link, uint32_t t)
{
    Link* l = Registered(link);
    if (!l)
        return 0;
    if (t != 0)
        l->T2 = t;
    return l->T2;
}

QEL_EXPORT int16_t Qel_SetRty(uint32_t link, int16_t n)
{
    Link* l = Registered(link);
    if (!l)
        return 0;
    if (n >= 0)
        l->retry = n;
    return l->retry;
}

QEL_EXPORT int16_t Qel_SetMaster(uint32_t link, int16_t m)
{
    Link* l = Registered(link);
    if (!l)
        return 0;
    if (m == 0 || m == 1)
        l->master = m;
    return l->master;
}

QEL_EXPORT int16_t Qel_Close(uint32_t* link)
{
    if (!link)
        return 0;
    Link* l = Registered(*link);
    if (!l)
        return 0;
    Qel_DelReg(*link);
    Free(l);
    *link = 0;
    return 1;
}

QEL_EXPORT int16_t Qel_CloseAll(void)
{
    int16_t closed = 0;
    for (uint32_t link = Qel_GetQel(); link != 0; link = Qel_GetQel()) {
        if (!Qel_Close(&link))
            break;  // cannot happen: every slot names a record
        ++closed;
    }
    return closed;
}

QEL_EXPORT int16_t Qel_PutBlk(uint32_t link, const uint8_t* buf, int16_t n)
{
    Link* l = Registered(link);
    if (!l || !buf || n < 0)
        return 0;
    return static_cast<int16_t>(l->port.Write(buf, n));
}

QEL_EXPORT int16_t Qel_GetBlk(uint32_t link, uint8_t* buf, int16_t n)
{
    Link* l = Registered(link);
    if (!l || !buf || n < 0)
        return 0;
    return static_cast<int16_t>(l->port.Read(buf, n));
}

QEL_EXPORT int16_t Qel_PutChr(uint32_t link, int16_t c)
{
    Link* l = Registered(link);
    if (!l)
        return 0;
    TraceLog("Qel_PutChr:%dを送信します\n", c);
    return static_cast<int16_t>(PutByte(l->port, static_cast<uint8_t>(c & 0xFF)));
}

QEL_EXPORT int16_t Qel_GetChr(uint32_t link)
{
    Link* l = Registered(link);
    if (!l)
        return -1;
    uint8_t c = 0;
    const int got = l->port.Read(&c, 1);
    TraceLog("Qel_GetChr:%dを受信しました状態%d\n", c, got);
    return got == 1 ? c : -1;
}

QEL_EXPORT int16_t Qel_Clr(uint32_t link)
{
    TraceLog("Qel_Clr:受信バッファーの文字を空にします。\n");
    Link* l = Registered(link);
    if (!l)
        return 0;
    return static_cast<int16_t>(Drain(l->port, l->Multiplier()));
}

QEL_EXPORT int16_t Qel_CalSum(const uint8_t* block)
{
    return block ? ExpectedSum(block) : 0;
}

QEL_EXPORT int16_t Qel_SumNG(const uint8_t* block)
{
    return block ? static_cast<int16_t>(SumNG(block)) : 1;
}

QEL_EXPORT int16_t Qel_SetBlk(uint8_t* block, int16_t address, int16_t cmd, int16_t mode,
                              const uint8_t* data, int16_t n)
{
    return static_cast<int16_t>(BuildBlock(block, address, cmd, mode, data, n));
}

QEL_EXPORT int16_t Qel_RcvCmdSub(uint32_t link, uint8_t* block)
{
    Link* l = Registered(link);
    if (!l || !block)
        return -1;
    return static_cast<int16_t>(ReceiveTry(l->port, l->GetWaits(), block));
}

QEL_EXPORT int16_t Qel_SndCmdSub(uint32_t link, const uint8_t* block, int16_t n)
{
    Link* l = Registered(link);
    if (!l || !block || n < 0 || n > kMaxRequestData)
        return 0;
    return static_cast<int16_t>(SendTry(l->port, l->GetWaits(), block, n));
}

QEL_EXPORT int16_t Qel_SndCmd(uint32_t link, const uint8_t* block, int16_t n)
{
    TraceLog("－－－－－Qel_SndCmd qel:%lX－－－－－\n", static_cast<unsigned long>(link));
    Link* l = Registered(link);
    if (!l) {
        TraceLog("Qel_SndEnq:Qelで無いポインタが与えられました\n");
        return 0;
    }
    if (!block || n < 0 || n > kMaxRequestData)
        return 0;
    for (l->count = 0; l->count < l->retry; ++l->count)
        if (SendTry(l->port, l->GetWaits(), block, n))
            return 1;
    return 0;
}

QEL_EXPORT int16_t Qel_SndCmd2(uint32_t link, int16_t address, int16_t cmd, int16_t mode,
                               const uint8_t* data, int16_t n)
{
    if (!Registered(link))
        return 0;
    TraceLog("cmd:%d mode:%d num:%d\n", cmd, mode, n);
    uint8_t block[1024];
    if (BuildBlock(block, address, cmd, mode, data, n) < 0)
        return 0;
    const int16_t result = Qel_SndCmd(link, block, n);
    TraceLog("Qel_SndCmd:実行結果%d\n", result);
    return result;
}

QEL_EXPORT int16_t Qel_RcvCmd(uint32_t link, uint8_t* block)
{
    TraceLog("－－－－－Qel_RcvCmd－－－－－\n");
    Link* l = Registered(link);
    if (!l || !block)
        return 0;
    return static_cast<int16_t>(Receive(l->port, l->GetWaits(), block));
}

QEL_EXPORT int16_t Qel_RcvCmd2(uint32_t link, int16_t* address, int16_t* cmd, int16_t* mode,
                               uint8_t* data, int16_t* n)
{
    if (!Registered(link) || !address || !cmd || !mode || !data || !n)
        return 0;
    TraceLog("Qel_RcvCmd2:受信します\n");
    uint8_t block[QEL_RCV_BLOCK_SIZE];
    const int16_t result = Qel_RcvCmd(link, block);
    TraceLog("Qel_RcvCmd2:受信結果は%d\n", result);
    if (result != 1) {
        TraceLog("Qel_RcvCmd2:受信失敗です\n");
        return 0;
    }
    const BlockFields f = SplitBlock(block);
    *n = static_cast<int16_t>(f.n);
    *address = static_cast<int16_t>(f.address);
    *mode = static_cast<int16_t>(f.mode);
    *cmd = static_cast<int16_t>(f.cmd);
    std::memcpy(data, f.data, static_cast<size_t>(f.n));
    TraceLog("Qel_RcvCmd2:受信成功です\n");
    return 1;
}

QEL_EXPORT int16_t Qel_SndRcv(uint32_t link, int16_t* address, int16_t* cmd, int16_t* mode,
                              uint8_t* data, int16_t* n)
{
    if (!Registered(link) || !address || !cmd || !mode || !data || !n)
        return 0;
    Qel_Clr(link);
    if (!Qel_SndCmd2(link, *address, *cmd, *mode, data, *n))
        return 0;
    return Qel_RcvCmd2(link, address, cmd, mode, data, n);
}

QEL_EXPORT int16_t Qel_LogOn(int16_t flag)
{
    SetLogSwitch(flag);
    return static_cast<int16_t>(flag + 1);
}

QEL_EXPORT int16_t Qel_SndEnq(uint32_t link)
{
    Link* l = Registered(link);
    if (!l) {
        TraceLog("Qel_SndEnq:Qelで無いポインタが与えられました\n");
        return 0;
    }
    return static_cast<int16_t>(SendEnq(l->port, l->GetWaits()));
}

// Unload: close every link still open, registered or not, so no port outlives the library.
__attribute__((destructor)) static void CloseLinksAtUnload()
{
    Qel_CloseAll();
    while (g_links)
        Free(g_links);
}
