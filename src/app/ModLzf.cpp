#include "app/ModLzf.h"

#include "app/FrmInstall.h"
#include "app/Log.h"
#include "platform/Ask.h"
#include "platform/Lz.h"
#include "platform/Paths.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const LzfYes = "Yes";
const char* const LzfYesToAll = "Yes to all";
const char* const LzfNo = "No";
const char* const LzfCancel = "Cancel";
const char* const LzfPrmCaption = "Install data of parameters.";

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

// Entries of a folder, or nothing with *error set when it cannot be read.
bool ReadFolder(const std::string& dir, std::vector<std::string>& names, std::string& error) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        error = std::strerror(errno);
        return false;
    }
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
        errno = 0;
    }
    const int err = errno;
    ::closedir(d);
    if (err != 0) {
        error = std::strerror(err);
        return false;
    }
    std::sort(names.begin(), names.end(), plat::LessNoCase);
    return true;
}

bool IsKind(const std::string& path, bool folder) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

void MakeFolder(const std::string& relative) {
    // Errors are left to the copies, which report a folder they cannot write into.
    ::mkdir(plat::AppFile(relative).c_str(), 0777);
}

LzfOverwriteAsker& Asker() {
    static LzfOverwriteAsker asker;
    return asker;
}

std::string SizeText(const QFileInfo& f) {
    return "Size " + std::to_string(f.size()) + " Bytes";
}

std::string DateText(const QFileInfo& f) {
    return "Modified date " +
           QLocale::system().toString(f.lastModified(), QLocale::ShortFormat).toStdString();
}

} // namespace

bool LzfCopyFile(const std::string& source, const std::string& target) {
    std::string error;
    if (plat::LzCopyFile(source, target, &error)) return true;
    log("LzfCopyFile " + source + " -> " + target + ": " + error, LogOther);
    return false;
}

std::string LimStr(const std::string& text, int n) {
    const QString t = QString::fromStdString(text);
    if (n < 0 || t.size() <= n) return text;
    return "..." + t.right(n).toStdString();
}

LzfOverwriteInfo LzfOverwriteTexts(const std::string& source, const std::string& destination,
                                   const std::string& name) {
    const QFileInfo src(QString::fromStdString(plat::RealPath(source)));
    const QFileInfo dst(QString::fromStdString(plat::RealPath(destination)));
    LzfOverwriteInfo info;
    info.name = name;
    info.title = "This folder contains a file named '" + name + "'";
    info.dstSize = SizeText(dst);
    info.dstDate = DateText(dst);
    info.srcSize = SizeText(src);
    info.srcDate = DateText(src);
    return info;
}

std::string LzfAskOverwrite(const LzfOverwriteInfo& info) {
    const std::string answer = Asker() ? Asker()(info) : FrmLzfOverWrite::Execute(info);
    // Anything but a button's answer stops, as closing the dialog does.
    for (const char* a : {LzfYes, LzfYesToAll, LzfNo})
        if (answer == a) return answer;
    return LzfCancel;
}

LzfOverwriteAsker SetLzfOverwriteAsker(LzfOverwriteAsker asker) {
    LzfOverwriteAsker previous = std::move(Asker());
    Asker() = std::move(asker);
    return previous;
}

// ---- one group ---------------------------------------------------------------------------------------

LzfGroupCopy::LzfGroupCopy(LzfGroupJob job, std::string& overAnswer)
    : job_(std::move(job)), overAnswer_(overAnswer) {
    if (overAnswer_.empty()) overAnswer_ = LzfYes;
}

const std::string& LzfGroupCopy::CurrentName() const {
    static const std::string none;
    return AtEnd() ? none : names_[next_];
}

