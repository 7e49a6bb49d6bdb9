#include "platform/TextFile.h"

#include "platform/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

bool ValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of in as possible; stops at an invalid or unconvertible sequence (in then points at
    // it) or at the end. Returns false on such a stop.
    bool Run(const char*& in, size_t& inLeft, std::string& out)
    {
        while (inLeft > 0) {
            char buf[1024];
            char* o = buf;
            size_t oLeft = sizeof buf;
            const size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &o, &oLeft);
            out.append(buf, static_cast<size_t>(o - buf));
            if (r == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

    void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

// Length of the character at the start of s: its whole UTF-8 sequence when valid, else the one bad byte.
size_t CharLength(std::string_view s)
{
    const auto c = static_cast<unsigned char>(s[0]);
    const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return len <= s.size() && ValidUtf8(s.substr(0, len)) ? len : 1;
}

WriteHook& CurrentWriteHook()
{
    static WriteHook hook;
    return hook;
}

ssize_t DoWrite(int fd, const void* data, size_t size)
{
    const WriteHook& hook = CurrentWriteHook();
    return hook ? hook(fd, data, size) : ::write(fd, data, size);
}

std::string ErrnoText(int err) { return std::strerror(err); }

mode_t CurrentUmask()
{
    const mode_t m = umask(0);
    umask(m);
    return m;
}

} // namespace

std::string DecodeText(std::string_view bytes)
{
    // Only a byte-order mark makes a file UTF-8: code page 932 text (half-width katakana above all) is
    // often valid UTF-8 by chance.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        if (ValidUtf8(bytes))
            return std::string(bytes);
    }

    std::string out;
    Iconv cv("UTF-8", "CP932");
    if (!cv.ok())
        return std::string(bytes);
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (!cv.Run(in, left, out)) {
        out += "\uFFFD";
        ++in;
        --left;
        cv.Reset();
    }
    return out;
}

std::string EncodeCp932(std::string_view utf8)
{
    std::string out;
    Iconv cv("CP932", "UTF-8");
    if (!cv.ok())
        return std::string(utf8);
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (!cv.Run(in, left, out)) {
        const size_t len = CharLength(std::string_view(in, left));
        out += '?';
        in += len;
        left -= len;
        cv.Reset();
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::string* error) {
    // Opened without waiting: a named pipe with no writer would otherwise hold the program for good.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = ErrnoText(errno);
        return false;
    }
    struct stat st {};
    const bool statted = fstat(fd, &st) == 0;
    const int statErr = errno;
    if (!statted || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error)
            *error = !statted              ? ErrnoText(statErr)
                     : S_ISDIR(st.st_mode) ? ErrnoText(EISDIR)
                                           : std::string("Not a regular file");
        return false;
    }
    bytes.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            if (error) *error = ErrnoText(err);
            return false;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

std::optional<std::vector<std::string>> ReadLines(const std::string& path, std::string* error) {
    std::string bytes;
    if (!ReadRegularFile(RealPath(path), bytes, error)) return std::nullopt;
    return SplitLines(DecodeText(bytes));
}

AtomicTextWriter::AtomicTextWriter(const std::string& path) : path_(RealPath(path)) {}

AtomicTextWriter::~AtomicTextWriter() = default;

void AtomicTextWriter::Write(std::string_view utf8) { buffer_.append(utf8); }

void AtomicTextWriter::WriteLine(std::string_view utf8)
{
    buffer_.append(utf8);
    buffer_.append("\r\n");
}

bool AtomicTextWriter::Commit()
{
    const std::string bytes = EncodeCp932(buffer_);

    std::string tmp = path_ + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error_ = ErrnoText(errno);
        return false;
    }
    auto fail = [&](int err) {
        error_ = ErrnoText(err);
        ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    };

    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = DoWrite(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return fail(w < 0 ? errno : EIO);
        done += static_cast<size_t>(w);
    }
    // A replaced file keeps the permissions of the old one; a new one gets the usual ones.
    struct stat st;
    const mode_t mode = stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (fchmod(fd, mode) != 0)
        return fail(errno);
    if (fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        error_ = ErrnoText(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path_.c_str()) != 0) {
        error_ = ErrnoText(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    error_.clear();
    return true;
}

bool SaveLines(const std::string& path, const std::vector<std::string>& lines, std::string* error)
{
    AtomicTextWriter w(path);
    for (const std::string& line : lines)
        w.WriteLine(line);
    const bool ok = w.Commit();
    if (!ok && error)
        *error = w.Error();
    return ok;
}

WriteHook SetWriteHook(WriteHook hook)
{
    WriteHook previous = std::move(CurrentWriteHook());
    CurrentWriteHook() = std::move(hook);
    return previous;
}

} // namespace plat
