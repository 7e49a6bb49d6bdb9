#include "platform/Files.h"
#include "platform/Paths.h"
#include "TempDir.h"

#include <ctime>
#include <gtest/gtest.h>

using namespace plat;

namespace {

struct AppDirGuard {
    explicit AppDirGuard(const std::string& dir) { SetAppDir(dir); }
    ~AppDirGuard() { SetAppDir({}); }
};

} // namespace

TEST(Paths, BackslashPathsFindFilesWhateverTheirCase)
{
    TempDir d;
    d.put("ini/def/default.DEF", "x");
    d.put("ini/prm/TESK_R/Model_A.prm", "y");
    AppDirGuard app(d.path());

    EXPECT_EQ(AppFile("ini\\def\\default.def"), d / "ini/def/default.DEF");
    EXPECT_EQ(AppFile("INI\\DEF\\DEFAULT.def"), d / "ini/def/default.DEF");
    EXPECT_EQ(AppFile("ini\\prm\\tesk_r\\MODEL_A.PRM"), d / "ini/prm/TESK_R/Model_A.prm");
    EXPECT_TRUE(FileExists(AppFile("ini\\def\\default.def")));
    EXPECT_TRUE(FileExists(d.path() + "\\INI\\Def\\Default.Def"));
    EXPECT_TRUE(DirExists(d.path() + "\\ini\\PRM\\tesk_r"));
    EXPECT_FALSE(FileExists(d.path() + "\\ini\\prm\\tesk_r")); // a folder is not a file
    EXPECT_FALSE(DirExists(d.path() + "\\ini\\def\\default.def"));
}

TEST(Paths, MissingComponentsKeepTheirNameAndExactMatchWins)
{
    TempDir d;
    d.put("ini/def/a.txt", "lower");
    d.put("ini/def/A.TXT", "upper");
    AppDirGuard app(d.path());

    EXPECT_EQ(AppFile("ini\\def\\A.TXT"), d / "ini/def/A.TXT");
    EXPECT_EQ(AppFile("ini\\def\\a.txt"), d / "ini/def/a.txt");
    // New files are created with the name as written, below the folders that exist.
    EXPECT_EQ(AppFile("INI\\New\\Log.txt"), d / "ini/New/Log.txt");
    EXPECT_EQ(AppFile("\\Log.txt"), d / "Log.txt");
    EXPECT_EQ(RealPath("rel\\x.txt"), "rel/x.txt");
}

TEST(Paths, ListingMatchesPatternsCaseInsensitivelyAndSortsByName)
{
    TempDir d;
    for (const char* name : {"X.PRM", "b.prm", "a.Prm", "C.prm", "c.txt", "d.prmx", "sub.prm/keep"})
        d.put(name);
    d.put("Zeta/f");
    d.put("alpha/f");
    d.put("Beta/f");

    EXPECT_EQ(ListDir(d.path(), "*.prm"), (std::vector<std::string>{"a.Prm", "b.prm", "C.prm", "X.PRM"}));
    EXPECT_EQ(ListDir(d.path(), "?.PRM"), (std::vector<std::string>{"a.Prm", "b.prm", "C.prm", "X.PRM"}));
    EXPECT_EQ(ListDir(d.path(), "*", ListKind::Dirs),
              (std::vector<std::string>{"alpha", "Beta", "sub.prm", "Zeta"}));
    EXPECT_TRUE(ListDir(d / "none", "*").empty());
}

TEST(Paths, WildcardMatching)
{
    EXPECT_TRUE(MatchPattern("TESK_R*.DEF", "tesk_r0A.def"));
    EXPECT_TRUE(MatchPattern("*", ""));
    EXPECT_TRUE(MatchPattern("a*b*c", "aXXbYYbZc"));
    EXPECT_FALSE(MatchPattern("a*b*c", "aXXbYYbZ"));
    EXPECT_FALSE(MatchPattern("?.prm", "ab.prm"));
    EXPECT_FALSE(MatchPattern("*.prm", "x.prm.bak"));
}

TEST(Files, DateOfExistingFilesAndQuietDelete)
{
    TempDir d;
    d.put("Data.TXT", "1");
    const auto date = FileDateTime(d.path() + "\\data.txt");
    ASSERT_TRUE(date.has_value());
    EXPECT_LE(std::abs(std::difftime(*date, std::time(nullptr))), 60.0);
    EXPECT_FALSE(FileDateTime(d / "missing.txt").has_value());
    EXPECT_FALSE(FileDateTime(d.path()).has_value());

    DeleteFileQuiet(d.path() + "\\DATA.txt");
    EXPECT_FALSE(FileExists(d / "Data.TXT"));
    DeleteFileQuiet(d / "missing.txt"); // no error to report
}
