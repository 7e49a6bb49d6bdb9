#include "app/FrmPrmSelLogic.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

namespace {

enum class HeaderGroup { Comment, Model, CpuVer, Motor, Other };

HeaderGroup Classify(const std::string& name) {
    if (name == "COMMENT" || name == "WAVE COMMENT" || name == "PARA COMMENT" || name == "FREQ COMMENT" ||
        name == "STEP COMMENT")
        return HeaderGroup::Comment;
    if (name == "MODEL") return HeaderGroup::Model;
    if (name == "CPU VER") return HeaderGroup::CpuVer;
    if (name == "MOTOR MODEL") return HeaderGroup::Motor;
    return HeaderGroup::Other;
}

struct CloseFile {
    int16_t file;
    ~CloseFile() { FIL_Close(file); }
};

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

} // namespace

int16_t FIL_LoadName(const std::string& path, FilHeader& h) {
    const int16_t file = FIL_OpenRead(path);
    if (file == -1) {
        log("*FIL_LoadName:File Can't read setting from the file " + path + ".", LogOther);
        return plat::VbFalse;
    }
    CloseFile closer{file};
    log("*FIL_LoadName:File Read out setting from the file " + path + ".", LogOther);

    for (;;) {
        std::string group;
        try {
            int16_t count = 0;
            group = FIL_ReadGroup(file, count);
        } catch (const std::exception&) {
            return plat::VbTrue; // the end of what can be read
        }
        log("Data group:" + group, LogOther);
        if (group == "DEF END") return plat::VbTrue;
        const HeaderGroup kind = Classify(group);
        if (kind == HeaderGroup::Other) {
            // The header ends with the first data group; nothing after it is shown.
            ErrMsg("Reading the definition file " + path + ".");
            return plat::VbTrue;
        }
        for (;;) {
            try {
                const std::string cmd = FIL_ReadCommand(file);
                if (cmd == "END") break;
                if (cmd != "DATA") {
                    log("Error at data block.", LogOther);
                    return plat::VbFalse;
                }
                const int16_t index = FIL_ReadValue(file).ToInt16();
                switch (kind) {
                case HeaderGroup::Comment: {
                    std::string line = FIL_ReadQuotedString(file);
                    if (index >= 0 && index < 5) h.comment[index] = std::move(line);
                    break;
                }
                case HeaderGroup::Model:
                    FIL_ReadString(file);
                    h.model = FIL_ReadString(file);
                    break;
                case HeaderGroup::CpuVer:
                    FIL_ReadValue(file);
                    FIL_ReadValue(file);
                    break;
                case HeaderGroup::Motor:
                    FIL_ReadString(file);
                    break;
                case HeaderGroup::Other:
                    break;
                }
            } catch (const std::exception&) {
                break; // a record that cannot be read ends its group
            }
        }
    }
}

void PrmSelTrace(const std::string& text) {
    WrtLogSwitch(text, "FilLog.txt");
}

bool FolderListable(const std::string& path) {
    const QFileInfo fi(QString::fromStdString(path));
    return !path.empty() && fi.isDir() && fi.isReadable() && fi.isExecutable();
}

std::vector<std::string> PrmSelDrives() {
    std::vector<std::string> drives{"/"};
    const std::string home = QDir::homePath().toStdString();
    if (home != "/") drives.push_back(home);
    std::vector<std::string> media;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const std::string root = v.rootPath().toStdString();
        if (v.isValid() && (root.rfind("/media/", 0) == 0 || root.rfind("/run/media/", 0) == 0))
            media.push_back(root);
    }
    std::sort(media.begin(), media.end());
    drives.insert(drives.end(), media.begin(), media.end());
    return drives;
}

std::string PrmSelDriveOf(const std::string& path, const std::vector<std::string>& drives) {
    std::string best = "/";
    for (const std::string& d : drives) {
        const bool holds = path == d || (path.rfind(d, 0) == 0 && (d.back() == '/' || path[d.size()] == '/'));
        if (holds && d.size() > best.size()) best = d;
    }
    return best;
}

void PrmSelLogic::Begin(const std::string& k, const std::string& exts, const std::string& type) {
    key = k;
    extensions = exts;
    typeName = type;
    result.clear();
    folder = PathGet(key, AppPath(key));
    dirPath = folder;
}

void PrmSelLogic::Start() {
    // A remembered folder may have gone with its medium; the key's own folder may not exist yet.
    if (!FolderListable(folder)) folder = ExistingFolder(AppPath(key));
    dirPath = folder;
    drive = PrmSelDriveOf(folder, PrmSelDrives());
}

bool PrmSelLogic::ChangeFolder(const std::string& path) {
    if (FolderListable(path)) {
        dirPath = QDir::cleanPath(QString::fromStdString(path)).toStdString();
        return true;
    }
    plat::MsgBox("Drive isn't installed, or not ready.", plat::Buttons::Ok, plat::Icon::Exclamation,
                 "Drive error");
    dirPath = folder;
    return false;
}

void PrmSelLogic::AddFiles() {
    PrmSelTrace("AddFiles:Enter");
    fileCount = 0;
    LstFile.clear();
    rows.clear();
    int k = 0;
    std::string rest = extensions;
    while (!rest.empty()) {
        const std::string ext = rest.substr(0, 3);
        PrmSelTrace("AddFiles:Extention:" + rest);
        std::vector<std::string> names = plat::ListDir(dirPath, "*." + ext);
        names.emplace_back(); // the progress bar ticks once more at the end of each kind
        for (const std::string& name : names) {
            PrmSelTrace("AddFiles:File:" + name);
            if (++k == 10) k = 0;
            UpdPbar(k, 10);
            if (name.empty()) continue;
            const std::string path = Join(dirPath, name);
            LstFile.push_back(path);
            ++fileCount;
            FilHeader h;
            FIL_LoadName(path, h);
            rows.push_back(PrmSelRow{name, DelMark(h.model), h.comment[0]});
        }
        if (rest.size() < 6) break;
        rest.erase(0, 3);
    }
    PrmSelTrace("AddFiles:Exit");
}

PrmSelLogic::OkAction PrmSelLogic::Ok(bool dirFocused, int selected) {
    if (dirFocused) return OkAction::OpenFolder;
    if (fileCount == 0) {
        result.clear();
        return OkAction::Close;
    }
    if (selected < 0 || selected >= static_cast<int>(LstFile.size())) {
        result.clear();
        return OkAction::Stay;
    }
    result = LstFile[selected];
    PathSet(key, dirPath);
    return OkAction::Close;
}

bool PrmSelLogic::KeyPress(char k, int selected) {
    if (k != '@' || UserLevel < 3) return false;
    if (selected < 0 || selected >= static_cast<int>(LstFile.size())) return false;
    const int16_t r = FIL_ReadGroupFile(LstFile[selected], plat::VbFalse);
    plat::MsgBox(std::string("Trial reading of file Result:") + (r ? "True" : "False") + ".");
    return true;
}
