// Waveform data files: the measurement of the graph window (condition, six measured and six reference
// channels) in group files.
//
//   .wgd            model, comments, versions, condition, measured and reference result
//   .wgp            the .wgd groups, the parameter comment and the parameter tables
//   .wgc            comment, versions, condition (no model group)
//   ini\user.wgc    the last condition only, kept between runs
//
// Files are written as version 4; versions 2 and 3 are read as well. The readers fill WavGraph,
// SokuTeiDate and WavView and mark in WavLoaded what the window has to carry into its controls; they
// never touch a window. A load that fails changes nothing (the group-file reader puts every table back).
// Procedures return the program's 16-bit Booleans (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <string>

// Version of the waveform file being read or written: every load starts at 2 (a file without a
// version group), the version group replaces it; every save sets 4.
extern int16_t WavFileVer;

int16_t FIL_SaveWaveFile(const std::string& path);
int16_t FIL_SaveWavePrmFile(const std::string& path);
int16_t FIL_SaveWaveCndFile(const std::string& path);
int16_t FIL_SaveUserWaveCnd(const std::string& path);
// The same files in the version 2 layout that older installations read: channels 0 to 3, the measured
// result only.
int16_t FIL_SaveWaveFileV2(const std::string& path);
int16_t FIL_SaveWavePrmFileV2(const std::string& path);
int16_t FIL_SaveWaveCndFileV2(const std::string& path);

// Any waveform group file (the window uses it for .wgd).
int16_t FIL_LoadWaveFile(const std::string& path);
// Only a path ending in ".wgc" / ".wgp" (any case); other paths are refused with a message.
int16_t FIL_LoadWaveCndFile(const std::string& path);
int16_t FIL_LoadWavePrmFile(const std::string& path);

// The parameter groups of a combined file: USER DATA and PARA TYPE 0..Prm16MaxAll, and when the model
// has 32-bit parameters USER DATA32 and PARA TYPE32 0..Prm32MaxAll - 1.
void FIL_WriteParaGroups(int16_t file);

// ---- groups (entries of the group table) ----------------------------------------------------------

void FIL_LoadWaveVer(int16_t file, int16_t index);
void FIL_ReadWaveCnd(int16_t file, int16_t index);
void FIL_LoadWaveStat(int16_t file, int16_t index);
void FIL_LoadWaveRefStat(int16_t file, int16_t index);
void FIL_LoadWaveData(int16_t file, int16_t index);
void FIL_LoadWaveRefData(int16_t file, int16_t index);

void FIL_SaveWaveVer(int16_t file, int16_t index);
void FIL_SaveWaveCnd(int16_t file, int16_t index);
void FIL_SaveWaveStat(int16_t file, int16_t index);
void FIL_SaveWaveRefStat(int16_t file, int16_t index);
void FIL_SaveWaveData(int16_t file, int16_t index);
void FIL_SaveWaveRefData(int16_t file, int16_t index);
