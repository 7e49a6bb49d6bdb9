// How the frequency response graph joins the frame.
#pragma once

// Installs the openers of these screens into the main window's table and their entries into the axis-change
// calls. Called once at start-up.
void WireFrequencyScreen();
