#include "link/exchange.h"

#include "link/frame.h"
#include "link/trace.h"

namespace qel {

int SendEnq(Line& line, const Waits& w)
{
    line.SetTimeouts({w.t1, w.m, w.t1});
    TraceLog("Qel_SndEnq:ＥＮＱを送ります\n");
    if (!PutByte(line, ENQ))
        return 0;
    for (int skipped = 0;; ++skipped) {
        const int c = GetByte(line);
        TraceLog("Qel_SndEnq:受信したのは%dです\n", c);
        if (c == EOT)
            return 1;
        if (c < 0 || skipped >= kMaxSkipped)
            return 0;
    }
}

int SendTry(Line& line, const Waits& w, const uint8_t* block, int n)
{
    if (!SendEnq(line, w))
        return 0;
    line.SetTimeouts({w.t2, w.m, w.t2});
    const int length = n + 4;
    const int written = line.Write(block, length);
    TraceLog("Qel_SndCmd:ブロック送信結果%d\n", written);
    if (written != length)
        return 0;
    const int c = GetByte(line);
    TraceLog("Qel_SndCmd:ＡＣＫ受信結果%d\n", c);
    return c == ACK ? 1 : 0;
}

int SumNG(const uint8_t* block)
{
    const uint8_t carried = CarriedSum(block);
    const uint8_t expected = ExpectedSum(block);
    TraceLog("受信したチェックサム%02x 計算したチェックサム%02x\n", carried, expected);
    return carried == expected ? 0 : 1;
}

namespace {

int Refuse(Line& line)
{
    PutByte(line, NAK);
    TraceLog("Qel_RcvCmd:受信は失敗でした、おしまい\n");
    return 0;
}

}  // namespace

int ReceiveTry(Line& line, const Waits& w, uint8_t* block)
{
    TraceLog("－－－－－Qel_RcvCmd－－－－－\n");
    line.SetTimeouts({w.t2, w.m, w.t2});
    for (int skipped = 0;; ++skipped) {
        TraceLog("Qel_RcvCmd:ＥＮＱを待ちます\n");
        const int c = GetByte(line);
        if (c == ENQ)
            break;
        if (c < 0 || skipped >= kMaxSkipped) {
            TraceLog("Qel_RcvCmd:タイムアウトでした、おしまい\n");
            return -1;
        }
        TraceLog("Qel_RcvCmd:ENQが返りませんでした、もう一度ＥＮＱを待ちます\n");
    }
    TraceLog("Qel_RcvCmd:ENQが返りました、次に進みます\n");
    TraceLog("Qel_RcvCmd:正常:期待通りＥＮＱを受信しました、EOTを送ります\n");
    PutByte(line, EOT);

    TraceLog("Qel_RcvCmd:続いて、ブロック先頭のＮを受信します\n");
    const int n = GetByte(line);
    if (n < 0) {
        TraceLog("Qel_RcvCmd:Ｎの受信でタイムアウトでした、ＮＡＫを送ります\n");
        return Refuse(line);
    }
    block[0] = static_cast<uint8_t>(n);
    TraceLog("Qel_RcvCmd:ブロックサイズは%d、ブロックの最初にバイト数を設定しました\n", n);

    const int body = BodyLength(block[0]);
    line.SetTimeouts({w.t1, w.m, w.t1});
    TraceLog("Qel_RcvCmd:ブロックの残りを最後まで受信します\n");
    const int got = line.Read(block + 1, body);
    TraceLog("ブロック受信結果%d\n", got);
    // A short block is never summed: its tail would be stale bytes.
    const int bad_sum = got == body ? SumNG(block) : 1;
    if (got == body && bad_sum == 0) {
        TraceLog("Qel_RcvCmd:ブロックの受信に成功しました。ACKを送ります\n");
        PutByte(line, ACK);
        TraceLog("Qel_RcvCmd:処理を終わります\n");
        return 1;
    }
    TraceLog("要求されたバイト数は：%d、受信出来たバイト数は：%d、チェックサム異常あり：%d、です", body, got,
             bad_sum);
    TraceLog("タイムアウト、あるいは、チェックサムエラーです、失敗したのでＮＡＫを送ります\n");
    return Refuse(line);
}

int Receive(Line& line, const Waits& w, uint8_t* block)
{
    for (int repeats = 0;; ++repeats) {
        const int r = ReceiveTry(line, w, block);
        if (r == 1) {
            TraceLog("Qel_RcvCmd：成功しました、おしまい\n");
            return 1;
        }
        // A peer that keeps sending bad blocks is treated like one that stopped sending.
        if (r < 0 || repeats >= kMaxNakRepeats) {
            TraceLog("Qel_RcvCmd：ＥＮＱ待ちでタイムアウトしました、おしまい\n");
            return 0;
        }
        TraceLog("Qel_RcvCmd：失敗しました、もう一度受信してみます\n");
    }
}

int Drain(Line& line, uint32_t m)
{
    TraceLog("Qel_Clr:タイムアウトを短く設定します。\n");
    line.SetTimeouts({1, m, 1});
    for (int i = 0; i < kMaxDrained; ++i) {
        // Nothing waiting: done without sitting out a read's time-out, which would cost every request
        // 1 + m ms on a quiet line. Once bytes came, the short time-outs catch the rest of a burst.
        const int c = i == 0 && !line.Pending() ? -1 : GetByte(line);
        TraceLog("Qel_Clr:%dを読み飛ばしました\n", c);
        if (c < 0)
            break;
    }
    return 1;
}

}  // namespace qel
