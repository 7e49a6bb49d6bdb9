// The frequency screens' Help: the help file of the program folder, or a word that it cannot be opened.
#pragma once

#include <string>

// The help file the Help buttons open, in the program folder.
inline constexpr const char* FrqHelpFile = "mevalo.hlp";

// Opens the help file with the desktop's viewer. Where the file is missing or nothing can open it, says so
// in one message that names the file, so that a Help click never passes in silence.
void ShowHelpFile();
