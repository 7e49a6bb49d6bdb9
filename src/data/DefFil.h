// Group files: the one text format of the definition files and of every data file the program saves.
//
// A file is a sequence of items; an item ends at a comma or a line end (the two are equivalent), an item
// starting with '#' is a comment, and an item starting with '"' runs to the next '"'. Groups are
// "NAME,count" headers followed by "DATA,index,fields..." records and "END"; "DEF END" ends the file.
//
// Files are addressed by small file numbers: the reader opens one per FIL_ReadGroupFile and hands it to
// the group loaders, a save opens one with FIL_OpenDateGroupe. Results are the program's 16-bit
// Booleans (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>

#include "app/Variant.h"

namespace plat {
struct ReadError;
}

// Raised by the token readers and the loaders to end a read as an error stop (end of file inside a read,
// an index outside a table, a refused file). Conversions that do not fit raise VariantError.
struct FilError : std::runtime_error {
    int number;
    explicit FilError(const std::string& what, int num = 0) : std::runtime_error(what), number(num) {}
};

// ---- token readers ---------------------------------------------------------------------------------

// Opens a group file for the token readers (the data-file chooser reads headers this way); -1 when it
// cannot be read (the log says why, and so does *why when given). FIL_Close closes it.
int16_t FIL_OpenRead(const std::string& path, plat::ReadError* why = nullptr);
void FIL_Close(int16_t file);

// Next command item: "DATA" or "END", else the empty text (an unknown command). Comments and empty items
// are passed over.
std::string FIL_ReadCommand(int16_t file);
// Next value: a Boolean ("Tr..." / "Fa...") or a double (decimal or "0x" hexadecimal).
Variant FIL_ReadValue(int16_t file);
// Next non-comment item as text, trimmed.
std::string FIL_ReadString(int16_t file);
// Next quoted memo text (the comment groups' rule: from the first '"' to the next comma or line end).
std::string FIL_ReadQuotedString(int16_t file);
// Group header: the name (empty items passed over), and its count.
std::string FIL_ReadGroup(int16_t file, int16_t& count);

void FIL_SkipItems(int16_t file, int n);
void FIL_SkipQuotedItems(int16_t file, int n);
int16_t FIL_SkipIf(int16_t file, int16_t flag, int n);
int16_t FIL_SkipQuotedIf(int16_t file, int16_t flag, int n);

// Record index check of the loaders: an index outside first..last is an error stop.
void FIL_CheckIndex(int index, int first, int last, const char* table);

// ---- whole-file reader -----------------------------------------------------------------------------

// Reads every group of the file at path (a real path). True when "DEF END" was reached. With fatal set
// (definition files) a damaged file ends the program after its messages; without it, a file that is not
// read whole leaves every table as it was (FilBackup).
int16_t FIL_ReadGroupFile(const std::string& path, int16_t fatal);
// The data source of the parameter tables after a read that loaded parameter values (kind 2, empty
// title); the parameter tables install their SetPrmSrc here.
extern std::function<void(int32_t kind, const std::string& title)> FIL_PrmSrcHook;

// ---- writer ----------------------------------------------------------------------------------------

// True when a save must not go on: empty path, or an existing file the user does not want replaced.
int16_t FIL_CheckOverWrite(const std::string& path);
// Starts a file with its header lines; -1 when it cannot be created. Nothing reaches the disk before
// FIL_CloseDateGroupe, which replaces the target in one step.
int16_t FIL_OpenDateGroupe(const std::string& path);
// One whole group: header, records first..last, "END".
void FIL_WriteGroup(int16_t file, const std::string& name, int first, int last);
// Writes the trailer and replaces the target; True on success. On failure the old file is untouched.
int16_t FIL_CloseDateGroupe(int16_t file);
// Drops an opened file without touching the target (a save that failed part-way).
void FIL_AbortDateGroupe(int16_t file);
// One field line: the value (Booleans as 1 / 0) and ",#" + title when the title is not empty.
void FIL_WriteValue(int16_t file, const Variant& value, const std::string& title);
// One field line of text, written so that FIL_ReadString reads it back.
void FIL_WriteString(int16_t file, const std::string& text, const std::string& title);
// A raw line (record writers of the data groups).
void FIL_WriteLine(int16_t file, const std::string& line);

// Text of an unquoted field as the writers put it: quoted when it holds a separator, so that it reads
// back whole; double quotes and line ends, which no item can hold, become "'" and " ".
std::string FIL_FieldText(const std::string& text);
// Text of a comment after "#": commas and line ends removed, since a comma would end the comment.
std::string FIL_CommentText(const std::string& text);

// For tests: the clock of the header's date line (empty: the system clock).
void FIL_SetClock(std::function<std::time_t()> clock);

// ---- groups ----------------------------------------------------------------------------------------

using FilLoader = void (*)(int16_t file, int16_t index);
using FilRecordWriter = void (*)(int16_t file, int16_t index);

