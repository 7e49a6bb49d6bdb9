// Parameter upload and download of family K as Intel-HEX records, against the model's own record codec.
#include "FamKEnv.h"

#include <array>

namespace famk {
namespace {

constexpr int16_t kUntouched = 4242;

// The model's records of its parameters as one "UP_LOAD" reply body (CR LF after each record).
std::vector<std::string> ModelRecords(const ampsim::ModelK& m) {
    std::vector<std::string> out;
    for (int b = 0; b < 8; ++b) {
        std::array<int16_t, 8> v{};
        for (int k = 0; k < 8; ++k)
            v[static_cast<size_t>(k)] = m.prm(8 * b + k);
        out.push_back(ampsim::ModelK::record(16 * b, v));
    }
    return out;
}

std::string Join(const std::vector<std::string>& records) {
    std::string s;
    for (const auto& r : records)
        s += r + "\r\n";
    return s + "%";
}

class FamKPrm : public FamK {
  protected:
    void SetUp() override {
        FamK::SetUp();
        for (int n = 0; n < PrmCnt; ++n)
            PrmVal[n] = kUntouched;
        for (int n = 0; n < ampsim::ModelK::kPrmCount; ++n)
            model.setPrm(n, static_cast<int16_t>(3 * n - 100));
    }
};

TEST_F(FamKPrm, UploadFillsParameters0To63) {
    model.setPrm(63, -32768);
    ASSERT_EQ(FamilyK().PrmJuShinK(), -1);
    for (int n = 0; n < 63; ++n)
        EXPECT_EQ(PrmVal[n], 3 * n - 100) << n;
    EXPECT_EQ(PrmVal[63], -32768);
    EXPECT_EQ(PrmVal[64], kUntouched);
    EXPECT_EQ(FromPc(), "UP_LOAD\r");
}

TEST_F(FamKPrm, UploadStopsAtABadRecordKeepingEarlierBlocks) {
    std::vector<std::string> recs = ModelRecords(model);
    recs[5][42] = recs[5][42] == '0' ? '1' : '0'; // checksum off
    model.replaceReply(Join(recs));
    EXPECT_EQ(FamilyK().PrmJuShinK(), 0);
    for (int n = 0; n < 40; ++n)
        EXPECT_EQ(PrmVal[n], 3 * n - 100) << n;
    for (int n = 40; n < 64; ++n)
        EXPECT_EQ(PrmVal[n], kUntouched) << n;
}

TEST_F(FamKPrm, UploadRefusesMalformedAndShortReplies) {
    // A byte count that is not 16 (checksum made to fit), a character that is not hexadecimal.
    std::vector<std::string> count = ModelRecords(model);
    count[0].replace(1, 2, "FF");
    const int oldSum = std::stoi(count[0].substr(41, 2), nullptr, 16);
    char fixed[3];
    std::snprintf(fixed, sizeof fixed, "%02X", (oldSum - (0xFF - 0x10)) & 0xFF);
    count[0].replace(41, 2, fixed);
    std::vector<std::string> hex = ModelRecords(model);
    hex[3][20] = 'G';
    // 300 characters: fewer than the eight records announced.
    const std::string all = Join(ModelRecords(model));
    for (const std::string& reply : {Join(count), Join(hex), all.substr(0, 300) + "%", std::string("%")}) {
        model.replaceReply(reply);
        EXPECT_EQ(FamilyK().PrmJuShinK(), 0) << reply;
    }
    // Only the blocks before the bad record of the second reply were stored.
    for (int n = 0; n < 24; ++n)
        EXPECT_EQ(PrmVal[n], 3 * n - 100) << n;
    for (int n = 24; n < 64; ++n)
        EXPECT_EQ(PrmVal[n], kUntouched) << n;

    model.answerError();
    EXPECT_EQ(FamilyK().PrmJuShinK(), -2);
}

TEST_F(FamKPrm, UserDownloadZeroesTheSystemNumbers) {
    for (int n = 0; n < 64; ++n)
        PrmVal[n] = static_cast<int16_t>(n + 1);
    PrmVal[3] = -1;
    ASSERT_EQ(FamilyK().UsrPrmSouShinK(), -1);

    const std::vector<std::string> lines = model.lines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "DOWNLOAD");
    EXPECT_EQ(lines[9], ":00000001FF");
    for (int b = 0; b < 8; ++b) {
        std::array<int16_t, 8> v{};
        for (int k = 0; k < 8; ++k) {
            const int n = 8 * b + k;
            const bool system = n == 15 || n == 31 || n == 45 || n == 46 || n == 47 || n >= 48;
            v[static_cast<size_t>(k)] = system ? int16_t(0) : PrmVal[n];
        }
        EXPECT_EQ(lines[static_cast<size_t>(b + 1)], ampsim::ModelK::record(16 * b, v)) << b;
    }

    // The amplifier took the user values and kept its system ones.
    EXPECT_EQ(model.downloads(), 1);
    EXPECT_EQ(model.prm(3), -1);
    EXPECT_EQ(model.prm(14), 15);
    EXPECT_EQ(model.prm(15), 3 * 15 - 100);
    EXPECT_EQ(model.prm(44), 45);
    EXPECT_EQ(model.prm(47), 3 * 47 - 100);
    EXPECT_EQ(model.prm(48), 3 * 48 - 100);
    // Only the command word waits for its echoes.
    EXPECT_EQ(FromPc().substr(0, 9), "DOWNLOAD\r");
}

TEST_F(FamKPrm, SystemDownloadSendsEveryValue) {
    for (int n = 0; n < 64; ++n)
        PrmVal[n] = static_cast<int16_t>(1000 - 37 * n);
    ASSERT_EQ(FamilyK().SysPrmSouShinK(), -1);
    EXPECT_EQ(model.lines().front(), "DOWN_LOAD");
    for (int n = 0; n < 64; ++n)
        EXPECT_EQ(model.prm(n), 1000 - 37 * n) << n;
}

TEST_F(FamKPrm, DownloadRecordsMatchTheFixedExample) {
    for (int n = 0; n < 8; ++n)
        PrmVal[n] = static_cast<int16_t>(n + 1);
    ASSERT_EQ(FamilyK().SysPrmSouShinK(), -1);
    EXPECT_EQ(model.lines().at(1), ":1000000001000200030004000500060007000800CC");
}

TEST_F(FamKPrm, DownloadFailures) {
    // The amplifier refuses, says nothing, or the command word's echo fails (then no record is sent).
    model.answerError();
    EXPECT_EQ(FamilyK().UsrPrmSouShinK(), 0);
    model.silence();
    EXPECT_EQ(FamilyK().SysPrmSouShinK(), 0);
    EXPECT_EQ(model.downloads(), 1); // the silent one was taken, only its answer missing
    sim.clearLog();
    model.breakEcho(4);
    EXPECT_EQ(FamilyK().UsrPrmSouShinK(), 0);
    EXPECT_EQ(FromPc(), "DOWNL");
    EXPECT_EQ(Asked(), std::vector<std::string>{"Communication error"});
}

} // namespace
} // namespace famk
