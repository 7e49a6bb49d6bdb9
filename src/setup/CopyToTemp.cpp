#include "setup/CopyToTemp.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace instoran {

namespace {

// The pause before every block keeps a slow medium from starving the dialog and gives Cancel a chance.
constexpr auto BlockPause = std::chrono::milliseconds(10);

std::string SysError(const std::string& what, int err) { return what + ": " + std::strerror(err); }

// Closes a descriptor when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error of close, which is where some file systems report a failed write.
    int close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

  private:
    int fd_;
};

// Opens a folder one component at a time, so that a path longer than the system's limit still works.
int OpenFolder(const std::string& path) {
    int fd = ::open(!path.empty() && path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    size_t pos = 0;
    while (fd >= 0 && pos < path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        if (end > pos) {
            const int next = ::openat(fd, path.substr(pos, end - pos).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            const int err = errno;
            ::close(fd);
            errno = err;
            fd = next;
        }
        pos = end + 1;
    }
    return fd;
}

// The name as it stands on the disk: media may show their file names in capitals.
std::string NameOnDisk(int folder, const std::string& name) {
    struct stat st{};
    if (::fstatat(folder, name.c_str(), &st, 0) == 0) return name;
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return name;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return name;
    }
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Reads until the buffer is full or the file ends; a short count from read alone does not end a file.
ssize_t ReadBlock(int fd, char* buf, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buf + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

bool WriteAll(int fd, const char* buf, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, buf, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        buf += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

CopyResult Copy(const CopyJob& job, const std::string& name, std::string* error) {
    const auto fail = [&](const std::string& what) {
        if (error) *error = SysError(what, errno);
        return CopyResult::Failed;
    };
    const std::string target = job.tempFolder + "/" + name;

    Fd disk(OpenFolder(job.diskFolder));
    if (disk.get() < 0) return fail(job.diskFolder);
    const std::string source = NameOnDisk(disk.get(), name);
    Fd in(::openat(disk.get(), source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return fail(job.diskFolder + "/" + source);
    Fd temp(OpenFolder(job.tempFolder));
    if (temp.get() < 0) return fail(job.tempFolder);
    // Truncated only once it is known not to be the source itself (the disk folder may be the temporary one).
    Fd out(::openat(temp.get(), name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    if (out.get() < 0) return fail(target);
    struct stat inStat{}, outStat{};
    if (::fstat(in.get(), &inStat) != 0 || ::fstat(out.get(), &outStat) != 0) return fail(target);
    if (inStat.st_dev == outStat.st_dev && inStat.st_ino == outStat.st_ino) {
        if (error) *error = target + ": the disk and the temporary folder are the same";
        return CopyResult::Failed;
    }
    if (::ftruncate(out.get(), 0) != 0 && errno != EINVAL) return fail(target); // devices cannot be truncated

    char buf[BlockSize];
    int blocks = 0;
    for (;;) {
        std::this_thread::sleep_for(BlockPause);
        const ssize_t n = ReadBlock(in.get(), buf, sizeof buf);
        if (n < 0) return fail("reading " + job.diskFolder + "/" + source);
        if (!WriteAll(out.get(), buf, static_cast<size_t>(n))) return fail("writing " + target);
        if (n < BlockSize) break;
        if (job.copyFlag->load() == CopyCancel) return CopyResult::Cancelled;
        ++blocks;
        if (job.progress) job.progress(blocks);
    }
    if (out.close() != 0) return fail("writing " + target);
    return CopyResult::Copied;
}

} // namespace

const std::vector<std::string>& DiskFiles(int disk) {
    static const std::vector<std::vector<std::string>> files = {
        {"setup.lst", "setup.exe", "vimedo1.cab"}, {"vimedo2.cab"}, {"vimedo3.cab"}};
    return files.at(static_cast<size_t>(disk - 1));
}

std::string TempFolder() {
    for (const char* var : {"TEMP", "TMPDIR"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "/tmp";
}

std::string ProgressText(int blocks) { return "Approx. " + std::to_string(std::min(blocks / 3, 100)) + " %"; }

CopyResult CopyToTemp(const CopyJob& job, const std::string& name, std::string* error) {
    // A cancel that came before this file starts keeps the flag at 2 and stops the disk here.
    int idle = CopyIdle;
    if (!job.copyFlag->compare_exchange_strong(idle, CopyRunning)) return CopyResult::Cancelled;
    const CopyResult result = Copy(job, name, error);
    int running = CopyRunning;
    job.copyFlag->compare_exchange_strong(running, CopyIdle);
    return result;
}

CopyResult CopyDisk(const CopyJob& job, int disk, std::string* error) {
    for (const std::string& name : DiskFiles(disk))
        if (const CopyResult r = CopyToTemp(job, name, error); r != CopyResult::Copied) return r;
    return CopyResult::Copied;
}

std::string StartInstaller(const std::string& tempFolder) {
    static const char* const program = "setup.exe";
    Fd folder(OpenFolder(tempFolder));
    if (folder.get() < 0) return SysError(tempFolder, errno);
    // The copy does not carry the medium's permissions; make it runnable by whoever may read it.
    struct stat st{};
    if (::fstatat(folder.get(), program, &st, 0) != 0) return SysError(program, errno);
    if ((st.st_mode & S_IXUSR) == 0 &&
        ::fchmodat(folder.get(), program, st.st_mode | ((st.st_mode & 0444) >> 2), 0) != 0)
        return SysError(program, errno);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addfchdir_np(&actions, folder.get());
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, "./setup.exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? std::string() : SysError(program, rc);
}

} // namespace instoran
