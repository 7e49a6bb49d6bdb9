// Positioning data of the connected amplifier: the step table, the 16-bit and 32-bit positioning
// parameter tables, the definitions the series definition files fill, the data source, and the small
// procedures that keep the tables consistent (backup around an axis change, loading a data file).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/SetModel.h"
#include "app/Variant.h"

// True when the model has the positioning function.
extern int16_t PopEnable;
// Entry counts: words 0..2 from the definition file, word 3 the one in force (word 2 in operating
// modes 2 and 3, else word 1). Word 2 is also what backup, restore and the data files cover.
extern int16_t PopStepCnt[4];
extern int16_t Pop16Cnt[4];
extern int16_t Pop32Cnt[4];
// Step position limits, as texts.
extern Variant PopPosMin;
extern Variant PopPosMax;

// Choices of the step columns: column 0..10, item 0..100.
constexpr int PopItemCols = 11;
constexpr int PopItemRows = 101;
struct PopItemRec {
    std::string Name;
    int32_t Code = 0;
    std::string Text;
};
extern PopItemRec PopItem[PopItemCols][PopItemRows];

// Texts of the positioning screens: line 0..30, column 0..30.
constexpr int LblTxtCnt = 31;
extern std::string LblTxt[LblTxtCnt][LblTxtCnt];

// ---- steps ---------------------------------------------------------------------------------------

// Steps 0..1024.
constexpr int PopStepTblCnt = 1025;

// Ranges of the step codes as the amplifier takes them; a code read from a file is clamped to these.
constexpr int16_t PopVelMax = 15;
constexpr int16_t PopAccMax = 3;
constexpr int16_t PopDecMax = 3;
constexpr int16_t PopModMax = 127;
constexpr int16_t PopBlkMax = 1;

struct PopStepRec {
    // Target position or dwell time, a signed 64-bit value on the wire. Kept exact, never as a double.
    int64_t Position = 0;
    // No position entered yet: counts as 0 and stays empty in files.
    bool PosEmpty = true;
    int16_t Vel = 0;     // velocity code
    int16_t Acc = 0;     // acceleration code
    int16_t Dec = 0;     // deceleration code
    int16_t Mod = 0;     // mode code
    int16_t Blk = 0;     // block code
    std::string Comment; // never sent to the amplifier; kept in the data files
    bool operator==(const PopStepRec&) const = default;
};
extern PopStepRec PopStep[PopStepTblCnt];
extern PopStepRec PopStepBak[PopStepTblCnt];

// The position as text: the decimal integer, or "" when empty.
std::string PopPosText(const PopStepRec& step);
// A position typed or read as text (blanks around it allowed): nothing when it is not an integer of the
// signed 64-bit range. The empty text gives an empty position.
struct PopPos {
    int64_t value = 0;
    bool empty = true;
};
std::optional<PopPos> PopPosParse(const std::string& text);

// ---- positioning parameters ----------------------------------------------------------------------

// Positioning parameters 0..512.
constexpr int PopPrmCnt = 513;
struct PopPrmRec {
    std::string Name;
    int32_t Min = 0;
    int32_t Max = 0;
    int32_t Value = 0; // the 16-bit table holds -32768..32767
    int32_t Attr = 0;  // 8 system item, 16 active after power cycle, 128 and 256 read-only
    int32_t Type = 0;  // second attribute word of the definition; carried, no behaviour
    std::string Guide[4];
    int32_t Spare = 0;
    bool operator==(const PopPrmRec&) const = default;
};
extern PopPrmRec Pop16Prm[PopPrmCnt];
extern PopPrmRec Pop32Prm[PopPrmCnt];
extern PopPrmRec Pop16PrmBak[PopPrmCnt];
extern PopPrmRec Pop32PrmBak[PopPrmCnt];

// ---- data source ---------------------------------------------------------------------------------

