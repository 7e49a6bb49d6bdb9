// The program's start-up: the steps of Main as plain procedures, so that each can be run on its own.
#pragma once

#include <cstdint>
#include <functional>

// Removes the setup launcher's left-overs from the TEMP folder, only when its first cabinet is there.
void KillSetupTemp();
// True (-1) when the machine could not create a window full of controls (the user was told), else 0.
int16_t ChkResource();
// Ends the program when another copy runs from this program folder (it keeps the folder's lock file).
void CheckSingleInstance();
// Every run starts without a log file.
void ResetLog();
// Start values of the shared state that the definition files may replace.
void SetStartValues();
// Ends the program when the data were not installed (ini\def\default.def missing).
void CheckDataInstall();

// The first steps of Main, in their order: clean up after the setup launcher, probe the resources, make
// sure this is the only copy, then reset the log. Ends the program on a failure.
void StartUpPrologue();

// The start-up loop: read the common definition file, build the catalogue, check the libraries, show the
// connection dialog (showPort, modal); repeats while the dialog reports a data installation. Ends the
// program on an empty catalogue, a library failure or a cancelled dialog.
void StartUpLoop(const std::function<void()>& showPort);

// Gives the main window the dialogs of the start-up and the connection: version, connection, series.
void WireStartUpWindows();

// The whole start-up, windows included. Returns once the button panel is shown; the event loop follows.
void Main();

// Start-up measurement: with MEVALO_STARTUP_PROBE=1 the program prints the milliseconds from process
// start to the shown connection dialog and exits 0.
bool StartUpProbeOn();
