// The program folder and the Windows-style paths the program is written with.
// Paths may use '\' as separator; every existing component is looked up without regard to ASCII case, so
// "ini\def\default.def" finds "ini/def/default.DEF". A component that does not exist is kept as written,
// so new files are created with the name as given.
#pragma once

#include <string>
#include <vector>

namespace plat {

// Folder of the running executable (no trailing '/'), unless SetAppDir changed it.
const std::string& AppDir();
// For tests and tools: makes dir the program folder (an empty string goes back to the executable's folder).
void SetAppDir(const std::string& dir);

// A real path for path: '\' becomes '/', and each existing component is matched case-insensitively.
// A relative path stays relative (to the current directory).
std::string RealPath(const std::string& path);
// RealPath of a path relative to the program folder, e.g. AppFile("ini\\def\\default.DEF").
std::string AppFile(const std::string& relative);

// Existence tests, after RealPath.
bool FileExists(const std::string& path); // a regular file (or a link to one)
bool DirExists(const std::string& path);

// '*' and '?' wildcards, ASCII case ignored, matched against the whole name.
bool MatchPattern(const std::string& pattern, const std::string& name);

enum class ListKind { Files, Dirs };
// Names (not paths) in folder matching pattern, sorted by name case-insensitively. "." and ".." are never
// listed. A missing folder gives an empty list.
std::vector<std::string> ListDir(const std::string& folder, const std::string& pattern,
                                 ListKind kind = ListKind::Files);

// Case-insensitive (ASCII) ordering used by the listings.
bool LessNoCase(const std::string& a, const std::string& b);
bool EqualNoCase(const std::string& a, const std::string& b);

} // namespace plat
