// How the parameter screens join the frame.
#pragma once

// Installs the openers of these screens into the main window's table and their entries into the axis-change
// calls. Called once at start-up.
void WireParamScreens();
// Display item 1: the load source dialog, then the parameter editor (opened, or brought to the front).
void OpenParaEditor();

// Shows the parameter editor over the values in memory (no load dialog), or brings the open one to the front.
void ShowParaEditor();
