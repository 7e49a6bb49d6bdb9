// The log service every part of the program writes through.
#pragma once

#include <string>

// Categories of the log window (a mask): 1 Other, 2 Com, 4 Def Files, 8 Used Files, 16 Debug.
enum LogKind : int { LogOther = 1, LogCom = 2, LogDefFiles = 4, LogUsedFiles = 8, LogDebug = 16 };

// Writes text to the log window (only while it is shown and one of kind's categories is checked).
void log(const std::string& text, int kind);
