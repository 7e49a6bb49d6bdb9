// One running copy per program folder: the first copy holds an exclusive lock on a file there.
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

    // True when this object now holds the lock on path (created if missing); false when another holder has
    // it or the file cannot be opened.
    bool Acquire(const std::string& path);
    void Release();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Name of the lock file in the program folder.
inline constexpr const char* kInstanceLockFile = "mevalo.lock";

// Takes the program's lock in the program folder for the rest of the run. False when another copy runs.
bool ClaimSingleInstance();

} // namespace plat