struct FilGroupDef {
    const char* name;
    FilLoader load;          // nullptr: the group has no loader
    FilRecordWriter write;   // nullptr: "DATA,i" alone is written
    bool writesDataLine;     // the record writer writes its whole record, "DATA" included
};
// The group named name, or nullptr.
const FilGroupDef* FIL_FindGroup(const std::string& name);

// Common groups of every data file.
void FIL_LoadModel(int16_t file, int16_t index);
void FIL_LoadCpuVer(int16_t file, int16_t index);
void FIL_LoadMotorModel(int16_t file, int16_t index);
void FIL_LoadParaComment(int16_t file, int16_t index);
void FIL_LoadWaveComment(int16_t file, int16_t index);
void FIL_LoadFreqComment(int16_t file, int16_t index);
void FIL_LoadStepComment(int16_t file, int16_t index);
void FIL_SaveModel(int16_t file, int16_t index);
void FIL_SaveCpuVer(int16_t file, int16_t index);
void FIL_SaveMotorModel(int16_t file, int16_t index);
void FIL_SaveParaComment(int16_t file, int16_t index);
void FIL_SaveWaveComment(int16_t file, int16_t index);
void FIL_SaveFreqComment(int16_t file, int16_t index);
void FIL_SaveStepComment(int16_t file, int16_t index);

// ---- definition files ------------------------------------------------------------------------------

// Reads ini\def\<base>.DEF, then <base>00.DEF, <base>01.DEF ... up to the first that is not read.
// True when the base file was read completely.
int16_t FIL_LoadDefFile(const std::string& base);
int16_t FIL_LoadDef(const std::string& seriesKey);
// The model's family, then the model's family with the CPU-version key; each result lands in RetVar.
void FIL_LoadDefFileCpu(const std::string& model);
// Writes a file holding only the DEBUG STATE group; False when it cannot be written.
int16_t FIL_SaveDebugState(const std::string& path);

void FIL_LoadVersion(int16_t file, int16_t index);
void FIL_LoadFileVersion(int16_t file, int16_t index);
void FIL_LoadComPort(int16_t file, int16_t index);
void FIL_LoadMaxItem(int16_t file, int16_t index);
void FIL_LoadExtV25(int16_t file, int16_t index);
void FIL_LoadExtV30(int16_t file, int16_t index);
void FIL_LoadExtV35(int16_t file, int16_t index);
void FIL_LoadExtV36(int16_t file, int16_t index);
void FIL_LoadExtV37(int16_t file, int16_t index);
void FIL_LoadDllVersion(int16_t file, int16_t index);
void FIL_LoadDefModel(int16_t file, int16_t index);
void FIL_LoadDebugState(int16_t file, int16_t index);
void FIL_SaveDebugStateRec(int16_t file, int16_t index);

// Developer switches of the system-configuration console that DEBUG STATE sets. The console keeps
// DbgState in step with its check boxes and installs the hooks; until it exists the values are only
// recorded here.
struct DebugStateRec {
    int32_t SplashTime = 2000; // ms
    int16_t ChkDmyCom = 0;     // replies from files instead of the link
    int16_t ChkComLog = 0;
    int16_t ChkLogWin = 0;     // log window shown
    int16_t ChkLogMode[5] = {0, 0, 0, 0, 0};
    int16_t ChkBlkLog = 0;
    int16_t SysConShown = 0;
};
extern DebugStateRec DbgState;

struct DebugStateHooks {
    std::function<void(int32_t ms)> setSplashTime;            // creates the splash hidden if needed
    std::function<void(const std::string& box, int16_t value)> setCheck; // runs the box's click handler
    std::function<void(int16_t k, bool on)> setLogMode;       // ticks or clears log category box k
    std::function<void(bool shown)> showConsole;
    std::function<void()> comPortTest;                        // the basic communication test
};
DebugStateHooks& DebugHooks();

// ---- definition tables of the screens --------------------------------------------------------------

void FIL_LoadMeasItem(int16_t file, int16_t index);
void FIL_LoadDefEncoder(int16_t file, int16_t index);
void FIL_LoadPosInName(int16_t file, int16_t index);
void FIL_LoadPosOutName(int16_t file, int16_t index);
void FIL_LoadInMenu(int16_t file, int16_t index);
void FIL_LoadAbsoMenu(int16_t file, int16_t index);
void FIL_LoadCtrlModeMenu(int16_t file, int16_t index);
void FIL_LoadOutMenu(int16_t file, int16_t index);
void FIL_LoadErrorData(int16_t file, int16_t index);
void FIL_LoadAutoMessage(int16_t file, int16_t index);
void FIL_LoadAutoPara(int16_t file, int16_t index);
void FIL_LoadGraphData(int16_t file, int16_t index);
void FIL_LoadAlart(int16_t file, int16_t index);
void FIL_LoadPosCombo(int16_t file, int16_t index);
void FIL_LoadLabelText(int16_t file, int16_t index);
void FIL_LoadPosPara16Menu(int16_t file, int16_t index);
void FIL_LoadPosPara32Menu(int16_t file, int16_t index);
void FIL_LoadBitNameExt(int16_t file, int16_t index);
void FIL_LoadFullCloseMode(int16_t file, int16_t index);
