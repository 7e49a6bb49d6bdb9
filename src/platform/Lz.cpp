#include "platform/Lz.h"

#include "platform/Paths.h"

#include <mspack.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

constexpr unsigned char SzddMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr unsigned char QbasicMagic[8] = {'S', 'Z', ' ', 0x88, 0xF0, 0x27, 0x33, 0xD1};

std::string MspackText(int code) {
    switch (code) {
    case MSPACK_ERR_OPEN:
        return "cannot open the file";
    case MSPACK_ERR_READ:
        return "read error";
    case MSPACK_ERR_WRITE:
        return "write error";
    case MSPACK_ERR_SEEK:
        return "seek error";
    case MSPACK_ERR_NOMEMORY:
        return "out of memory";
    case MSPACK_ERR_SIGNATURE:
        return "not a compressed file";
    case MSPACK_ERR_DATAFORMAT:
    case MSPACK_ERR_DECRUNCH:
        return "the compressed data are damaged";
    default:
        return "expansion failed (" + std::to_string(code) + ")";
    }
}

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// A temporary file in the target's folder, removed unless it was renamed over the target.
class TempBeside {
  public:
    explicit TempBeside(const std::string& target) : target_(target) {
        std::string pattern = target + ".lztmp-XXXXXX";
        std::unique_ptr<char[]> buf(new char[pattern.size() + 1]);
        std::memcpy(buf.get(), pattern.c_str(), pattern.size() + 1);
        const int fd = mkstemp(buf.get());
        if (fd >= 0) {
            fd_ = fd;
            path_ = buf.get();
        } else {
            error_ = std::strerror(errno);
        }
    }
    ~TempBeside() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty() && !committed_) ::unlink(path_.c_str());
    }
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;

    bool Ok() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

    // Syncs and closes the file, keeps the mode of a file being replaced, then renames it over the target.
    bool Commit() {
        struct stat st;
        if (::stat(target_.c_str(), &st) == 0)
            ::fchmod(fd_, st.st_mode & 07777);
        else
            ::fchmod(fd_, 0644 & ~CurrentUmask());
        if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
            error_ = std::strerror(errno);
            fd_ = -1;
            return false;
        }
        fd_ = -1;
        if (::rename(path_.c_str(), target_.c_str()) != 0) {
            error_ = std::strerror(errno);
            return false;
        }
        committed_ = true;
        return true;
    }

  private:
    static mode_t CurrentUmask() {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }

    std::string target_;
    std::string path_;
    std::string error_;
    int fd_ = -1;
    bool committed_ = false;
};

bool CopyPlain(const std::string& source, int outFd, std::string* error) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        SetError(error, std::strerror(errno));
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            SetError(error, std::strerror(errno));
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(outFd, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                SetError(error, std::strerror(errno));
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    ::close(in);
    return ok;
}

struct SzddDeleter {
    void operator()(msszdd_decompressor* d) const { mspack_destroy_szdd_decompressor(d); }
};

bool Expand(const std::string& source, const std::string& temp, std::string* error) {
    std::unique_ptr<msszdd_decompressor, SzddDeleter> lz(mspack_create_szdd_decompressor(nullptr));
    if (!lz) {
        SetError(error, "the expansion library could not start");
        return false;
    }
    msszddd_header* hdr = lz->open(lz.get(), source.c_str());
    if (!hdr) {
        SetError(error, MspackText(lz->last_error(lz.get())));
        return false;
    }
    const off_t expected = hdr->length;
    const int rc = lz->extract(lz.get(), hdr, temp.c_str());
    lz->close(lz.get(), hdr);
    if (rc != MSPACK_ERR_OK) {
        SetError(error, MspackText(rc));
        return false;
    }
    // The expander stops quietly at the end of a cut-off file; the header's length tells the truth.
    struct stat st;
    if (::stat(temp.c_str(), &st) != 0 || st.st_size != expected) {
        SetError(error, "the compressed file is incomplete");
        return false;
    }
    return true;
}

} // namespace

bool LzIsCompressed(const std::string& path) {
    std::FILE* f = std::fopen(RealPath(path).c_str(), "rb");
    if (!f) return false;
    unsigned char head[8] = {};
    const size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return n == sizeof head &&
           (std::memcmp(head, SzddMagic, 8) == 0 || std::memcmp(head, QbasicMagic, 8) == 0);
}

bool LzCopyFile(const std::string& source, const std::string& target, std::string* error) {
    const std::string src = RealPath(source);
    const std::string dst = RealPath(target);
    struct stat st;
    if (::stat(src.c_str(), &st) != 0) {
        SetError(error, std::strerror(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        SetError(error, "not a file");
        return false;
    }
    TempBeside temp(dst);
    if (!temp.Ok()) {
        SetError(error, temp.Error());
        return false;
    }
    bool ok;
    if (LzIsCompressed(src)) {
        // The library writes through its own file handle; ours stays open only to hold the name.
        ok = Expand(src, temp.Path(), error);
    } else {
        ok = CopyPlain(src, temp.Fd(), error);
    }
    if (!ok) return false;
    if (!temp.Commit()) {
        SetError(error, temp.Error());
        return false;
    }
    return true;
}

} // namespace plat
