// The loaded windows, by form name, so that code can ask whether a window is loaded and find it.
// A window is registered when it is created (shown or hidden) and unregistered when it unloads; a window
// destroyed without unregistering drops out by itself.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace plat {

void RegisterForm(const std::string& name, QWidget* form);
void UnregisterForm(QWidget* form);

// True when a registered window has this name (ASCII case ignored).
bool IsFrmLoad(const std::string& name);
// The first registered window of this name, or null.
QWidget* FindForm(const std::string& name);
// Every registered window, in order of registration.
std::vector<QWidget*> LoadedForms();
// The names of every registered window (one entry per window), in order of registration.
std::vector<std::string> LoadedFormNames();

} // namespace plat
