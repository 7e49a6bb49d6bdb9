// The one main of the Qt test programs. By default it runs the tests in an offscreen application; a
// program that needs more says so once, at namespace scope:
//     inline const bool kMainSetup = testmain::Use({.keepPlatform = true, .keepRunning = true});
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testmain {

struct Setup {
    // Honour a platform already chosen (to watch the windows); otherwise the tests always run offscreen.
    bool keepPlatform = false;
    // Closing a test's last window must not end the application.
    bool keepRunning = false;
    // The per-user settings go to a temporary folder, away from the user's.
    bool privateSettings = false;
    // When set, a temporary folder of this name (plus a unique suffix) holds a program folder "prog" with
    // these libraries copied from the build, and is removed after the tests.
    std::string rootName{};
    std::vector<std::string> programLibraries{};
    // Runs before the application is made; a non-zero result ends the program with that code.
    std::function<int()> before{};
};

// Keeps the program's set-up; returns true so that it can initialise a variable.
bool Use(Setup setup);

// The temporary folder holding the program folder; empty without a rootName.
const std::string& Root();

} // namespace testmain
