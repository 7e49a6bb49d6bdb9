#include "app/FileDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <vector>

#include "app/Glb.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

PathTblRec PathTbl[PathTblSize];

std::string PathGet(const std::string& key, const std::string& def) {
    for (int i = 0; i < PathTblUsed; ++i) {
        if (PathTbl[i].Key.empty()) break;
        if (PathTbl[i].Key == key) return PathTbl[i].Folder;
    }
    return def;
}

void PathSet(const std::string& key, const std::string& folder) {
    for (int i = 0; i < PathTblUsed; ++i) {
        PathTblRec& e = PathTbl[i];
        if (e.Key == key) {
            e.Folder = folder;
            return;
        }
        if (e.Key.empty()) {
            e.Key = key;
            e.Folder = folder;
            return;
        }
    }
}

void PathTblClear() {
    for (PathTblRec& e : PathTbl)
        e = PathTblRec{};
}

namespace {

std::vector<std::string> SplitBar(const std::string& s) {
    std::vector<std::string> parts;
    size_t b = 0;
    for (;;) {
        const size_t e = s.find('|', b);
        parts.push_back(s.substr(b, e == std::string::npos ? std::string::npos : e - b));
        if (e == std::string::npos) return parts;
        b = e + 1;
    }
}

std::string RealDialog(const FileDlgRequest& req) {
    QFileDialog dlg(QApplication::activeWindow());
    // The same dialog on every desktop, and one that tests can drive offscreen.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::ReadOnly, false);
    // The question comes from FilDlg, after the extension has been added.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    dlg.setAcceptMode(req.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(req.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilter(QString::fromStdString(req.filter));
    dlg.setDirectory(QString::fromStdString(req.folder));
    dlg.selectFile(QString::fromStdString(req.name));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first().toStdString();
}

FileDlgShow& Show() {
    static FileDlgShow show;
    return show;
}

} // namespace

FileDlgShow SetFileDlgShow(FileDlgShow show) {
    FileDlgShow previous = std::move(Show());
    Show() = std::move(show);
    return previous;
}

std::string FilDlgFilter(const std::string& filter) {
    const std::vector<std::string> parts = SplitBar(filter);
    std::string out;
    for (size_t i = 0; i < parts.size(); i += 2) {
        const std::string& desc = parts[i];
        const std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string("*");
        if (!out.empty()) out += ";;";
        const std::string tail = "(" + pattern + ")";
        const bool shown =
            desc.size() >= tail.size() && desc.compare(desc.size() - tail.size(), tail.size(), tail) == 0;
        out += shown ? desc : desc + " " + tail;
    }
    return out;
}

std::string FilDlgExtension(const std::string& filter) {
    const std::vector<std::string> parts = SplitBar(filter);
    if (parts.size() < 2) return {};
    std::string pattern = parts[1];
    pattern = pattern.substr(0, pattern.find(';'));
    const size_t dot = pattern.rfind('.');
    if (dot == std::string::npos) return {};
    const std::string ext = pattern.substr(dot + 1);
    if (ext.empty() || ext.find_first_of("*?") != std::string::npos) return {};
    return ext;
}

std::string ExistingFolder(const std::string& folder) {
    QString f = QDir::cleanPath(QString::fromStdString(plat::RealPath(folder)));
    if (f.isEmpty()) f = QDir::currentPath();
    QFileInfo fi(f);
    while (!fi.isDir()) {
        const QString up = fi.absolutePath();
        if (up == fi.absoluteFilePath()) break;
        fi = QFileInfo(up);
    }
    return fi.absoluteFilePath().toStdString();
}

std::string FilDlg(const std::string& key, const std::string& mode, const std::string& filter) {
    const QString before = QDir::currentPath();

    FileDlgRequest req;
    req.save = mode == "write";
    req.filter = FilDlgFilter(filter);
    req.folder = ExistingFolder(PathGet(key, AppPath(key)));
    const std::string ext = FilDlgExtension(filter);

    std::string path;
    for (;;) {
        path = Show() ? Show()(req) : RealDialog(req);
        if (path.empty()) break;
        QFileInfo fi(QString::fromStdString(path));
        if (!req.save) {
            if (!fi.isFile()) path.clear(); // the dialog lets only existing files through
            break;
        }
        if (fi.isDir()) {
            req.folder = fi.absoluteFilePath().toStdString();
            req.name.clear();
            continue;
        }
        if (fi.suffix().isEmpty() && !ext.empty()) {
            path += "." + ext;
            fi = QFileInfo(QString::fromStdString(path));
        }
        // No: back to the dialog, in the same folder with the same name.
        if (FIL_CheckOverWrite(path) == plat::VbFalse) break;
        req.folder = fi.absolutePath().toStdString();
        req.name = fi.fileName().toStdString();
    }

    if (!path.empty()) PathSet(key, QFileInfo(QString::fromStdString(path)).absolutePath().toStdString());
    if (QDir::currentPath() != before && !QDir::setCurrent(before))
        QDir::setCurrent(QString::fromStdString(StartDir));
    return path;
}
