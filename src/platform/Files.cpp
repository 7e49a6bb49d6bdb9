#include "platform/Files.h"

#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

namespace plat {

void DeleteFileQuiet(const std::string& path) { unlink(RealPath(path).c_str()); }

std::optional<std::time_t> FileDateTime(const std::string& path)
{
    struct stat st;
    if (stat(RealPath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return st.st_mtime;
}

} // namespace plat