bool LzfGroupCopy::Start() {
    names_.clear();
    next_ = 0;
    goOn_ = true;
    srcDir_ = plat::RealPath(Join(job_.medium, job_.folder));
    dstDir_ = plat::AppFile(job_.dest);

    std::string error;
    std::vector<std::string> entries;
    const std::string medium = plat::RealPath(job_.medium);
    bool readable;
    if (::access(srcDir_.c_str(), F_OK) != 0) {
        // A folder the medium does not have holds nothing, but the medium itself must be there.
        readable = ReadFolder(medium, entries, error);
        entries.clear();
    } else {
        readable = ReadFolder(srcDir_, entries, error);
    }
    if (!readable) {
        plat::MsgBox("Can not read from A drive.", plat::Buttons::Ok, plat::Icon::None, error);
        goOn_ = false;
        return false;
    }
    // "*.*" names every file, also one without a dot.
    const std::string pattern = job_.pattern == "*.*" ? "*" : job_.pattern;
    for (const std::string& n : entries)
        if (plat::MatchPattern(pattern, n) && IsKind(srcDir_ + "/" + n, false)) names_.push_back(n);
    return true;
}

void LzfGroupCopy::Step() {
    if (!goOn_ || AtEnd()) return;
    const std::string name = names_[next_];
    const std::string src = srcDir_ + "/" + name;
    // An existing file whose name differs only in case is the same file to the program.
    const std::string dst = plat::RealPath(dstDir_ + "/" + name);
    bool copy = true;
    if (plat::FileExists(dst) && overAnswer_ != LzfYesToAll) {
        overAnswer_ = LzfAskOverwrite(LzfOverwriteTexts(src, dst, name));
        if (overAnswer_ == LzfCancel) {
            goOn_ = false;
            return;
        }
        copy = overAnswer_ != LzfNo;
    }
    while (copy && !LzfCopyFile(src, dst)) {
        const int a = plat::MsgBox("Can not copy '" + name + "'.\nAbort installing data.",
                                   plat::Buttons::RetryCancel, plat::Icon::None, "Error");
        if (a != plat::Retry) {
            goOn_ = false;
            return;
        }
    }
    ++next_;
}

bool LzfCopyGroupQuiet(const LzfGroupJob& job, std::string& overAnswer) {
    LzfGroupCopy copy(job, overAnswer);
    if (!copy.Start()) return false;
    while (copy.GoOn() && !copy.AtEnd())
        copy.Step();
    return copy.Completed();
}

// ---- the installation --------------------------------------------------------------------------------

const std::array<LzfStep, 6>& LzfSteps() {
    static const std::array<LzfStep, 6> steps = {{
        {"Install sample file of waveform graphic.", "wgd", "*.*"},
        {"Install sample file of parameters.", "prm", "*.*"},
        {"Install sample file of frequency characteristic", "idt", "*.*"},
        {"Install initial file.", "ini", "*.*"},
        {"Install image file", "img", "*.*"},
        {"Install definition file.", "ini\\def", "*.def"},
    }};
    return steps;
}

LzfDataInstaller::LzfDataInstaller(std::string source, GroupRunner runner)
    : src_(std::move(source)), runner_(std::move(runner)) {}

bool LzfDataInstaller::SearchType() {
    SeriesDir.clear();
    const std::string dir = plat::RealPath(Join(src_, "ini\\prm"));
    std::vector<std::string> entries;
    std::string error;
    if (!ReadFolder(dir, entries, error)) return false;
    for (const std::string& n : entries) {
        if (static_cast<int>(SeriesDir.size()) >= SeriesDirMax) break;
        if (IsKind(dir + "/" + n, true)) SeriesDir.push_back(n);
    }
    return !SeriesDir.empty();
}

bool LzfDataInstaller::CopyPrm() {
    if (!SearchType()) return false;
    for (const std::string& s : SeriesDir) {
        const std::string folder = "ini\\prm\\" + s;
        MakeFolder(folder);
        if (!runner_({src_, folder, "*.prm", folder, LzfPrmCaption}, OverAnswer)) return false;
    }
    return true;
}

int16_t LzfDataInstaller::Install() {
    for (const char* f : {"ini", "ini\\def", "ini\\prm", "img", "wgd", "prm", "idt"})
        MakeFolder(f);
    if (!CopyPrm()) return 1;
    for (const LzfStep& s : LzfSteps())
        if (!runner_({src_, s.folder, s.pattern, s.folder, s.caption}, OverAnswer)) return 1;
    return 2;
}
