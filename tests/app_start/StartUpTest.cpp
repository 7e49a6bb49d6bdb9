#include "StartEnv.h"

#include "app/StartUp.h"
#include "comm/EnvCheck.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/Library.h"
#include "platform/SingleInstance.h"

#include <QProcess>
#include <cstdlib>

namespace {

// Library versions as the shipped default.DEF requires them.
void GoodLibraries() {
    EnvLibs().qelVersion = [](char* t1, char* t2) {
        std::snprintf(t1, 1000, "link");
        std::snprintf(t2, 1000, "copyright");
        return 3u;
    };
    EnvLibs().spektVersion = [](char*, char*) { return 1u; };
}

struct EnvLibsReset {
    ~EnvLibsReset() { EnvLibs() = EnvCheckLibs{}; }
};

} // namespace

class StartUpTest : public StartEnv {};

TEST_F(StartUpTest, KillSetupTempTouchesNothingWithoutTheFirstCabinet) {
    const std::string temp = Path("temp");
    fs::create_directories(temp);
    setenv("TEMP", temp.c_str(), 1);
    Write("temp/setup.exe", "x");
    Write("temp/x.txt", "x");
    KillSetupTemp();
    EXPECT_TRUE(fs::exists(temp + "/setup.exe"));
    EXPECT_TRUE(fs::exists(temp + "/x.txt"));

    for (const char* f : {"vimedo1.cab", "vimedo2.cab", "setup.lst", "Instoran.exe"})
        Write(std::string("temp/") + f, "x");
    KillSetupTemp();
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(temp))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"x.txt"});
    unsetenv("TEMP");
}

TEST_F(StartUpTest, MissingCommonDefinitionEndsTheProgram) {
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    EXPECT_NO_THROW(CheckDataInstall()); // shipped as default.DEF: found whatever its case
    EXPECT_TRUE(ask.Asked().empty());

    fs::remove(Path("ini/def/default.DEF"));
    EXPECT_THROW(CheckDataInstall(), plat::ProgramEnded);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Not finish installing data. Can not execute Mevalo.");
    EXPECT_EQ(ask.Asked()[0].title, "Read data file.");
}

TEST_F(StartUpTest, SecondInstanceIsRefusedAndLeavesTheRunningLogAlone) {
    const std::string logTxt = "running copy's line\r\n";
    Write("Log.txt", logTxt);
    // The user's lock, kept apart from any other run on this machine.
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    plat::InstanceLock running;
    ASSERT_TRUE(running.Acquire(plat::InstanceLockPath()));

    {
        plat::ScriptedAsker ask;
        plat::EndProgramThrows ends;
        EXPECT_THROW(StartUpPrologue(), plat::ProgramEnded);
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Mevalo is already logged on.");
        EXPECT_EQ(ask.Asked()[0].title, "Log-on of the Mevalo");
    }
    EXPECT_EQ(Read(Path("Log.txt")), logTxt);

    // Once the first copy is gone the next start owns the folder and starts with no log.
    running.Release();
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    EXPECT_NO_THROW(StartUpPrologue());
    EXPECT_TRUE(ask.Asked().empty());
    EXPECT_FALSE(fs::exists(Path("Log.txt")));
}

TEST_F(StartUpTest, ALockThatCannotBeMadeIsReportedAsSuchAndEndsTheProgram) {
    Write("Log.txt", "last run\r\n");
    Write("runtime", "a file where the runtime folder should be");
    setenv("XDG_RUNTIME_DIR", Path("runtime").c_str(), 1);
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    try {
        StartUpPrologue();
        FAIL() << "the program went on without its lock";
    } catch (const plat::ProgramEnded& e) {
        EXPECT_EQ(e.code, 1);
    }
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text.rfind("The lock file " + Path("runtime/mevalo.lock") + " cannot be created: ", 0), 0u)
        << ask.Asked()[0].text;
    EXPECT_EQ(ask.Asked()[0].title, "Log-on of the Mevalo");
    EXPECT_TRUE(fs::exists(Path("Log.txt"))); // nothing of the program folder was touched
}

TEST_F(StartUpTest, CatalogueWithoutModelsEndsBeforeTheConnectionDialog) {
    EnvLibsReset reset;
    GoodLibraries();
    fs::remove(Path("ini/prm/TESK_R/ZT010A______.prm"));
    fs::remove(Path("ini/prm/TESK_R/ZT020B______.prm"));
    fs::remove(Path("ini/prm/TESK_R/ZT040P______.prm"));
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    bool shown = false;
    EXPECT_THROW(StartUpLoop([&] { shown = true; }), plat::ProgramEnded);
    EXPECT_FALSE(shown);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text,
              "No file having factory preset standard values of parameter (ini\\prm\\\u2026\\*.prm).");
    EXPECT_EQ(ask.Asked()[0].title, " Can not start Mevalo.");
}

