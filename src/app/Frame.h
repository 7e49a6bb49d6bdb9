// The main window's public status services, reachable from code that must not know about widgets.
// The main window installs the real handlers when it loads; until then the calls do nothing.
#pragma once

#include <functional>
#include <string>

struct FrameHooks {
    std::function<void(const std::string&)> updStat;     // status text (left pane)
    std::function<void(const std::string&)> updStatFix;  // fixed status text
    std::function<void(long cur, long total)> updPbar;   // progress bar
    std::function<void()> updCaption;                    // main window caption
    std::function<void(bool busy)> hourglass;            // wait cursor on / off
};

// The hooks in force (the main window fills them in).
FrameHooks& Frame();

void UpdStat(const std::string& text);
void UpdStatFix(const std::string& text);
void UpdPbar(long cur, long total);
void UpdCaption();
void Hourglass(bool busy);
