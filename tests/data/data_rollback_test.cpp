// A data file that fails to load changes nothing, whichever screen reads it and whatever groups it
// carries; a file read whole applies every group it carries.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SharedDigest.h"
#include "TestFiles.h"
#include "app/FrmPrmSelLogic.h"
#include "data/FrqFil.h"
#include "data/PmtFil.h"
#include "data/WavFil.h"
#include "frequency/FrqIdt.h"
#include "platform/Ask.h"

namespace {

constexpr const char* kModel = "ZT010A______";

// One record of every group of the group table, each value depending on k, so that two files of
// different k differ in every table they fill. The lines end in CR LF when written.
std::string Body(int k)
{
    const std::string n = std::to_string(k);
    const std::string b = k % 2 ? "1" : "0";   // a flag that differs between odd and even k
    const std::string s = "s" + n;              // a text
    auto rep = [](const std::string& v, int times) {
        std::string r;
        for (int i = 0; i < times; ++i) r += "," + v;
        return r;
    };
    auto group = [](const std::string& name, const std::string& records) { return name + ",1\n" + records + "END\n"; };
    std::string f;
    f += group("MODEL", std::string("DATA,0,TESK_R,") + kModel + "\n");
    f += group("CPU VER", "DATA,0,0x0" + n + ",0x01\n");
    f += group("MOTOR MODEL", "DATA,0,M" + n + "\n");
    f += group("PARA COMMENT", "DATA,0,\"p" + n + "\",#Memo\n");
    f += group("WAVE COMMENT", "DATA,1,\"w" + n + "\",#Memo\n");
    f += group("FREQ COMMENT", "DATA,2,\"f" + n + "\",#Memo\n");
    f += group("STEP COMMENT", "DATA,3,\"t" + n + "\",#Memo\n");
    f += group("COMMENT", "DATA,4,\"c" + n + "\",#Memo\n");
    // UserLevel, splash, dummy line, line log, log categories, block log, console, no line test.
    f += group("DEBUG STATE", "DATA,0," + std::string(k % 2 ? "3" : "2") + "," + n + "00," + b + "," + b + "," +
                                  std::to_string(k % 2 ? 1 : 2) + "," + b + "," + b + ",0\n");
    f += group("VERSION", "DATA,0," + n + "," + n + "," + n + "\n");
    f += group("FILE VERSION", "DATA,1,name" + n + ",1." + n + "\n");
    f += group("COM PORT", "DATA,0,0,0" + rep(n + "0", 12) + "\n");
    f += group("MAX ITEM", "DATA,0,3" + n + ",2" + n + ",1" + n + ",12" + n + ",5" + n + ",6" + n + ",1" + n + ",1" + n +
                               ",7" + n + ",20" + n + ",30" + n + ",4" + n + "," + n + ",100" + n + ",0.00" + n +
                               ",0.000" + n + ",0" + rep(n, 6) + "," + b + ",25" + n + ",26" + n + "," + b + "," +
                               std::to_string(k % 3) + ",2" + n + "\n");
    f += group("EXTENTION V2.5", "DATA,0," + b + ",4" + n + "," + n + "," + n + "," + n + "\n");
    f += group("EXTENTION V3.0", "DATA,0," + std::string(k % 2 ? "Tr" : "Fa") + "," + b + ",3" + n + ",4" + n +
                                     rep("10" + n, 3) + rep("6" + n, 3) + rep("7" + n, 3) + ",-" + n + "000," + n +
                                     "000,v" + n + "\n");
    f += group("EXTENTION V3.5", "DATA,0,1," + b + ",1," + n + ",9" + n + ",9" + n + "\n");
    f += group("EXTENTION V3.6", "DATA,0," + n + "\n");
    f += group("EXTENTION V3.7", "DATA,0," + n + rep(n + "9600", k) + "\n");
    f += group("DLL VERSION", "DATA,0," + n + "," + n + "\n");
    f += group("DEF MODEL", "DATA,0,a,1,b\n");
    f += group("MEASURE ITEM", "DATA,1,a" + n + ",c,b,d," + b + "\n");
    f += group("DEF ENCODER", "DATA,2," + n + ",enc" + n + "," + n + "," + n + "," + b + "," + b + "\n");
    f += group("POS IN NAME", "DATA,3,pi" + n + ",x\n");
    f += group("POS OUT NAME", "DATA,3,po" + n + ",x\n");
    f += group("IN MENU", "DATA,3,in" + n + ",x\n");
    f += group("ABSO MENU", "DATA,3,ab" + n + ",x\n");
    f += group("CTRL MODE MENU", "DATA,3,cm" + n + "\n");
    f += group("OUT MENU", "DATA,3,out" + n + ",x\n");
    f += group("ERROR DATA", "DATA,5,e" + n + ",f" + n + ",g" + n + "\n");
    f += group("AUTO MESSAGE", "DATA,6,am" + n + "\n");
    f += group("AUTO PARA", "DATA,1," + b + ",ap" + n + "," + n + "\n");
    f += group("ALART", "DATA,1,cap" + n + ",msg," + n + "\n");
    f += group("POSITIONING COMBO", "DATA,2,1,pc" + n + "," + n + ",t\n");
    f += group("LABEL TEXT", "DATA,2,3,lt" + n + "\n");
    f += group("POS PARA 16 MENU", "DATA,4,pp" + n + ",0,9" + n + ",0,0,g,g,g,g\n");
    f += group("POS PARA 32 MENU", "DATA,4,qq" + n + ",0,9" + n + ",0,0,g,g,g,g\n");
    f += group("BIT NAME EXT", "DATA,5,2,bn" + n + "\n");
    f += group("FULL CLOSE ENABLE MODE", "DATA,3," + b + "\n");
    f += group("PARA MENU", "DATA,7,pm" + n + ",0,9,0,2,g,g,g,g\n");
    f += group("PARA MENU32", "DATA,7,pn" + n + ",0,9,0,2,g,g,g,g\n");
    f += group("USER DATA", "DATA,8,8" + n + "\n");
    f += group("USER DATA32", "DATA,8,8000" + n + "\n");
    f += group("PARA TYPE", "DATA,9," + std::string(k % 2 ? "3" : "2") + "\n");
    f += group("PARA TYPE32", "DATA,9," + std::string(k % 2 ? "3" : "2") + "\n");
    f += group("WAVE GRAPH VERSION", "DATA,0,4\n");
    f += group("WAVE GRAPH CONDITION", "DATA,0,2024/01/0" + n + " 10:00:00,M" + rep(b, 6) + ",0.00" + n + "," + n +
                                           rep(b, 4) + rep(n, 4) + rep(n, 4) + ",1," + n + "," + n +
                                           rep("22" + n, 12) + rep(b, 12) + rep(b, 6) + "," + b + "\n");
    f += group("WAVE GRAPH STATUS", "DATA,0,0.00" + n + "," + n + rep(b, 4) + rep(b, 6) + "\n");
    f += group("WAVE REF GRAPH STATUS", "DATA,0" + rep(b, 6) + "\n");
    f += group("WAVE GRAPH DATA", "DATA,7" + rep(n, 6) + "\n");
    f += group("WAVE REF GRAPH DATA", "DATA,7" + rep(n, 6) + "\n");
    f += group("GRAPH DATA", "DATA,0" + rep("11" + n, 4) + "\n"); // after the condition's colours
    f += group("FREQ GRAPH CONDITION", "DATA,0,5" + n + "," + n + ",3" + n + "," + n + "," + n + "," + n + "\n");
    f += group("FREQ GRAPH VIEW", "DATA,0" + rep(n, 10) + "\n");
    f += group("FREQ GRAPH CONDITION V3.5", "DATA,0,1," + b + "\n");
    f += group("FREQ GRAPH STAT", "DATA,0," + b + "," + b + "\n");
    f += group("FREQ GRAPH DATA", "DATA,9,1," + n + "\n");
    f += group("FREQ GRAPH REF", "DATA,9,1," + n + "\n");
    f += group("FFT GRAPH DATA", "DATA,0,1,2,3\n");
    f += group("FFT GRAPH REF", "DATA,0,1,2,3\n");
    f += group("STEP DATA", "DATA,0x05,-12345" + n + "," + n + "," + n + "," + n + "," + b + "," + n + ",\"st" + n + "\"\n");
    f += group("POS PARA 16", "DATA,0x06,-6" + n + "\n");
    f += group("POS PARA 32", "DATA,0x06,7000" + n + "\n");
    // The 32-bit parameters were read with the 32-bit table on; the file ends it for odd k.
    f += group("EXTENTION V3.5", "DATA,0,1," + b + "," + b + "," + n + ",9" + n + ",9" + n + "\n");
    return f;
}

constexpr const char* kEnd = "DEF END,0\n";

// Tables that no group fills.
bool Unfilled(const std::string& table)
{
    return table == "KisyuMei" || table == "KisyuCode" || table == "CpuVer[0].Major" || table == "FrqNextCondSet";
}

class Rollback : public ScratchDir {
protected:
    void SetUp() override
    {
        ScratchDir::SetUp();
        DebugHooks() = DebugStateHooks{};
        KisyuMei = kModel;
        KisyuCode = 25;
        std::fill(std::begin(LoadSel), std::end(LoadSel), int16_t(0));
        std::fill(std::begin(FrqLoadSel), std::end(FrqLoadSel), int16_t(0));
        FrqNextCondSet = 0;
        // Every table in the state of one file read whole.
        ASSERT_EQ(FIL_ReadGroupFile(Put("first.prm", Body(1) + kEnd), 0), -1);
        UserLevel = 3;  // the chooser's trial read is for SE mode
        MaxItem17 = 0; // any MAX ITEM sets it
    }
    void TearDown() override
    {
        DebugHooks() = DebugStateHooks{};
        ScratchDir::TearDown();
    }
    plat::ScriptedAsker asker_{plat::Yes};
};

struct Reader {
    const char* ext;
    std::function<bool(const std::string&)> read;
};

// Every screen's reader of data files, as the screens call it.
std::vector<Reader> Readers()
{
    return {
        {"prm", [](const std::string& p) { return PMT_Load(p, 25, -1) != 0; }},
        {"prs", [](const std::string& p) { return PMT_LoadSelection(p) != 0; }},
        {"wgd", [](const std::string& p) { return FIL_LoadWaveFile(p) != 0; }},
        {"wgc", [](const std::string& p) { return FIL_LoadWaveCndFile(p) != 0; }},
        {"wgp", [](const std::string& p) { return FIL_LoadWavePrmFile(p) != 0; }},
        {"fcd", [](const std::string& p) { return FIL_LoadFreqFile(p) != 0; }},
        {"NCP", [](const std::string& p) { return POP_Load(p, 25, true) != 0; }},
        {"IDT", [](const std::string& p) { return IdtRead(SokuTeiRec, p); }},
        // The data-file chooser's trial read, of any file, a definition file too.
        {"DEF", [](const std::string& p) {
             PrmSelLogic chooser;
             chooser.LstFile = {p};
             chooser.KeyPress('@', 0);
             return false;
         }},
    };
}

TEST_F(Rollback, AFileReadWholeAppliesEveryGroupItCarries)
{
    // Directly and through each screen's reader that takes every group (the .prs reader keeps the
    // definition's bits of the selection words, the .IDT reader reads no group file).
    std::vector<Reader> readers = Readers();
    readers.insert(readers.begin(), {"prm", [](const std::string& p) { return FIL_ReadGroupFile(p, 0) != 0; }});
    for (const Reader& r : readers) {
        if (std::string(r.ext) == "prs" || std::string(r.ext) == "IDT" || std::string(r.ext) == "DEF") continue;
        SCOPED_TRACE(r.ext);
        ASSERT_EQ(FIL_ReadGroupFile(Put("one.prm", Body(1) + kEnd), 0), -1);
        MaxItem17 = 0;
        const digest::Digest before = digest::Shared();
        ASSERT_TRUE(r.read(Put(std::string("two.") + r.ext, Body(2) + kEnd)));
        const digest::Digest after = digest::Shared();
        for (const auto& [table, value] : before)
            if (!Unfilled(table)) {
                EXPECT_TRUE(after.at(table) != value) << table << " was not filled";
            }
        EXPECT_EQ(CommentTxt[1][1], "w2");
        EXPECT_EQ(PopStep[5].Comment, "st2");
        // In file order: the condition's colours, then GRAPH DATA's.
        EXPECT_EQ(WavGraph.Ch[1].Color, 112);
    }
}

TEST_F(Rollback, AFailingFileChangesNoTableWhicheverReaderReadsIt)
{
    const std::vector<std::pair<const char*, std::string>> failures = {
        {"ends before DEF END", Body(2)},
        {"damaged at its end", Body(2) + "MODEL,1\nbogus\nEND\n" + kEnd},
        {"cut in a record", Body(2) + "STEP DATA,1\nDATA,0x07,1,2"},
        {"index outside a table", Body(2) + "USER DATA,1\nDATA,300,1\nEND\n" + kEnd},
    };
    for (const Reader& r : Readers()) {
        for (const auto& [what, text] : failures) {
            SCOPED_TRACE(std::string(r.ext) + ": " + what);
            const digest::Digest before = digest::Shared();
            EXPECT_FALSE(r.read(Put(std::string("bad.") + r.ext, text)));
            EXPECT_EQ(digest::Changed(before, digest::Shared()), "");
        }
    }
    // The model question answered No ends the read too.
    const digest::Digest before = digest::Shared();
    plat::ScriptedAsker no(plat::No);
    EXPECT_EQ(FIL_LoadWaveFile(Put("other.wgd", Body(2) + "MODEL,1\nDATA,0,TESK_R,X\nEND\n" + kEnd)), 0);
    EXPECT_EQ(no.Asked().at(1).text, "Do you read data, though this is different model ?");
    EXPECT_EQ(digest::Changed(before, digest::Shared()), "");
}

TEST_F(Rollback, TheFilesOfTheReportChangeNothing)
{
    struct Case {
        const char* ext;
        const char* text;
    };
    const Case cases[] = {
        {"wgd", "GRAPH DATA,1\nDATA,0,1,2,3,4\nEND\n"},
        {"wgd", "MAX ITEM,1\nDATA,0,10,10,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\nEND\n"},
        {"wgd", "FREQ GRAPH DATA,1\nDATA,0,1,1\nEND\n"},
        {"prm", "DEBUG STATE,1\nDATA,0,3,0,0,0,0,0,0,0\nEND\n"},
        {"prm", "STEP DATA,1\nDATA,0,5,0,0,0,0,0,\"c\"\nEND\n"},
        {"prm", "WAVE COMMENT,5\nDATA,0,\"w\"\nEND\n"},
        {"NCP", "USER DATA,1\nDATA,0,123\nEND\n"},
        {"NCP", "PARA COMMENT,5\nDATA,0,\"p\"\nEND\n"},
        {"fcd", "POS PARA 16,1\nDATA,0,77\nEND\n"},
        {"prs", "PARA TYPE,1\nDATA,0,1\nEND\n"},
        {"prs", "COMMENT,5\nDATA,0,\"p\"\nEND\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ext) + ": " + c.text);
        ASSERT_EQ(FIL_ReadGroupFile((dir_ / "first.prm").string(), 0), -1);
        PrmAttr[0].Type = 2; // offered, not chosen
        UserLevel = 1;
        const digest::Digest before = digest::Shared();
        bool read = true;
        for (const Reader& r : Readers())
            if (std::string(r.ext) == c.ext) read = r.read(Put(std::string("x.") + c.ext, c.text));
        EXPECT_FALSE(read);
        EXPECT_EQ(digest::Changed(before, digest::Shared()), "");
    }
    // A valid parameter file still loads.
    EXPECT_EQ(PMT_Load(Put("ok.prm", "USER DATA,1\nDATA,0,123\nEND\n" + std::string(kEnd)), 25, -1), -1);
    EXPECT_EQ(PrmVal[0], 123);
}

} // namespace
