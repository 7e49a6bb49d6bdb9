// How the parameter screens join the frame.
#pragma once

// Installs the openers of these screens into the main window's table and their entries into the axis-change
// calls. Called once at start-up.
void WireParamScreens();
// Display item 1: the load source dialog, then the parameter editor (opened, or brought to the front).
void OpenParaEditor();