// Data source of the positioning values: 1 amplifier, 2 file, 3 default.
extern int32_t PopSrc;
extern std::string PopSrcName;
// True (-1) only while the working tables are known to equal the amplifier's.
extern int16_t PopSent;
// The editor receives the pages it shows on demand / everything again after an axis change. The axis
// change of the frame keeps these under its own names, so both name one flag.
inline int16_t& PopRecvByPage = PopIsAmp;
inline int16_t& PopRecvByAxis = PopFlg;
// Called after the source changed; the positioning editor installs it while it is loaded.
extern std::function<void()> PopDataSourceChanged;

// Sets the source kind, its caption (a non-empty title replaces it) and the sent flag.
void SetPopDataSource(int32_t kind, const std::string& title);

// ---- procedures ----------------------------------------------------------------------------------

// Number of entries backup, restore and the data files cover: word 2 of the counts, or the count in
// force when that is larger, never beyond the table.
int PopStepSpan();
int Pop16Span();
int Pop32Span();

// Copies the steps and both parameter tables, whole records, into the backup tables.
void BackupPopData();
// Copies the steps back whole and, of the parameters, only the values: names, limits and attributes
// may have changed with the model and stay as they are now.
void RestorePopData();

// Reads a positioning data file. The tables change only when the whole file was read; a read that
// fails part way leaves them as they were. With showError a failure is told to the user. True (-1) or
// False (0).
int16_t POP_Load(const std::string& path, int16_t seriesCode, bool showError);

// Loads the factory presets of the connected series and model from ini\prm\<series>\: the series file
// <series>.NCP, then <model>.NCP, then <model><version key>.NCP, each followed by its numbered files
// (<name>00.NCP, <name>01.NCP ... up to the first missing one); later files refine earlier ones. False,
// after a message, when the series file cannot be read; then nothing has changed. With showModelMessage
// (and the definition allowing it) a missing model file is told. The source becomes "Default".
int16_t LoadPopDefault(const std::string& modelName, bool showModelMessage);

// ---- entries in use ------------------------------------------------------------------------------

// Entries in use (word 3 of the counts), never beyond the tables.
int PopStepInUse();
int Pop16InUse();
int Pop32InUse();
// Last page of a table of count entries (page 0 for an empty table).
inline int PopLastPage(int count) {
    return count > 0 ? (count - 1) / 8 : 0;
}
// A step or parameter number as shown: two upper-case hexadecimal digits, more when it needs them.
std::string PopNo(int n);

// Step position limits as exact values; a limit outside the 64-bit range is clamped into it, and one
// that is not a number is no limit.
int64_t PopPosLo();
int64_t PopPosHi();
// The position a step counts as: an empty one is 0.
inline int64_t PopPosValue(const PopStepRec& s) {
    return s.PosEmpty ? 0 : s.Position;
}

// ---- per-axis reference copies (what the amplifier at each address holds in EEPROM terms) ---------

constexpr int PopAxisCnt = 17;
struct PopAxisSnap {
    int16_t StepRead = 0; // 0 not read yet, -1 read completely
    int16_t Prm16Read = 0;
    int16_t Prm32Read = 0;
    PopStepRec Step[PopStepTblCnt];
    PopPrmRec Prm16[PopPrmCnt];
    PopPrmRec Prm32[PopPrmCnt];
};
// The copy of axis (0..16).
PopAxisSnap& PopAxis(int axis);

// ---- items, attributes, guarded setters, checks ----------------------------------------------------

// The name of the first row of column whose code is code; "" when no row has it.
std::string GetPopItmName(int column, int32_t code);
// True when entry number's attribute has any bit of mask.
bool ChkPop16Attr(int number, int32_t mask);
bool ChkPop32Attr(int number, int32_t mask);
// Store value (system items only from operating mode 2 on; attribute 128 stores 0; else clamped to the
// limits) and return what is stored now.
int16_t SetPop16Val(int number, int32_t value);
int32_t SetPop32Val(int number, int32_t value);
// True when every entry in use passes; on the first fault a message and False.
bool ChkStepData();
bool ChkPop16Data();
bool ChkPop32Data();
// Empties the comments of steps 0..512, after the user agreed when ask is set.
void ClrStepCmt(bool ask);
