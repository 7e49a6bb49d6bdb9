// The .idt result file: one measurement as text, CR LF line ends.
//
//   line 1   model code, four upper-case hexadecimal digits (its low 16 bits)
//   line 2   "00", '0' + measuring part (+ 4 when measured full-closed), '0' + sampling index
//   line 3-5 input amplitude, input offset, number of points N (hexadecimal, 16-bit two's complement)
//   then     N raw samples, one a line
#pragma once

#include <string>

#include "frequency/FrqGlb.h"

// Writes rec (its own N samples). False, after the error message, when the file cannot be written; an
// existing file is then left as it was.
bool IdtWrite(const FrqRec& rec, const std::string& path);
// Reads path into rec's conditions and samples. The file is checked whole first: on any fault (no file,
// a short file, a count outside 2..2059, a line that is no number) rec is unchanged and the result False.
// On success FftSplitN takes the file's count.
bool IdtRead(FrqRec& rec, const std::string& path);

// Where the last measurement is kept: temp.idt in the program folder, or in the user's data folder when
// the program folder may not be written.
std::string FrqTempIdtPath();
