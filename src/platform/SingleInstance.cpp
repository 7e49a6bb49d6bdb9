#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v == '/' ? std::string(v) : std::string();
}

std::string HomeDir()
{
    if (std::string home = Env("HOME"); !home.empty())
        return home;
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

std::string CacheFolder()
{
    if (std::string cache = Env("XDG_CACHE_HOME"); !cache.empty())
        return cache + "/mevalo";
    return HomeDir() + "/.cache/mevalo";
}

// mkdir -p, private to the user for the folders it makes.
bool MakeFolders(const std::string& dir)
{
    for (std::size_t pos = 1; pos != std::string::npos;) {
        pos = dir.find('/', pos + 1);
        const std::string part = dir.substr(0, pos);
        struct stat st {};
        if (stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(const std::string& path)
{
    Release();
    error_ = 0;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Only a lock that someone holds means another copy; any other failure is the file's own.
        error_ = errno == EWOULDBLOCK ? 0 : errno;
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release()
{
    if (fd_ >= 0) {
        close(fd_); // drops the lock
        fd_ = -1;
    }
}

std::string InstanceLockPath()
{
    if (std::string run = Env("XDG_RUNTIME_DIR"); !run.empty())
        return run + "/" + kInstanceLockFile;
    return CacheFolder() + "/" + kInstanceLockFile;
}

InstanceClaim ClaimSingleInstance()
{
    // Held until the process ends; the kernel drops it even when the program is killed.
    static InstanceLock lock;
    InstanceClaim claim;
    claim.path = InstanceLockPath();
    if (lock.Held())
        return claim;
    const std::string dir = claim.path.substr(0, claim.path.rfind('/'));
    if (!dir.empty() && !MakeFolders(dir)) {
        claim.kind = InstanceClaim::Failed;
        claim.error = std::strerror(errno);
        return claim;
    }
    if (lock.Acquire(claim.path))
        return claim;
    claim.kind = lock.Error() == 0 ? InstanceClaim::HeldElsewhere : InstanceClaim::Failed;
    if (lock.Error() != 0)
        claim.error = std::strerror(lock.Error());
    return claim;
}

} // namespace plat
