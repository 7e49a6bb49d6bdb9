// The .idt result file: its exact bytes, round trips, and damaged files that change nothing.
#include "../common/Fifo.h"
#include "../common/Oversized.h"
#include "FrqEnv.h"

#include "frequency/FrqIdt.h"
#include "platform/Ask.h"

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class Idt : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        FftFullClose[0] = -1;
    }
    void TearDown() override { FftFullClose[0] = 0; }
    std::string Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir dir;
    plat::ScriptedAsker asker;
};

TEST_F(Idt, WritesTheExactBytes) {
    FrqRec r;
    r.Kisyu = 0x1234;
    r.Bui = 1;
    r.FullClose = 1;
    r.Smp = 4;
    r.Amp = 500;
    r.Off = -100;
    r.Points = 4;
    const int16_t raw[4] = {-3, 0, 1, 32767};
    std::copy(raw, raw + 4, r.Raw);
    ASSERT_TRUE(IdtWrite(r, Path("a.idt")));
    EXPECT_EQ(Slurp(Path("a.idt")),
              "1234\r\n0054\r\n01F4\r\nFF9C\r\n0004\r\nFFFD\r\n0000\r\n0001\r\n7FFF\r\n");
}

TEST_F(Idt, RoundTripsKeepConditionsAndSamples) {
    const struct {
        int16_t bui, fullClose, smp;
        int32_t off;
    } rows[] = {{0, 0, 0, 0}, {1, 1, 9, -100}, {2, 0, 12, 2999}, {3, 1, 15, -3000}};
    for (const auto& row : rows) {
        FrqRec w;
        w.Kisyu = 0xABC;
        w.Bui = row.bui;
        w.FullClose = row.fullClose;
        w.Smp = row.smp;
        w.Amp = 1000;
        w.Off = row.off;
        w.Points = 2059;
        for (int i = 0; i < 2059; ++i)
            w.Raw[i] = static_cast<int16_t>(i * 31 - 30000);
        ASSERT_TRUE(IdtWrite(w, Path("r.idt")));
        FrqRec r;
        ASSERT_TRUE(IdtRead(r, Path("r.idt")));
        EXPECT_EQ(r.Bui, row.bui);
        EXPECT_EQ(r.FullClose, row.fullClose);
        EXPECT_EQ(r.Smp, row.smp);
        EXPECT_EQ(r.Off, row.off);
        EXPECT_EQ(r.Kisyu, 0xABC);
        EXPECT_EQ(r.Points, 2059);
        EXPECT_EQ(FftSplitN, 2059);
        EXPECT_TRUE(std::equal(w.Raw, w.Raw + 2059, r.Raw));
    }
    EXPECT_TRUE(asker.Asked().empty());
}

TEST_F(Idt, DamagedFilesLeaveTheRecordAsItWas) {
    const std::string head = "0000\r\n0001\r\n0064\r\n0000\r\n";
    const struct {
        const char* what;
        std::string text;
    } rows[] = {
        {"count FFFF", head + "FFFF\r\n0001\r\n0002\r\n"},
        {"count 1", head + "0001\r\n0001\r\n"},
        {"short", head + "0003\r\n0001\r\n0002\r\n"},
        {"not a number", head + "0002\r\n0001\r\nXYZ\r\n"},
        {"no header", "0000\r\n"},
        {"named pipe", ""},
    };
    for (const auto& row : rows) {
        const bool pipe = row.text.empty();
        if (!pipe) std::ofstream(Path("d.idt"), std::ios::binary) << row.text;
        FrqRec r;
        r.Amp = 77;
        r.Raw[0] = 55;
        asker.Clear();
        bool read = true;
        if (pipe) // refused at once as a file that cannot be read, not waited on
            EXPECT_LT(SecondsOnFifo(Path("d.idt"), [&] { read = IdtRead(r, Path("d.idt")); }), 1.0);
        else
            read = IdtRead(r, Path("d.idt"));
        EXPECT_FALSE(read) << row.what;
        EXPECT_EQ(r.Amp, 77) << row.what;
        EXPECT_EQ(r.Raw[0], 55) << row.what;
        ASSERT_EQ(asker.Asked().size(), 1u) << row.what;
        EXPECT_EQ(asker.Asked()[0].text.rfind("Reading IDT file : ", 0), 0u) << row.what;
    }
}

// An .idt file over the size limit is refused as one that cannot be opened; the record stays.
TEST_F(Idt, OversizedFileIsRefusedUnread) {
    const std::string big = PutOversized(Path("big.idt"), "0000\r\n0001\r\n0064\r\n0000\r\n0002\r\n0003\r\n0004\r\n");
    FrqRec r;
    r.Amp = 77;
    EXPECT_FALSE(IdtRead(r, big));
    EXPECT_EQ(r.Amp, 77);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text.rfind("Reading IDT file : ", 0), 0u);
    EXPECT_NE(asker.Asked()[0].text.find("File too large"), std::string::npos);
}

TEST_F(Idt, FileWithLineFeedsOnlyReads) {
    std::ofstream(Path("lf.idt"), std::ios::binary) << "0001\n0002\n0064\n0000\n0002\n0003\n0004\n";
    FrqRec r;
    ASSERT_TRUE(IdtRead(r, Path("lf.idt")));
    EXPECT_EQ(r.Smp, 2);
    EXPECT_EQ(r.Raw[1], 4);
}

TEST_F(Idt, FailedWriteKeepsTheOldFileAndSaysSo) {
    FrqRec r;
    r.Points = 2;
    ASSERT_TRUE(IdtWrite(r, Path("k.idt")));
    const std::string before = Slurp(Path("k.idt"));
    r.Points = 0;
    EXPECT_FALSE(IdtWrite(r, Path("k.idt")));
    EXPECT_EQ(Slurp(Path("k.idt")), before);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text.rfind("Writing IDT file : ", 0), 0u);
}

} // namespace
