#include "platform/TextFile.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
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
    out.reserve(bytes.size()); // exact for the usual single-byte text
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

TextLines::TextLines(std::string text) : text_(std::move(text))
{
    if (text_.size() >= UINT32_MAX) throw std::length_error("text too long for its line index");
    // Every line end becomes one '\n', in place (CR LF only shrinks); then one pass finds the starts.
    size_t w = 0, count = 0;
    for (size_t r = 0; r < text_.size(); ++r) {
        char c = text_[r];
        if (c == '\r') {
            if (r + 1 < text_.size() && text_[r + 1] == '\n') ++r;
            c = '\n';
        }
        if (c == '\n') ++count;
        text_[w++] = c;
    }
    text_.resize(w);
    if (w > 0 && text_.back() != '\n') {
        text_ += '\n';
        ++count;
    }
    text_.shrink_to_fit();
    starts_.reserve(count);
    size_t start = 0;
    for (size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] != '\n') continue;
        starts_.push_back(static_cast<uint32_t>(start));
        start = i + 1;
    }
}

bool ReadRegularFile(const std::string& path, std::string& bytes, ReadError* error)
{
    auto fail = [&](std::string text, bool tooLarge = false) {
        if (error) *error = ReadError{std::move(text), tooLarge};
        return false;
    };
    auto refuseSize = [&](off_t size) {
        return fail(ErrnoText(EFBIG) + ": " + std::to_string(size) + " bytes, more than the " +
                        std::to_string(MaxReadSize >> 20) + " MiB a data file may have",
                    true);
    };
    // Opened without waiting: a named pipe with no writer would otherwise hold the program for good.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail(ErrnoText(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // The size of what was opened, not of whatever the path names by now.
    struct stat st {};
    if (fstat(fd, &st) != 0) return fail(ErrnoText(errno));
    if (S_ISDIR(st.st_mode)) return fail(ErrnoText(EISDIR));
    if (!S_ISREG(st.st_mode)) return fail("Not a regular file");
    if (st.st_size > MaxReadSize) return refuseSize(st.st_size);

    bytes.clear();
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(ErrnoText(errno));
        if (n == 0) break;
        // A file that grows while it is read is held to the same limit.
        if (bytes.size() + static_cast<size_t>(n) > static_cast<size_t>(MaxReadSize)) {
            const auto size = static_cast<off_t>(bytes.size()) + n;
            bytes.clear();
            bytes.shrink_to_fit();
            return refuseSize(size);
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    return true;
}

std::optional<TextLines> ReadLines(const std::string& path, ReadError* error)
{
    std::string text;
    {
        std::string bytes;
        if (!ReadRegularFile(RealPath(path), bytes, error)) return std::nullopt;
        // Plain ASCII reads the same in either encoding: kept as it is rather than copied.
        const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
        text = ascii ? std::move(bytes) : DecodeText(bytes);
    } // the bytes go before the line index is built
    // A mark that decoding left (a doubled one) would glue itself to the first item.
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    return TextLines(std::move(text));
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
