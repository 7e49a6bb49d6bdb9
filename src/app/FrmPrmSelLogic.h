// What the data-file chooser does, apart from its widgets: the header reader that fills the list's
// model and comment columns, the listing of a folder by extension, and the decisions of OK, Cancel,
// a folder change and the trial read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Model name and comment lines from the header groups of a data file.
struct FilHeader {
    std::string model;
    std::string comment[5];
};

// Reads the header groups of the data file at path into h, up to "DEF END" or the first group that is
// not a header group. False when the file cannot be opened or holds a record word other than "DATA"
// and "END"; h keeps what was read before the fault either way.
int16_t FIL_LoadName(const std::string& path, FilHeader& h);

// One line of the chooser's trace file.
void PrmSelTrace(const std::string& text);

struct PrmSelRow {
    std::string name;    // file name without folder
    std::string model;   // without its padding marks
    std::string comment; // comment line 0
};

class PrmSelLogic {
  public:
    // The kind of file asked for: the folder key, the extensions (three letters each, run together)
    // and the kind in words. Takes the remembered folder of the key, else the key's default folder.
    void Begin(const std::string& key, const std::string& extensions, const std::string& typeName);

    std::string Caption() const { return typeName + " - Selection of the file."; }
    std::string OkTip() const { return "Read designated " + typeName + "."; }
    std::string CancelTip() const { return "Cancel reading of the file " + typeName + "."; }
    std::string DirTip() const { return "Designate the directory housing the file " + typeName + "."; }
    std::string DriveTip() const { return "Designate the drive housing the file " + typeName + "."; }
    std::string ListTip() const { return "Display Saved " + typeName + "."; }
    // Status text while a folder is listed (the type name and the text run together).
    std::string SearchText() const { return typeName + "Searching the parameter file."; }

    // Start of the dialog: the kept folder, or the key's default folder when it is gone.
    void Start();
    // The user chose another folder. False when it cannot be listed: then the user has been told and
    // the kept folder is current again.
    bool ChangeFolder(const std::string& path);
    // Lists the current folder: LstFile, rows and fileCount.
    void AddFiles();

    enum class OkAction { OpenFolder, Close, Stay };
    // OK (or a double-click on the list). dirFocused: the folder tree had the focus; selected: the row
    // selected in the list, -1 for none. Close means result holds the answer.
    OkAction Ok(bool dirFocused, int selected);
    void Cancel() { result.clear(); }
    // A key pressed on the list: "@" in SE mode reads the selected file on trial and shows the result.
    // True when that happened.
    bool KeyPress(char key, int selected);

    std::string key;
    std::string extensions;
    std::string typeName;
    std::string folder;  // the folder the dialog started in
    std::string drive;   // the volume of that folder (PrmSelDriveOf)
    std::string dirPath; // the folder listed
    std::string result;  // the chosen file, or ""
    int16_t fileCount = 0;
    std::vector<std::string> LstFile; // full path of each listed row
    std::vector<PrmSelRow> rows;
};

// True when path is a folder whose entries can be listed.
bool FolderListable(const std::string& path);

// The volumes the chooser offers as drives: the root, the home folder, and the media mounted under
// /media and /run/media, by their root folders.
std::vector<std::string> PrmSelDrives();
// The drive that holds path: the longest of drives that is path or a folder above it ("/" when none).
std::string PrmSelDriveOf(const std::string& path, const std::vector<std::string>& drives);
