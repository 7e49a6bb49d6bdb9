// Positioning data files (.ncp): the step table and both positioning parameter tables as group files.
#pragma once

#include <cstdint>
#include <string>

// Writes the positioning data file: model, step comment, CPU versions, motor model, steps and both
// parameter tables. True (-1) or False (0); a failed save leaves an existing file as it was.
int16_t FIL_SaveStepFile(const std::string& path);

// value clamped to minimum..maximum.
int16_t FIL_LimitVal(int16_t value, int16_t minimum, int16_t maximum);

// Record index as the positioning groups write it: "0x" and at least two upper-case hexadecimal digits.
std::string FIL_PopIndex(int index);

// Group loaders and record writers of "STEP DATA", "POS PARA 16" and "POS PARA 32".
void FIL_LoadStepData(int16_t file, int16_t index);
void FIL_LoadPosPara16(int16_t file, int16_t index);
void FIL_LoadPosPara32(int16_t file, int16_t index);
void FIL_SaveStepData(int16_t file, int16_t index);
void FIL_SavePosPara16(int16_t file, int16_t index);
void FIL_SavePosPara32(int16_t file, int16_t index);
