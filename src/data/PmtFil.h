// Parameter files and factory presets: the parameter tables stored in and filled from files.
//
// Series 25 keeps its parameters in group files (.prm with values and selection bits, .prs and
// ini\user.prs with the selection bits only); every other series in Intel-HEX text files of eight
// parameters a record. The factory presets are parameter files under ini\prm\<series key>\: the series
// file, the model file and the model file of the firmware version, each with numbered extension files.
//
// A load is all or nothing: a file that fails part-way leaves the tables as they were. Results are the
// program's 16-bit Booleans (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <string>

#include "app/Variant.h"

namespace PmtText {
inline constexpr const char* FileError = "File error";
inline constexpr const char* TypeDiffers = "Type of the file is different.";
inline constexpr const char* ModelDiffers = "Amplifier model is different.";
inline constexpr const char* NoColon = "Detection of [:] failed.";
inline constexpr const char* SumError = "Check-sum error";
inline constexpr const char* ReadFailed = "Reading failed.";
inline constexpr const char* ReadFailedTitle = "Parameter reading error";
inline constexpr const char* NoModelPresetTitle = "Reading of the default";
} // namespace PmtText

// The message shown when a model has no preset file of its own.
std::string NoModelPresetText(const std::string& seriesKey);

// ---- saving ----------------------------------------------------------------------------------------

// Saves the current parameters to path: a group file for series code 25, Intel-HEX otherwise.
int16_t PrmHoZon(const std::string& path, int16_t code);
// Saves the selection bits to a .prs file (series code 25 only; otherwise nothing is written and the
// result is empty). The error report's result is left in RetVar.
Variant PrmSelHoZon(const std::string& path, int16_t code);
int16_t FIL_SavePrmFile(const std::string& path);
int16_t FIL_SavePrsFile(const std::string& path);
int16_t FIL_SaveUserPrs(const std::string& path);

// ---- loading ---------------------------------------------------------------------------------------

// Reads a parameter file of the series code's format into the tables. For series 25 and showMessage,
// a failed read is told to the user.
int16_t PMT_Load(const std::string& path, int16_t code, int16_t showMessage);
// Reads the selection bits of a .prs file (or ini\user.prs) into the tables; the definition's other bits
// stay. True when the file was read whole.
int16_t PMT_LoadSelection(const std::string& path);
// Loads base.ext, then base00.ext, base01.ext ... up to the first that does not load. True when the
// base file loaded.
int16_t PrmFileLoad(const std::string& base, const std::string& ext);
// Factory presets of the model: series, model and version files in turn, each over the last. True when
// at least the series presets loaded; then the data source is the presets.
int16_t PrmKiTeiChi(const std::string& model, int16_t showMessage);

// ---- Intel-HEX files -------------------------------------------------------------------------------

int16_t WriteHexFile(const std::string& path);
int16_t ReadHexFile(const std::string& path);

// ---- group records ---------------------------------------------------------------------------------

// Record index of USER DATA lines: "0x" and at least two upper-case hexadecimal digits.
std::string PmtIndexText(int n);

void FIL_LoadUserData(int16_t file, int16_t n);
void FIL_LoadUserData32(int16_t file, int16_t n);
void FIL_LoadParaType(int16_t file, int16_t n);
void FIL_LoadParaType32(int16_t file, int16_t n);
void FIL_SaveUserData(int16_t file, int16_t n);
void FIL_SaveUserData32(int16_t file, int16_t n);
void FIL_SaveParaType(int16_t file, int16_t n);
void FIL_SaveParaType32(int16_t file, int16_t n);

// Installs the preset loader into the model set-up and the console's save button.
void WirePmtFil();
