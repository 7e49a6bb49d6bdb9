// Copying the installer files of one disk into the temporary folder, and starting the installer there.
// No Qt here: the worker threads of the dialog run these, and so do the tests.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace instoran {

// Values of the copy flag that the dialog thread and the worker share.
enum CopyFlag : int { CopyIdle = 0, CopyRunning = 1, CopyCancel = 2 };

enum class CopyResult { Copied, Failed, Cancelled };

constexpr int BlockSize = 4096;
constexpr int DiskCount = 3;

struct CopyJob {
    std::string diskFolder; // where the disk is mounted
    std::string tempFolder; // where the files go
    std::atomic<int>* copyFlag = nullptr;
    std::function<void(int blocks)> progress; // after each full block of the current file
};

// The files of disk 1 to 3, in the order they are copied.
const std::vector<std::string>& DiskFiles(int disk);

// $TEMP, else $TMPDIR, else /tmp.
std::string TempFolder();

// The progress line for a count of full blocks: one per cent for every three blocks, at most 100.
std::string ProgressText(int blocks);

// Copies one file of the disk, found without regard to case, into the temporary folder under name.
// A cancel asked before the copy starts or between two full blocks stops it (the partly written file
// stays); on failure, error says what went wrong.
CopyResult CopyToTemp(const CopyJob& job, const std::string& name, std::string* error);

// Copies the files of the disk in order and stops at the first that is not copied.
CopyResult CopyDisk(const CopyJob& job, int disk, std::string* error);

// Starts "setup.exe" of the temporary folder as a program, with that folder as its working directory,
// and does not wait for it. Returns the system's error, or "" once it runs.
std::string StartInstaller(const std::string& tempFolder);

} // namespace instoran