TEST_F(StartUpTest, LoopRereadsEverythingAfterADataInstallation) {
    EnvLibsReset reset;
    GoodLibraries();
    plat::ScriptedAsker ask;
    int passes = 0;
    std::vector<int16_t> startUpDone;
    StartUpLoop([&] {
        startUpDone.push_back(StartUpDone);
        if (++passes == 1) {
            // What an installation changes: a new model, and the common settings.
            Write("ini/prm/TESK_R/ZT030C______.prm", "DEF END,0\r\n");
            DllVer[0] = 99;
            DlgResult = 7;
        } else {
            DlgResult = -1;
        }
    });
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(startUpDone, (std::vector<int16_t>{0, 0}));
    EXPECT_EQ(StartUpDone, -1);
    EXPECT_EQ(KisyuTblCnt, 4);
    EXPECT_EQ(DllVer[0], 3); // read again, so the library check passed
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(StartUpTest, CancelledConnectionDialogEndsTheProgram) {
    EnvLibsReset reset;
    GoodLibraries();
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    EXPECT_THROW(StartUpLoop([] { DlgResult = 0; }), plat::ProgramEnded);
    EXPECT_EQ(StartUpDone, -1);
}

TEST_F(StartUpTest, EnvCheckTextsForMissingAndOtherVersions) {
    EnvLibsReset reset;
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    DllVer[0] = 3;
    DllVer[1] = 1;
    const VersionFn missing = [](char*, char*) -> uint32_t {
        throw plat::LibraryMissing("lib.so", "fn", "cannot be loaded");
    };
    auto version = [](uint32_t v) { return VersionFn([v](char*, char*) { return v; }); };

    struct Case {
        VersionFn qel, spekt;
        int16_t need0, need1;
        const char* text;
    } cases[] = {
        {missing, version(1), 3, 1, "Necessary QEL.DLL is not available, and exit."},
        {version(3), version(1), 2, 1, "QEL.DLL, version3 is introduced. 2is necessary. Will exit."},
        {version(2), version(1), 3, 1, "QEL.DLL, version2 is introduced. 3is necessary. Will exit."},
        {version(3), missing, 3, 1, "Necessary SPEKT.DLL is not available, and exit."},
        {version(3), version(2), 3, 1, "SPEKT.DLL, version2 is introduced. 1is required. Exit"},
    };
    for (const Case& c : cases) {
        ask.Clear();
        EnvLibs() = {c.qel, c.spekt};
        DllVer[0] = c.need0;
        DllVer[1] = c.need1;
        EXPECT_THROW(EnvCheck(), plat::ProgramEnded) << c.text;
        ASSERT_EQ(ask.Asked().size(), 1u) << c.text;
        EXPECT_EQ(ask.Asked()[0].text, c.text);
        EXPECT_EQ(ask.Asked()[0].title, "Confirmation of action environment");
    }

    ask.Clear();
    EnvLibs() = {version(3), version(1)};
    DllVer[0] = 3;
    DllVer[1] = 1;
    EXPECT_NO_THROW(EnvCheck());
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(StartUpTest, EnvCheckBindsTheLibrariesOfTheProgramFolder) {
    // One sequence: a library once loaded stays loaded for the process.
    plat::ScriptedAsker ask;
    plat::EndProgramThrows ends;
    DllVer[0] = 3;
    DllVer[1] = 1;
    EXPECT_THROW(EnvCheck(), plat::ProgramEnded);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Necessary QEL.DLL is not available, and exit.");

    fs::copy_file(QEL_LIBRARY_PATH, Path("libqel.so"));
    ask.Clear();
    EXPECT_THROW(EnvCheck(), plat::ProgramEnded);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Necessary SPEKT.DLL is not available, and exit.");

    fs::copy_file(SPEKT_LIBRARY_PATH, Path("libspekt.so"));
    ask.Clear();
    EXPECT_NO_THROW(EnvCheck());
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(StartUpTest, ProgramReachesTheConnectionDialogOnTheShippedData) {
    // The real program in a folder of its own, run with the start-up probe.
    const std::string bin = Path("../bin");
    fs::create_directories(bin);
    fs::copy(MEVALO_RUNTIME_DIR, bin, fs::copy_options::recursive);
    fs::copy_file(MEVALO_EXE, bin + "/mevalo");
    fs::copy_file(QEL_LIBRARY_PATH, bin + "/libqel.so");
    fs::copy_file(SPEKT_LIBRARY_PATH, bin + "/libspekt.so");
    std::ofstream(bin + "/Log.txt") << "last run\r\n";

    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("MEVALO_STARTUP_PROBE", "1");
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(bin));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(bin + "/mevalo"), {});
    ASSERT_TRUE(p.waitForStarted(10000));
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        FAIL() << "the program did not reach the connection dialog";
    }
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    bool ok = false;
    const double ms = QString::fromUtf8(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    EXPECT_TRUE(ok);
    EXPECT_GT(ms, 0.0);
    EXPECT_FALSE(fs::exists(bin + "/Log.txt"));
}
