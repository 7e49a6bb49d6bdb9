// The data installer on temporary trees: expansion, the replace questions, Cancel and failures.
#include "TestMain.h"
#include "app/ConnectCalls.h"
#include "app/FrmInstall.h"
#include "app/FrmPort.h"
#include "app/Glb.h"
#include "app/ModLzf.h"
#include "platform/Ask.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// The installer remembers its medium in the per-user settings: keep the tests' away from the user's.
const bool kMainSetup = testmain::Use({.privateSettings = true});

namespace {

// A compressed file with literals only: each flag byte 0xFF announces eight plain bytes.
std::string Szdd(const std::string& data) {
    std::string out("SZDD\x88\xF0\x27\x33", 8);
    out += 'A';
    out += '\0';
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((data.size() >> (8 * i)) & 0xFF);
    for (size_t i = 0; i < data.size(); i += 8) {
        out += '\xFF';
        out += data.substr(i, 8);
    }
    return out;
}

void Put(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string Get(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Data long enough to cross many flag bytes, with every byte value.
std::string Sample(int n, char salt) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>((i * 7 + salt) & 0xFF);
    return s;
}

class Installer : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "mevalo-inst-XXXXXX").string();
        root_ = ::mkdtemp(tmpl.data());
        src_ = root_ / "medium";
        app_ = root_ / "app";
        fs::create_directories(src_);
        fs::create_directories(app_);
        plat::SetAppDir(app_.string());
        previous_ = SetLzfOverwriteAsker([this](const LzfOverwriteInfo& info) {
            questions_.push_back(info);
            if (answers_.empty()) return std::string(LzfCancel);
            std::string a = answers_.front();
            answers_.erase(answers_.begin());
            return a;
        });
    }
    void TearDown() override {
        SetLzfOverwriteAsker(previous_);
        plat::SetAppDir({});
        fs::permissions(root_, fs::perms::owner_all);
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    int16_t Install() {
        LzfDataInstaller inst(src_.string(), &LzfCopyGroupQuiet);
        return inst.Install();
    }
    // Files left behind by an expansion that did not finish.
    int Leftovers() const {
        int n = 0;
        for (const auto& e : fs::recursive_directory_iterator(app_))
            n += e.path().filename().string().find(".lztmp") != std::string::npos;
        return n;
    }

    fs::path root_, src_, app_;
    std::vector<std::string> answers_;
    std::vector<LzfOverwriteInfo> questions_;
    LzfOverwriteAsker previous_;
};

} // namespace

TEST_F(Installer, InstallsTheTreeExpandingCompressedFiles) {
    const std::string a = Sample(1000, 1), def = Sample(37, 2);
    Put(src_ / "ini/prm/TESK_R/a.prm", Szdd(a));
    Put(src_ / "ini/prm/TESK_R/B.PRM", "plain");
    Put(src_ / "ini/prm/TESK_R/notes.txt", "not a parameter file");
    Put(src_ / "ini/prm/readme.txt", "beside the series");
    Put(src_ / "ini/DEF/default.DEF", Szdd(def));
    Put(src_ / "ini/user.prs", Szdd(""));
    Put(src_ / "ini/sub/x", "x");
    Put(src_ / "wgd/s", "no dot in the name");
    fs::create_directories(src_ / "idt");
    plat::ScriptedAsker asker;

    EXPECT_EQ(Install(), 2);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_TRUE(questions_.empty());
    EXPECT_EQ(Get(app_ / "ini/prm/TESK_R/a.prm"), a);
    EXPECT_EQ(Get(app_ / "ini/prm/TESK_R/B.PRM"), "plain");
    EXPECT_FALSE(fs::exists(app_ / "ini/prm/TESK_R/notes.txt"));
    EXPECT_FALSE(fs::exists(app_ / "ini/prm/readme.txt"));
    EXPECT_EQ(Get(app_ / "ini/def/default.DEF"), def);
    EXPECT_TRUE(fs::exists(app_ / "ini/user.prs"));
    EXPECT_EQ(fs::file_size(app_ / "ini/user.prs"), 0u);
    EXPECT_FALSE(fs::exists(app_ / "ini/sub"));
    EXPECT_EQ(Get(app_ / "wgd/s"), "no dot in the name");
    for (const char* d : {"img", "prm", "idt"})
        EXPECT_TRUE(fs::is_directory(app_ / d)) << d;
    EXPECT_EQ(Leftovers(), 0);
}

