// The in-memory parameter set of the connected amplifier: 16-bit and 32-bit values with their attribute
// records, copies per axis, the values read back for the EEPROM change list, and the source of the values
// on screen. The counts that bound them are in PrmGlb.h. Plain globals of fixed size, one user-interface
// thread. Results are the program's 16-bit Booleans (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Parameter numbers 0 to 256.
constexpr int PrmCnt = 257;
// Per-axis copies: axes 0 to 16. Read-back tables: axes 0 to 15.
constexpr int PrmAxisCnt = 17;
constexpr int PrmCmpAxisCnt = 16;

// Attribute bits (Attr) of both tables.
enum PrmAttrBit : int16_t {
    PrmAttrSystem = 0x08,   // system parameter: below operating mode 2 it cannot be set
    PrmAttrPowerOff = 0x10, // takes effect after the amplifier is switched off and on
    PrmAttrReadOnly = 0x80,
    PrmAttrReadOnly2 = 0x100,
};
// Selection bits (Type): in the user's selection, selection offered.
enum PrmTypeBit : int16_t { PrmTypeSelected = 0x01, PrmTypeSelectable = 0x02 };

struct PrmAttrRec {
    std::string name;
    int16_t Attr = 0;
    int16_t Type = 0;
    int16_t Min = 0;
    int16_t Max = 0;
    std::string Guide[4];
};

struct Prm32AttrRec {
    std::string name;
    int32_t Attr = 0;
    int32_t Type = 0;
    int32_t Min = 0;
    int32_t Max = 0;
    std::string Guide[4];
};

extern int16_t PrmVal[PrmCnt];
extern PrmAttrRec PrmAttr[PrmCnt];
extern int32_t Prm32Val[PrmCnt];
extern Prm32AttrRec Prm32Attr[PrmCnt];

extern int16_t PrmValAxis[PrmAxisCnt][PrmCnt];
extern int32_t Prm32ValAxis[PrmAxisCnt][PrmCnt];
// The parameter-load dialog's two choices (receive every axis, receive page by page), kept per axis.
extern int16_t PrmFlg;
extern int16_t PrmIsAmp;
extern int16_t AxisPrmFlag[PrmAxisCnt];
extern int16_t AxisPrmSrc[PrmAxisCnt];

extern int16_t PrmCmpVal[PrmCmpAxisCnt][PrmCnt];
extern int32_t Prm32CmpVal[PrmCmpAxisCnt][PrmCnt];
extern int16_t PrmCmpDone[PrmCmpAxisCnt];
extern int16_t Prm32CmpDone[PrmCmpAxisCnt];

// Source of the values on screen: 1 amplifier, 2 file, 3 factory presets; its caption; and whether the
// user (system) values on screen are the amplifier's.
extern int32_t PrmSrc;
extern std::string PrmSrcMei;
extern int16_t UsrPrmSent;
extern int16_t SysPrmSent;

// ---- values and attributes -------------------------------------------------------------------------

// Stores value at n within Min..Max unless the parameter is read-only, or a system parameter below
// operating mode 2. Returns what n holds afterwards, so the caller sees a clamp or a refusal. A number
// outside 0..256 stores nothing and gives 0.
int16_t SetPrmVal(int n, int16_t value);
int32_t SetPrm32Val(int n, int32_t value);

// The record's Attr (Type) has a bit of mask. False for a number outside 0..256.
int16_t ChkPrmAttr(int n, int32_t mask);
int16_t ChkPrmType(int n, int32_t mask);
int16_t ChkPrm32Attr(int n, int32_t mask);
int16_t ChkPrm32Type(int n, int32_t mask);

// Range checks before a send or a save: True when every value of the range is within its limits;
// otherwise the first one out of range is reported in a message box and the result is False.
int16_t ChkUsrPrmData();   // 0 .. Prm16Max - 1, parameters without the system bit
int16_t ChkSysPrmData();   // 0 .. Prm16MaxAll, system parameters
int16_t ChkUsrPrm32Data(); // 0 .. Prm32Max - 1, parameters without the system bit
int16_t ChkSysPrm32Data(); // 0 .. Prm32MaxAll - 1, system parameters

// The 16-bit checksum of PrmVal(from) .. PrmVal(to - 1), as a signed 16-bit value.
int32_t PrmSum(int from, int to);

// Last parameter number shown in operating mode level (1 normal; 2 and 3 show the system parameters).
int16_t Prm16LastFor(int16_t level);
int16_t Prm32LastFor(int16_t level);

// ---- per-axis copies -------------------------------------------------------------------------------

// Between the current tables and axis's copies (axis 0..16; any other axis does nothing). Attribute
// records belong to every axis and are not copied.
void SavePrmToAxis(int axis);
void LoadPrmFromAxis(int axis);
void SavePrm32ToAxis(int axis);
void LoadPrm32FromAxis(int axis);

// ---- data source -----------------------------------------------------------------------------------

// Sets the source (1 amplifier, 2 file, 3 presets) with its caption and sent flags; a non-empty title
// replaces the caption. Then tells the parameter editor through PrmSrcNotice.
void SetPrmSrc(int32_t kind, const std::string& title);
// The parameter editor registers here while it is loaded, to redraw its source and pages.
std::function<void()>& PrmSrcNotice();

// ---- receiving every parameter ----------------------------------------------------------------------

// The steps PrmZenZyuShin runs, installed by the command sets. An empty step counts as failed.
struct PrmRecvSteps {
    std::function<int16_t(int16_t ask, const std::string& title)>
        chkComm;                         // empty: the request core's ChkComm
    std::function<int16_t()> prmJuShinK; // family K: -1 received, -2 refused, 0 failed
    std::function<int16_t(int16_t first, int16_t last)> usrPrm16ZyuShin; // family R, pages first..last
    std::function<int16_t(int16_t first, int16_t last)> usrPrm32ZyuShin;
    std::function<int16_t(int16_t first, int16_t last)> sysPrm16ZyuShin;
    std::function<int16_t(int16_t first, int16_t last)> sysPrm32ZyuShin;
    std::function<int16_t()> usrPrmJuShinM; // family M, user block
    std::function<int16_t()> sysPrmJuShinM; // family M, system block
};
PrmRecvSteps& PrmRecv();

// Receives every parameter of the current axis through the family of the connected series, telling the
// user of each failed step. Only when every step succeeded do the values count as the amplifier's (source
// 1); otherwise the source stays and the sent flags are cleared. True when every step succeeded.
int16_t PrmZenZyuShin();

// ---- definition groups -----------------------------------------------------------------------------

// PARA MENU / PARA MENU32 records: name, Min, Max, Attr, Type, four guide lines.
void FIL_LoadParaMenu(int16_t file, int16_t index);
void FIL_LoadParaMenu32(int16_t file, int16_t index);

// Installs SetPrmSrc as the group-file reader's data-source call.
void WirePrmTbl();
