#include "platform/SingleInstance.h"

#include "platform/Paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace plat {

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(const std::string& path)
{
    Release();
    const int fd = open(RealPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
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

bool ClaimSingleInstance()
{
    // Held until the process ends; the kernel drops it even when the program is killed.
    static InstanceLock lock;
    return lock.Held() || lock.Acquire(AppFile(kInstanceLockFile));
}

} // namespace plat