TEST_F(Installer, AsksBeforeReplacingAndYesToAllHoldsForLaterGroups) {
    Put(src_ / "ini/prm/S/a.prm", "new a");
    Put(src_ / "ini/prm/S/b.prm", "new b");
    Put(src_ / "ini/prm/S/c.prm", "new c");
    Put(src_ / "wgd/w.wgd", "new w");
    Put(app_ / "ini/prm/S/a.prm", "old");
    Put(app_ / "ini/prm/S/B.PRM", "old b");
    Put(app_ / "wgd/w.wgd", "old w");
    answers_ = {LzfNo, LzfYesToAll};

    EXPECT_EQ(Install(), 2);
    ASSERT_EQ(questions_.size(), 2u) << "nothing is asked after Yes to all";
    EXPECT_EQ(questions_[0].title, "This folder contains a file named 'a.prm'");
    EXPECT_EQ(questions_[0].dstSize, "Size 3 Bytes");
    EXPECT_EQ(questions_[0].srcSize, "Size 5 Bytes");
    EXPECT_EQ(questions_[0].dstDate.rfind("Modified date ", 0), 0u);
    EXPECT_EQ(questions_[1].name, "b.prm") << "an existing file differing in case is the same file";
    EXPECT_EQ(Get(app_ / "ini/prm/S/a.prm"), "old");
    EXPECT_EQ(Get(app_ / "ini/prm/S/B.PRM"), "new b");
    EXPECT_FALSE(fs::exists(app_ / "ini/prm/S/b.prm"));
    EXPECT_EQ(Get(app_ / "ini/prm/S/c.prm"), "new c");
    EXPECT_EQ(Get(app_ / "wgd/w.wgd"), "new w");

    // The next installation asks again.
    questions_.clear();
    answers_ = {LzfNo, LzfNo, LzfNo, LzfNo};
    EXPECT_EQ(Install(), 2);
    EXPECT_EQ(questions_.size(), 4u);
}

TEST_F(Installer, CancelStopsTheInstallationAndKeepsWhatWasCopied) {
    Put(src_ / "ini/prm/S/a.prm", "new a");
    Put(src_ / "ini/prm/S/b.prm", "new b");
    Put(src_ / "ini/def/default.def", "def");
    Put(app_ / "ini/prm/S/b.prm", "old b");
    answers_ = {LzfCancel};

    EXPECT_EQ(Install(), 1);
    EXPECT_EQ(Get(app_ / "ini/prm/S/a.prm"), "new a");
    EXPECT_EQ(Get(app_ / "ini/prm/S/b.prm"), "old b");
    EXPECT_FALSE(fs::exists(app_ / "ini/def/default.def"));
}

TEST_F(Installer, FailedExpansionLeavesTheOldFileAndOffersRetry) {
    std::string cut = Szdd(Sample(500, 3));
    cut.resize(cut.size() / 2);
    Put(src_ / "ini/prm/S/a.prm", cut);
    Put(app_ / "ini/prm/S/a.prm", "the user's file");
    answers_ = {LzfYes};
    plat::ScriptedAsker asker(plat::Cancel);
    asker.Push(plat::Retry);

    EXPECT_EQ(Install(), 1);
    ASSERT_EQ(asker.Asked().size(), 2u) << "Retry tries the file again";
    EXPECT_EQ(asker.Asked()[0].text, "Can not copy 'a.prm'.\nAbort installing data.");
    EXPECT_EQ(asker.Asked()[0].title, "Error");
    EXPECT_EQ(asker.Asked()[0].buttons, plat::Buttons::RetryCancel);
    EXPECT_EQ(Get(app_ / "ini/prm/S/a.prm"), "the user's file");
    EXPECT_EQ(Leftovers(), 0);
}

TEST_F(Installer, MissingAndUnreadableSources) {
    // A medium without parameter folders: nothing copied, nothing said, the folders made.
    Put(src_ / "wgd/w.wgd", "w");
    plat::ScriptedAsker asker;
    EXPECT_EQ(Install(), 1);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_FALSE(fs::exists(app_ / "wgd/w.wgd"));
    for (const char* d : {"ini", "ini/def", "ini/prm", "img", "wgd", "prm", "idt"})
        EXPECT_TRUE(fs::is_directory(app_ / d)) << d;

    // A folder the medium lacks holds nothing; a medium that is not there cannot be read.
    std::string answer;
    EXPECT_TRUE(LzfCopyGroupQuiet({src_.string(), "img", "*.*", "img", "c"}, answer));
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_FALSE(LzfCopyGroupQuiet({(root_ / "nodisc").string(), "img", "*.*", "img", "c"}, answer));
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Can not read from A drive.");
    EXPECT_FALSE(asker.Asked()[0].title.empty()) << "the system's text of the error";
}

