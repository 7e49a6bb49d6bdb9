// The print command of every screen that prints. The screens differ in their title, in what they ask and
// what they draw, and in how they word the end; the order of the steps and the handling of every failure
// are the same for all.
#pragma once

#include <functional>
#include <string>

struct PrdPrintCmd {
    // The screen's print title: the print dialog's and that of its messages.
    std::string title;
    // What to print, as the screen's option words; words holding "cancel", or none, end the command
    // without a word.
    std::function<std::string()> ask;
    // Draws what the words name on the program's printer (Printer()). False when nothing went to the
    // printer (the user declined on the way), which is neither a failure nor a completed print.
    std::function<bool(const std::string& words)> print;
    // Status after a print that went through.
    std::string completed = "Print completed.";
    // A failure thrown while printing adds its own text to "Print error", on a line of its own.
    bool errorReason = false;
};

// Asks what to print, checks the printer and the system's resources, lets the user choose the printer
// (Cancel ends it without a word), then prints with the busy pointer and "In-printing " in the status
// strip. Any failure, thrown while drawing or reported by the printer (a file that cannot be written, a
// refused job), is told as "Print error" under the title; the completion text follows only a print that
// went through.
void PrdPrint(const PrdPrintCmd& cmd);
