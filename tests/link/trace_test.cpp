// Trace files: nothing with the switch off; prefixed lines in log.txt and err.txt with it on.
#include "link/qel.h"
#include "pty_peer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class QelTrace : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_ = fs::current_path();
        char pattern[] = "/tmp/qel-trace-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::current_path(dir_);
    }
    void TearDown() override
    {
        Qel_LogOn(0);
        Qel_CloseAll();
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    static std::string Read(const char* name)
    {
        std::ifstream f(name, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }

    fs::path old_;
    fs::path dir_;
};

// A request and its reply, and a failed open: everything that would trace.
void Exercise()
{
    PtyPeer peer(1);
    uint32_t link = Qel_Open(1, 38400);
    ASSERT_NE(link, 0u);
    Qel_SetT2(link, 200);
    peer.Play([](PtyPeer& p) {
        if (p.Get(1000) != QEL_ENQ)
            return;
        p.Send({QEL_EOT});
        p.Get(4, 1000);
        p.Send({QEL_ACK, QEL_ENQ});
        if (p.Get(1000) == QEL_EOT)
            p.Send(Block(0, 0, 0, {0x00}));
        p.Get(1000);
    });
    int16_t address = 0, cmd = 0, mode = 0, n = 0;
    uint8_t data[QEL_RCV_DATA_MAX];
    EXPECT_EQ(Qel_SndRcv(link, &address, &cmd, &mode, data, &n), 1);
    peer.Join();
    EXPECT_EQ(Qel_Close(&link), 1);
    setenv("QEL_COM2", "/nonexistent", 1);
    EXPECT_EQ(Qel_Open(2, 9600), 0u);
    Qel_Ping(1);
}

TEST_F(QelTrace, OffCreatesNoFile)
{
    EXPECT_EQ(Qel_LogOn(0), 1);
    Exercise();
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(QelTrace, OnAppendsPrefixedLinesToLogAndErr)
{
    EXPECT_EQ(Qel_LogOn(1), 2);
    Qel_Ping(1);
    EXPECT_EQ(Read("log.txt"), "QEL.DLL : Qel_Ping : i:1\n");
    EXPECT_FALSE(fs::exists("err.txt"));

    Exercise();
    const std::string log = Read("log.txt");
    const std::string err = Read("err.txt");
    EXPECT_NE(log.find("QEL.DLL : COM_Open : name:COM1 baud:38400\n"), std::string::npos);
    EXPECT_NE(log.find("QEL.DLL : Qel_RcvCmd:ブロックの受信に成功しました。ACKを送ります\n"),
              std::string::npos);
    EXPECT_NE(log.find("QEL.DLL : Qel_RcvCmd2:受信成功です\n"), std::string::npos);
    EXPECT_EQ(err,
              "QEL.DLL : ERR : COM_Open:Create出来ません。hComDev=-1\n"
              "QEL.DLL : ERR : Qel_Open:COM_Openで、通信ポートが開きません。\n");
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind("QEL.DLL : ", 0), 0u) << line;
    const std::string last = "QEL.DLL : Qel_Ping : i:1\n";
    EXPECT_EQ(log.substr(log.size() - last.size()), last) << "appended, not overwritten";
}

TEST_F(QelTrace, SumTestWritesBothChecksumsAndTheSwitchSignExtends)
{
    EXPECT_EQ(Qel_LogOn(-1), 0);  // any non-zero flag turns the trace on
    const uint8_t block[] = {0x00, 0x01, 0x28, 0x12};
    EXPECT_EQ(Qel_SumNG(block), 1);
    EXPECT_EQ(Read("log.txt"), "QEL.DLL : 受信したチェックサム12 計算したチェックサムd7\n");
    Qel_LogOn(0);
    Qel_Ping(2);
    EXPECT_EQ(Read("log.txt"), "QEL.DLL : 受信したチェックサム12 計算したチェックサムd7\n");
}

TEST_F(QelTrace, FullRegistryIsAnErrorLine)
{
    std::vector<std::unique_ptr<PtyPeer>> peers;
    for (int port = 1; port <= 10; ++port) {
        peers.push_back(std::make_unique<PtyPeer>(port));
        ASSERT_NE(Qel_Open(static_cast<int16_t>(port), 9600), 0u);
    }
    Qel_LogOn(1);
    EXPECT_EQ(Qel_Open(1, 9600), 0u);
    EXPECT_EQ(Read("err.txt"), "QEL.DLL : ERR : Qel_Open:Qel_AddRegで、新たなＱｅｌが登録出来ません。\n");
}

}  // namespace
