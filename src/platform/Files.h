// Small file operations whose failure the caller does not report.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace plat {

// Removes a file (path as for RealPath); a missing or undeletable file is not an error.
void DeleteFileQuiet(const std::string& path);

// Last-modified time of a file, or nothing when the file is missing or its date cannot be read.
std::optional<std::time_t> FileDateTime(const std::string& path);

} // namespace plat
