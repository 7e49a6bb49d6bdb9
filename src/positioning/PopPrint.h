// The positioning data on paper: step sheets in landscape (32 steps a sheet) and the 16-bit and 32-bit
// parameter lists in portrait (64 a sheet in two blocks), each sheet under the model name and the
// comment lines of the positioning data.
#pragma once

#include <string>

// The step range typed into the print dialog, as hexadecimal texts. A text that is not exactly the
// hexadecimal form of its value is reset (from "0", to the last step in use); values beyond the steps in
// use are brought inside; a range given backwards is swapped. True when nothing had to be adjusted.
bool ChkStepRange(std::string& from, std::string& to);

// Prints what the option words name (" step_...", " pop16", " pop32") as one job; the steps first..last.
void PrintPop(const std::string& options, int first, int last);

// Sheets a print of steps first..last takes, and of count parameters.
int PopStepSheets(int first, int last);
int PopPrmSheets(int count);
