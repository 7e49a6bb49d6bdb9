// Text files as the program keeps them: code page 932 on disk with CR LF line ends; UTF-8 in memory.
//
// Reading: a file that starts with a UTF-8 byte-order mark and is valid UTF-8 is taken as UTF-8, anything
// else is decoded from CP932; a byte sequence that is not CP932 becomes U+FFFD. CR LF, LF and a lone CR all end
// a line. Writing: text is encoded to CP932 (iconv also takes the JIS spellings such as U+301C WAVE DASH);
// a character CP932 cannot hold is written as '?', the usual replacement of the code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace plat {

// Bytes of a file as text (see above), line ends kept as in the file.
std::string DecodeText(std::string_view bytes);
// UTF-8 to CP932 bytes; unrepresentable characters become '?'.
std::string EncodeCp932(std::string_view utf8);
// Largest file the readers take: far above any real data file (a few hundred KB), small enough that a stray
// large file in a data folder is turned away at once instead of filling memory.
inline constexpr off_t MaxReadSize = off_t{16} << 20; // 16 MiB

// Why a file could not be read.
struct ReadError {
    std::string text;      // the system's text of the failure
    bool tooLarge = false; // larger than MaxReadSize; nothing of it was read
};

// Lines of a text in one buffer: a line costs its characters and one offset, so that even a file of bare
// line ends is held in a few times its size. Lines are split at CR LF, LF or CR; a last line without a line
// end counts; a line end at the very end does not start another line.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(std::string text);

    size_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    std::string_view operator[](size_t i) const
    {
        const size_t end = i + 1 < starts_.size() ? starts_[i + 1] : text_.size();
        return std::string_view(text_).substr(starts_[i], end - 1 - starts_[i]); // without its '\n'
    }

    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;
        Iterator() = default;
        Iterator(const TextLines* lines, size_t i) : lines_(lines), i_(i) {}
        std::string_view operator*() const { return (*lines_)[i_]; }
        Iterator& operator++()
        {
            ++i_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator was = *this;
            ++i_;
            return was;
        }
        bool operator==(const Iterator& other) const { return i_ == other.i_; }

    private:
        const TextLines* lines_ = nullptr;
        size_t i_ = 0;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

private:
    std::string text_;             // every line ended by a single '\n'
    std::vector<uint32_t> starts_; // where each line starts in text_
};

// Reads the bytes of a regular file, path as the system names it. Anything else (a named pipe, a device, a
// folder) is refused without waiting on it, like a file that cannot be opened, and so is a file larger than
// MaxReadSize: false, with the reason in *error when given.
bool ReadRegularFile(const std::string& path, std::string& bytes, ReadError* error = nullptr);

// Reads a whole regular file (path as for RealPath) as lines, refused as ReadRegularFile refuses. A byte-order
// mark still at the start of the decoded text is dropped. Nothing when it cannot be read; then *error (if
// given) says why.
std::optional<TextLines> ReadLines(const std::string& path, ReadError* error = nullptr);

// Writes a file so that it is either wholly replaced or left as it was. The text is kept in memory until
// Commit, which writes it to a temporary file in the target's folder, checking every write, then syncs,
// closes and renames it over the target. A writer destroyed without Commit changes nothing on disk.
class AtomicTextWriter {
public:
    explicit AtomicTextWriter(const std::string& path); // path as for RealPath
    ~AtomicTextWriter();
    AtomicTextWriter(const AtomicTextWriter&) = delete;
    AtomicTextWriter& operator=(const AtomicTextWriter&) = delete;

    void Write(std::string_view utf8);     // text as is
    void WriteLine(std::string_view utf8); // text and CR LF
    // True when the file was replaced; otherwise Error() says why and the target is untouched.
    bool Commit();
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string buffer_; // UTF-8, encoded once at Commit
    std::string error_;
};

// Writes lines with CR LF after each; the same guarantee as AtomicTextWriter.
bool SaveLines(const std::string& path, const std::vector<std::string>& lines, std::string* error = nullptr);

// For tests: replaces the write(2) the writer uses, to make a save fail part-way. An empty function restores
// the real one. Returns the previous hook.
using WriteHook = std::function<ssize_t(int fd, const void* data, size_t size)>;
WriteHook SetWriteHook(WriteHook hook);

} // namespace plat
