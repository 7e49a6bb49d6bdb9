// Frequency-response data files: .fcd (conditions and result), .fcc (conditions only) and .fcp
// (conditions, result and the parameter tables), all group files that differ only in their groups.
//
// The files are written from and read into FftCond (measured) and FftCondRef (reference), with the
// view FrqView; the window copies its records into them before a save and takes them over after a
// load. A load reads into copies and changes nothing unless the whole file was read; conditions never
// replace those of a record that holds samples unless the file brings that record's result too (they
// go to FrqNextCond instead). Procedures return the program's 16-bit Booleans (-1 True, 0 False).
#pragma once

#include <cstdint>
#include <string>

// condition: the condition, view and full-closed groups; result: the data-present flags, raw samples
// and curves; parameters: the parameter comment and tables. .fcd passes (True, True, False), .fcc
// (True, False, False), .fcp (True, True, True).
int16_t FIL_SaveFreqFile(const std::string& path, int16_t condition, int16_t result, int16_t parameters);
// Reads any frequency file; the caller chose it by its extension.
int16_t FIL_LoadFreqFile(const std::string& path);

// ---- groups (entries of the group table) ----------------------------------------------------------

void FIL_LoadFreqCond(int16_t file, int16_t index);
void FIL_LoadFreqView(int16_t file, int16_t index);
void FIL_LoadFreqCondV35(int16_t file, int16_t index);
void FIL_LoadFreqStat(int16_t file, int16_t index);
void FIL_LoadFreqData(int16_t file, int16_t index);
void FIL_LoadFreqRef(int16_t file, int16_t index);
void FIL_LoadFftGraph(int16_t file, int16_t index);

void FIL_SaveFreqCond(int16_t file, int16_t index);
void FIL_SaveFreqView(int16_t file, int16_t index);
void FIL_SaveFreqCondV35(int16_t file, int16_t index);
void FIL_SaveFreqStat(int16_t file, int16_t index);
void FIL_SaveFreqData(int16_t file, int16_t index);
void FIL_SaveFreqRef(int16_t file, int16_t index);
void FIL_SaveFftData(int16_t file, int16_t index);
void FIL_SaveFftRef(int16_t file, int16_t index);
