// The parameter list on paper: the 16-bit or the 32-bit parameters of the current axis, 64 to a sheet in two
// blocks of 32, under a title and a header with the model name and the comment lines of parameter files.
// Callers check the printer first (PrdCheckPrinter).
#pragma once

#include <cstdint>
#include <string>

// Sheets of 64 parameters that a list of count parameters takes (at most 4: numbers 00 to FF).
int16_t PrmPrintSheets(int16_t count);

// Titles of the lists by series code (empty for a series without one).
std::string PrmPrintTitle16(int16_t kisyuCode);
std::string PrmPrintTitle32(int16_t kisyuCode);

// Prints the first count parameters: every row of a sheet in the 16-bit list; in the 32-bit list the rows
// from count on show their number alone. With the series' one-job switch on, all sheets are one document;
// otherwise each sheet is a document of its own. The printer's orientation is restored afterwards.
void PrintPrm16(int16_t count);
void PrintPrm32(int16_t count);
