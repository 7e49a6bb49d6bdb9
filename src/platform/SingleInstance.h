// One running copy per user: the first copy holds an exclusive lock on a file in the user's runtime folder.
#pragma once

#include <string>

namespace plat {

// An exclusive lock (flock) on one file, held until the object is destroyed or the process ends.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object now holds the lock on path (created if missing). On false, Error() is 0 when
    // another holder has the lock, else the errno of the failed open or lock.
    bool Acquire(const std::string& path);
    void Release();
    bool Held() const { return fd_ >= 0; }
    int Error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

// Name of the lock file.
inline constexpr const char* kInstanceLockFile = "mevalo.lock";

// Where the lock lives: $XDG_RUNTIME_DIR, else a "mevalo" folder in the per-user cache folder
// ($XDG_CACHE_HOME, else ~/.cache). The cache folder is not created here.
std::string InstanceLockPath();

struct InstanceClaim {
    enum Kind { Taken, HeldElsewhere, Failed } kind = Taken;
    std::string path;  // the lock file
    std::string error; // the system's text when the lock could not be made
};

// Takes the program's lock for the rest of the run (a second call answers Taken again).
InstanceClaim ClaimSingleInstance();

} // namespace plat
