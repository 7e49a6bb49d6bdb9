#include "platform/Paths.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ExecutableDir()
{
    std::string buf(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return ".";
    buf.resize(static_cast<size_t>(n));
    const auto slash = buf.rfind('/');
    return slash == 0 ? "/" : buf.substr(0, slash);
}

std::string& AppDirOverride()
{
    static std::string dir;
    return dir;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Names in dir, "." and ".." left out. Empty when dir cannot be read.
std::vector<std::string> Entries(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return names;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(d);
    return names;
}

std::string Join(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

} // namespace

const std::string& AppDir()
{
    static const std::string exeDir = ExecutableDir();
    return AppDirOverride().empty() ? exeDir : AppDirOverride();
}

void SetAppDir(const std::string& dir)
{
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/')
        d.pop_back();
    AppDirOverride() = d;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessNoCase(const std::string& a, const std::string& b)
{
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                   [](char x, char y) { return Lower(x) < Lower(y); });
    if (less || !EqualNoCase(a, b))
        return less;
    return a < b; // names differing only in case keep one fixed order
}

std::string RealPath(const std::string& path)
{
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');

    std::string out = (!p.empty() && p[0] == '/') ? "/" : "";
    bool resolving = true; // stops at the first component that does not exist
    size_t pos = 0;
    while (pos <= p.size()) {
        size_t next = p.find('/', pos);
        if (next == std::string::npos)
            next = p.size();
        std::string part = p.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty())
            continue;
        if (resolving && part != "." && part != ".." && !Exists(Join(out, part))) {
            std::vector<std::string> names = Entries(out);
            std::sort(names.begin(), names.end(), LessNoCase);
            const auto hit = std::find_if(names.begin(), names.end(),
                                          [&](const std::string& n) { return EqualNoCase(n, part); });
            if (hit != names.end())
                part = *hit;
            else
                resolving = false;
        }
        out = Join(out, part);
    }
    return out;
}

std::string AppFile(const std::string& relative)
{
    std::string r = relative;
    while (!r.empty() && (r[0] == '\\' || r[0] == '/'))
        r.erase(0, 1);
    return RealPath(Join(AppDir(), r));
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(RealPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(const std::string& path)
{
    struct stat st;
    return stat(RealPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MatchPattern(const std::string& pattern, const std::string& name)
{
    // Iterative wildcard match with one backtrack point for the last '*'.
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> ListDir(const std::string& folder, const std::string& pattern, ListKind kind)
{
    const std::string dir = RealPath(folder);
    std::vector<std::string> out;
    for (const std::string& name : Entries(dir)) {
        if (!MatchPattern(pattern, name))
            continue;
        struct stat st;
        if (stat(Join(dir, name).c_str(), &st) != 0)
            continue;
        if (kind == ListKind::Files ? S_ISREG(st.st_mode) : S_ISDIR(st.st_mode))
            out.push_back(name);
    }
    std::sort(out.begin(), out.end(), LessNoCase);
    return out;
}

} // namespace plat
