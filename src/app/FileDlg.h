// The save and open dialog of the data files and the table of the folder last used for each kind of
// file. The table lives for one run only; the data-file chooser shares it.
#pragma once

#include <functional>
#include <string>

// ---- last-folder table ---------------------------------------------------------------------------

constexpr int PathTblSize = 101;
// Only this many keys are ever kept; further keys are dropped and get their default folder.
constexpr int PathTblUsed = 21;
struct PathTblRec {
    std::string Key;    // kind of file, e.g. "prm"; empty ends the entries in use
    std::string Folder; // full path, no trailing separator
};
extern PathTblRec PathTbl[PathTblSize];

// The folder kept for key (case-sensitive), else def.
std::string PathGet(const std::string& key, const std::string& def);
// Keeps folder for key, replacing its folder or taking the first free entry.
void PathSet(const std::string& key, const std::string& folder);
// Forgets every folder (the state at program start).
void PathTblClear();

// ---- file dialog ---------------------------------------------------------------------------------

// What the dialog is asked to show. The answer is the full path the user chose, or "" for Cancel.
struct FileDlgRequest {
    bool save = false;  // save dialog; otherwise open an existing file
    std::string filter; // in the dialog's own form, "Parameter file(*.prm) (*.prm)"
    std::string folder; // initial folder
    std::string name;   // initial file name (empty the first time)
};
using FileDlgShow = std::function<std::string(const FileDlgRequest&)>;
// Replaces the dialog (tests script it); an empty function restores the real one. Returns the previous.
FileDlgShow SetFileDlgShow(FileDlgShow show);

// Shows the file dialog for the kind key in mode "read" or "write" with a filter "description|pattern"
// (pairs may repeat, "|"-separated). Returns the full path chosen, or "" when the user cancelled.
// Writing: a name typed without extension gets the filter's, and an existing file is replaced only
// after the user agreed, so the caller may write the returned path as it is. On OK the folder is kept
// for key; the process's current folder is the same afterwards as before.
std::string FilDlg(const std::string& key, const std::string& mode, const std::string& filter);

// The filter in the dialog's form: each "description|pattern" pair as "description (pattern)", unless
// the description already ends with the pattern in parentheses; pairs joined by ";;".
std::string FilDlgFilter(const std::string& filter);
// The extension of the filter's first pattern without the dot ("prm" for "*.prm"), or "" for none.
std::string FilDlgExtension(const std::string& filter);
// folder, or its nearest ancestor that exists.
std::string ExistingFolder(const std::string& folder);