TEST_F(Installer, SeriesFoldersAreFoundUpToTheLimit) {
    for (int i = 0; i < SeriesDirMax + 2; ++i)
        fs::create_directories(src_ / "ini/prm" / ("S" + std::to_string(1000 + i)));
    Put(src_ / "ini/prm/A.prm", "a file beside the folders");
    LzfDataInstaller inst(src_.string(), &LzfCopyGroupQuiet);
    ASSERT_TRUE(inst.SearchType());
    ASSERT_EQ(inst.SeriesDir.size(), size_t(SeriesDirMax));
    EXPECT_EQ(inst.SeriesDir.front(), "S1000");
    EXPECT_EQ(inst.SeriesDir.back(), "S1100");
}

TEST(LimStr, ShortensFromTheLeft) {
    EXPECT_EQ(LimStr("/media/disc/ini", 5), "...c/ini");
    EXPECT_EQ(LimStr("abc", 5), "abc");
    EXPECT_EQ(LimStr("/mnt/ディスク/ini", 6), "...スク/ini") << "characters, not bytes";
}

TEST_F(Installer, ClosingTheCopyWindowCancelsTheGroup) {
    Put(src_ / "wgd/1.wgd", "1");
    Put(src_ / "wgd/2.wgd", "2");
    Put(src_ / "wgd/3.wgd", "3");
    Put(app_ / "wgd/1.wgd", "old");
    fs::create_directories(app_ / "wgd");
    FrmLzfCopy::SetTickMs(0);
    // The window is closed while the first file's question is up.
    SetLzfOverwriteAsker([](const LzfOverwriteInfo&) {
        EXPECT_NE(FrmLzfCopy::Current(), nullptr);
        if (FrmLzfCopy::Current()) FrmLzfCopy::Current()->close();
        return std::string(LzfYes);
    });
    std::string answer;
    EXPECT_FALSE(FrmLzfCopy::Execute(
        {src_.string(), "wgd", "*.*", "wgd", "Install sample file of waveform graphic."}, answer));
    EXPECT_EQ(Get(app_ / "wgd/1.wgd"), "1") << "the file being copied is finished";
    EXPECT_FALSE(fs::exists(app_ / "wgd/2.wgd"));

    // Left alone, the window copies the whole group.
    fs::remove(app_ / "wgd/1.wgd");
    EXPECT_TRUE(FrmLzfCopy::Execute({src_.string(), "wgd", "*.*", "wgd", "c"}, answer));
    EXPECT_EQ(Get(app_ / "wgd/3.wgd"), "3");
    FrmLzfCopy::SetTickMs(500);
}

TEST_F(Installer, ConnectionDialogInstallsFromTheChosenFolder) {
    Put(src_ / "ini/prm/S/a.prm", Szdd("preset"));
    Put(src_ / "ini/def/default.def", "def");
    QSettings(QStringLiteral("Mevalo"), QStringLiteral("Mevalo")).remove("Install");
    FrmLzfCopy::SetTickMs(0);
    std::vector<std::string> starts;
    const LzfFolderChooser was = SetLzfFolderChooser([&](const std::string& start) {
        starts.push_back(start);
        return src_.string();
    });
    WireDataInstaller();
    QTimer::singleShot(0, [] {
        if (auto* dlg = dynamic_cast<FrmLzfDataInst*>(QApplication::activeModalWidget())) {
            EXPECT_TRUE(dlg->LblReboot->isHidden());
            dlg->CmdExec->click();
        }
    });
    {
        FrmPort port;
        DlgResult = 0;
        port.CmdDataInstall_Click();
        EXPECT_EQ(DlgResult, 7);
        EXPECT_EQ(RetVar.ToInt16(), 2);
    }
    EXPECT_EQ(Get(app_ / "ini/prm/S/a.prm"), "preset");
    EXPECT_EQ(starts.size(), 1u);

    // The folder is offered again next time; Cancel installs nothing.
    QTimer::singleShot(0, [this] {
        if (auto* dlg = dynamic_cast<FrmLzfDataInst*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(dlg->LblPath->text().toStdString(), "(Path of file: '" + src_.string() + "' )");
            dlg->CmdCansel->click();
        }
    });
    EXPECT_EQ(Connect().dataInstall("A:", false), 0);
    EXPECT_EQ(starts.size(), 1u);
    SetLzfFolderChooser(was);
    FrmLzfCopy::SetTickMs(500);
    Connect().dataInstall = nullptr;
}
