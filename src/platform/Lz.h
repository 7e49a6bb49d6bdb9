// Copy with expansion of files compressed by the classic LZ method of setup discs (SZDD), over libmspack.
// A file that is not compressed is copied as it is, so callers need not know which kind a disc holds.
#pragma once

#include <string>

namespace plat {

// True when the file starts with an SZDD signature.
bool LzIsCompressed(const std::string& path);

// Copies source to target (paths as for RealPath), expanding a compressed source. The data go to a
// temporary file beside the target, which is renamed over the target only when the whole copy succeeded:
// on failure the target is as it was and *error (if given) says why.
bool LzCopyFile(const std::string& source, const std::string& target, std::string* error = nullptr);

} // namespace plat
