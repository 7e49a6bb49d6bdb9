#include "platform/TextFile.h"
#include "TempDir.h"
#include "../common/Fifo.h"
#include "../common/WorkCost.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace plat;

namespace {

const std::string kJapanese = "パラメータ一覧 日本語ﾃｷｽﾄ ①～〜 \\~";

using Lines = std::vector<std::string>;

Lines Split(std::string text)
{
    const TextLines t(std::move(text));
    return Lines(t.begin(), t.end());
}

Lines Read(const std::string& path)
{
    const auto t = ReadLines(path);
    return t ? Lines(t->begin(), t->end()) : Lines{"(not read)"};
}

size_t FilesIn(const std::string& dir)
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

struct WriteHookGuard {
    explicit WriteHookGuard(WriteHook h) { SetWriteHook(std::move(h)); }
    ~WriteHookGuard() { SetWriteHook({}); }
};

} // namespace

TEST(TextFile, JapaneseTextIsCp932OnDiskWithCrLf)
{
    TempDir d;
    ASSERT_TRUE(SaveLines(d / "j.txt", {"日本", kJapanese, ""}));
    const std::string bytes = d.get("j.txt");
    EXPECT_EQ(bytes.substr(0, 6), "\x93\xFA\x96\x7B\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    // Not UTF-8 on disk: a CP932 reader is needed to get it back.
    EXPECT_EQ(bytes.find("日本"), std::string::npos);

    // Both tildes of the CP932 table come back as the one the code page means.
    EXPECT_EQ(Read(d / "j.txt"), (Lines{"日本", "パラメータ一覧 日本語ﾃｷｽﾄ ①～～ \\~", ""}));
}

TEST(TextFile, EveryLineEndReadsAlike)
{
    EXPECT_EQ(Split("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(Split("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("a\n\rb"), (Lines{"a", "", "b"})); // LF then CR is two line ends
    EXPECT_EQ(Split(""), Lines{});
    EXPECT_EQ(Split("\r\n"), Lines{""});

    TempDir d;
    d.put("mixed.txt", "\x93\xFA\r\n\x96\x7B\nx\r\x83\x65");
    EXPECT_EQ(Read(d / "mixed.txt"), (Lines{"日", "本", "x", "テ"}));
}

TEST(TextFile, OnlyAByteOrderMarkMakesAFileUtf8)
{
    TempDir d;
    d.put("bom.txt", "\xEF\xBB\xBF" "日本語\r\nabc");
    // Half-width katakana that happen to form valid UTF-8 ("ñ"), alone and mixed with UTF-8 and CP932 text.
    d.put("kana.txt", "\xC3\xB1\r\n");
    d.put("mixed.txt", "\xC3\xB1" "ä" "\x93\xFA\n");
    EXPECT_EQ(Read(d / "bom.txt"), (Lines{"日本語", "abc"}));
    EXPECT_EQ(Read(d / "kana.txt"), Lines{"ﾃｱ"});
    EXPECT_EQ(Read(d / "mixed.txt"), Lines{"ﾃｱﾃ､日"});
    // A byte-order mark alone is an empty file.
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF"), "");
}

TEST(TextFile, UndecodableAndUnencodableCharacters)
{
    // A lead byte without a valid trail byte, and a byte outside the code page.
    EXPECT_EQ(DecodeText("A\x81\x20" "B"), "A\uFFFD B");
    // No CP932 form: one '?' per character, the rest of the text kept.
    EXPECT_EQ(EncodeCp932("a😀b€c"), "a?b?c");
    EXPECT_EQ(EncodeCp932("x\xFFy"), "x?y"); // not even UTF-8
}

TEST(TextFile, ReadingAMissingFileSaysWhy)
{
    TempDir d;
    ReadError error;
    EXPECT_FALSE(ReadLines(d / "none.txt", &error));
    EXPECT_EQ(error.text, "No such file or directory");
    EXPECT_FALSE(error.tooLarge);
}

TEST(TextFile, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile)
{
    TempDir d;
    d.put("Data.TXT", "old\r\n");
    AtomicTextWriter w(d.path() + "\\data.txt");
    w.Write("a,");
    w.WriteLine("\"b\"");
    w.WriteLine("c");
    ASSERT_TRUE(w.Commit()) << w.Error();
    EXPECT_EQ(d.get("Data.TXT"), "a,\"b\"\r\nc\r\n"); // the existing name, found case-insensitively
    EXPECT_EQ(FilesIn(d.path()), 1u);
}

TEST(TextFile, AFailedSaveLeavesTheOldFileAsItWas)
{
    TempDir d;
    d.put("keep.txt", "original\r\n");

    // The disk fills up part-way: the first write is short, the next fails.
    int calls = 0;
    {
        WriteHookGuard hook([&](int fd, const void* data, size_t size) -> ssize_t {
            if (++calls == 1)
                return ::write(fd, data, size / 2);
            errno = ENOSPC;
            return -1;
        });
        std::string error;
        EXPECT_FALSE(SaveLines(d / "keep.txt", {std::string(5000, 'x'), "tail"}, &error));
        EXPECT_EQ(error, "No space left on device");
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(d.get("keep.txt"), "original\r\n");
    EXPECT_EQ(FilesIn(d.path()), 1u);

    // A write that reports nothing written is a failure too, not a reason to loop for ever.
    {
        WriteHookGuard hook([](int, const void*, size_t) -> ssize_t { return 0; });
        AtomicTextWriter w(d / "keep.txt");
        w.WriteLine("new");
        EXPECT_FALSE(w.Commit());
        EXPECT_FALSE(w.Error().empty());
    }
    EXPECT_EQ(d.get("keep.txt"), "original\r\n");

    // A folder that does not exist: nothing to create the temporary file in.
    EXPECT_FALSE(SaveLines(d / "no/such/dir/f.txt", {"x"}));
    EXPECT_EQ(FilesIn(d.path()), 1u);
}

TEST(TextFile, OnlyRegularFilesAreRead) {
    TempDir d;
    std::optional<TextLines> lines{TextLines{}};
    ReadError why;
    const double took = SecondsOnFifo(d / "pipe", [&] { lines = ReadLines(d / "pipe", &why); });
    ASSERT_GE(took, 0);
    EXPECT_LT(took, 1.0); // refused at once, not after waiting for a writer
    EXPECT_FALSE(lines);
    EXPECT_FALSE(why.text.empty());

    std::filesystem::create_directory(d / "folder");
    why = {};
    EXPECT_FALSE(ReadLines(d / "folder", &why));
    EXPECT_FALSE(why.text.empty());
    std::string bytes;
    EXPECT_FALSE(ReadRegularFile("/dev/null", bytes));

    ASSERT_TRUE(SaveLines(d / "plain.txt", {"a", "b"}));
    ASSERT_TRUE(ReadRegularFile(d / "plain.txt", bytes));
    EXPECT_EQ(bytes, "a\r\nb\r\n");
}

// A stray large file in a data folder is turned away before any of it is read: at once, and with next to no
// memory, where reading it would take seconds and a string for every line.
TEST(TextFile, AFileOverTheLimitIsRefusedUnread) {
    TempDir d;
    const std::string path = d / "big.wgd";
    d.put("big.wgd", std::string(static_cast<size_t>(MaxReadSize) + 1, '\n'));
    ReadError why;
    const WorkCost cost = MeasureWork([&] {
        std::string bytes;
        ReadError viaBytes;
        const bool refused = !ReadLines(path, &why) && !ReadRegularFile(path, bytes, &viaBytes);
        return refused && why.tooLarge && viaBytes.tooLarge && bytes.empty() ? 1 : 0;
    });
    ASSERT_TRUE(cost.measured);
    EXPECT_EQ(cost.result, 1);
    EXPECT_LT(cost.seconds, 1.0);
    EXPECT_LT(cost.peakKiB, 4 * 1024);

    EXPECT_FALSE(ReadLines(path, &why));
    EXPECT_EQ(why.text, "File too large: 16777217 bytes, more than the 16 MiB a data file may have");

    // One byte less is a file like any other.
    ASSERT_EQ(::truncate(path.c_str(), MaxReadSize), 0);
    EXPECT_TRUE(ReadLines(path, &why));
}

// Every line costs its characters and one offset: a file at the limit of nothing but bare line ends, the
// worst case, takes a few times its size and not a string per line.
TEST(TextFile, AFileAtTheLimitIsHeldInAFewTimesItsSize) {
    TempDir d;
    const std::string path = d / "lines.txt";
    d.put("lines.txt", std::string(static_cast<size_t>(MaxReadSize) - 2, '\n') + "x\r");
    const WorkCost cost = MeasureWork([&] {
        const auto lines = ReadLines(path);
        if (!lines || lines->size() != static_cast<size_t>(MaxReadSize) - 1) return 0;
        return (*lines)[0].empty() && (*lines)[lines->size() - 2].empty() && (*lines)[lines->size() - 1] == "x" ? 1 : 0;
    });
    ASSERT_TRUE(cost.measured);
    EXPECT_EQ(cost.result, 1);
    EXPECT_LT(cost.peakKiB, 7 * (MaxReadSize >> 10)); // a string per line took 32 times its size
    EXPECT_LT(cost.seconds, 10.0);
}
