// Installing the program's data from an installation medium: a mounted disc, or any folder that holds the
// data folders. The data folders are copied group by group into the program folder, compressed files are
// expanded on the way, and an existing file is replaced only when the user agrees.
//
// The logic lives here in plain classes; the windows (app/FrmInstall.h) only show it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- one file ----------------------------------------------------------------------------------------

// Copies source to target, expanding a compressed source. The target is replaced only when the whole copy
// succeeded; a failure leaves it as it was.
bool LzfCopyFile(const std::string& source, const std::string& target);

// A path shortened for display: "..." and its last n characters when it is longer than n characters.
std::string LimStr(const std::string& text, int n);

// ---- the replace question ----------------------------------------------------------------------------

// The answers of the replace question, as its buttons are labelled.
extern const char* const LzfYes;      // "Yes"
extern const char* const LzfYesToAll; // "Yes to all"
extern const char* const LzfNo;       // "No"
extern const char* const LzfCancel;   // "Cancel"

struct LzfOverwriteInfo {
    std::string name;    // the file's name
    std::string title;   // "This folder contains a file named '<name>'"
    std::string dstSize; // "Size <n> Bytes" of the existing file
    std::string dstDate; // "Modified date <date>" of the existing file
    std::string srcSize; // the same for the file on the medium
    std::string srcDate;
};
// The texts of the question for replacing destination with source.
LzfOverwriteInfo LzfOverwriteTexts(const std::string& source, const std::string& destination,
                                   const std::string& name);

// Asks whether to replace a file; returns one of the answers above. The program shows the replace dialog;
// tests install an answerer.
std::string LzfAskOverwrite(const LzfOverwriteInfo& info);
using LzfOverwriteAsker = std::function<std::string(const LzfOverwriteInfo&)>;
// Replaces the answerer (an empty function restores the dialog); returns the previous one.
LzfOverwriteAsker SetLzfOverwriteAsker(LzfOverwriteAsker asker);

// ---- one group of files ------------------------------------------------------------------------------

struct LzfGroupJob {
    std::string medium;  // the installation source
    std::string folder;  // source folder relative to the medium
    std::string pattern; // file names to copy (plain files only)
    std::string dest;    // destination folder relative to the program folder
    std::string caption; // title of the copy window
};

// Copies the files of one group, one Step at a time, so that a window can show each file and take a
// Cancel between two files.
class LzfGroupCopy {
  public:
    // overAnswer: the last answer of the replace question, shared by the groups of one installation.
    LzfGroupCopy(LzfGroupJob job, std::string& overAnswer);

    // Lists the source's files. False when the source cannot be read (the user has been told). A missing
    // source folder on a readable medium holds no file.
    bool Start();
    int16_t Total() const { return static_cast<int16_t>(names_.size()); }
    // Number of the file to be copied next, from 1.
    int16_t Done() const { return static_cast<int16_t>(next_ + 1); }
    bool AtEnd() const { return next_ >= names_.size(); }
    const std::string& CurrentName() const;
    const std::string& SourceDir() const { return srcDir_; }
    const std::string& DestDir() const { return dstDir_; }
    const LzfGroupJob& Job() const { return job_; }

    // Copies the current file (asking first when it would replace one) and moves on to the next.
    void Step();
    // Stops the group; the file being copied is finished first.
    void Cancel() { goOn_ = false; }
    bool GoOn() const { return goOn_; }
    // True when every file was dealt with and nothing cancelled the group.
    bool Completed() const { return goOn_ && AtEnd(); }

  private:
    LzfGroupJob job_;
    std::string& overAnswer_;
    std::string srcDir_;
    std::string dstDir_;
    std::vector<std::string> names_;
    size_t next_ = 0;
    bool goOn_ = true;
};

// Copies a whole group without a window; its result as a group's.
bool LzfCopyGroupQuiet(const LzfGroupJob& job, std::string& overAnswer);

// ---- the whole installation --------------------------------------------------------------------------

constexpr int SeriesDirMax = 101;

struct LzfStep {
    const char* caption;
    const char* folder; // on the medium, and under the program folder
    const char* pattern;
};
// The groups after the parameter files of the series, in the order of installation.
const std::array<LzfStep, 6>& LzfSteps();
extern const char* const LzfPrmCaption; // "Install data of parameters."

class LzfDataInstaller {
  public:
    // Copies one group; true when the group completed.
    using GroupRunner = std::function<bool(const LzfGroupJob& job, std::string& overAnswer)>;
    LzfDataInstaller(std::string source, GroupRunner runner);

    // Finds the series folders under the medium's ini\prm (at most SeriesDirMax); true when there is one.
    bool SearchType();
    // Copies the parameter files of every series folder; false when there is none or a group stopped.
    bool CopyPrm();
    // Creates the data folders and copies every group: 2 when all were copied, 1 when it stopped early.
    int16_t Install();

    const std::string& InstSrc() const { return src_; }
    std::vector<std::string> SeriesDir;
    // The last replace answer; it holds for every group of this installation and no longer.
    std::string OverAnswer;

  private:
    std::string src_;
    GroupRunner runner_;
};
