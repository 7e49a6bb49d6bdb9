// Opening a file in the user's text editor.
#pragma once

#include <string>

namespace plat {

// Starts $VISUAL, else $EDITOR, else xdg-open on path (made absolute), detached from this process.
// The variables may hold a command with arguments. False when nothing could be started.
bool OpenInEditor(const std::string& path);

} // namespace plat
