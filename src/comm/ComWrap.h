// The link wrapper: the request core's only road to the link library. Normally it passes the drain, send
// and receive on to the library and writes every block to the log window. The console can switch it to
// simulated replies (sends succeed without the line, replies come from reply files) and have every block
// written to block log files, both under the folder comtest beside the program folder.
//
// Reply files and block logs share one text form: a line "NN,AA,PP" (data count, address byte and
// mode * 16 + command as two upper-case hexadecimal digits), then the data bytes eight to a line, each
// followed by "," except the eighth of a line; a block without data is followed by one empty line. A
// reader takes fields separated by "," or line ends, skips empty fields and fields starting with "#".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// ---- block text -----------------------------------------------------------------------------------

// Two upper-case hexadecimal digits of the low byte of v, with and without a following ",".
std::string HexComma(int v);
std::string RS_Hex2(int v);

// The lines of a block in the block text form. Data beyond the span are never read (count as 0).
std::vector<std::string> BlockLines(int n, int axis, int cmd, int mode, std::span<const uint8_t> data);

// One block as a reply file gives it.
struct ComTestBlock {
    int n = 0;
    int axis = 0;
    int cmd = 0;
    int mode = 0;
    std::vector<uint8_t> data;
};
// Reads a block from reply-file text. On damage (a missing field, a field that is not hexadecimal or not a
// byte, more data announced than maxData) returns false and says why in *why.
bool ParseComTestBlock(const std::string& text, int maxData, ComTestBlock& block, std::string* why);

// ---- keys and paths -------------------------------------------------------------------------------

// File key of a request: mode * 16 + cmd in hex, then per request kind the data bytes that tell its
// replies apart, and ".txt" (e.g. command 8 mode 2 without data: "2800.txt").
std::string MakeFileKey(int cmd, int mode, std::span<const uint8_t> data, int n);
// Axis key: the axis in hex for command 8 mode 0 with data byte 0 equal to 0 (the whole-axis read),
// otherwise "00".
std::string MakeAxisKey(int axis, int cmd, int mode, std::span<const uint8_t> data);
// Keys of the last send; the following receive and both block logs use them.
const std::string& FileKey();
const std::string& AxisKey();

// Absolute path of the comtest folder beside the program folder.
std::string ComTestDir();
// Reply file, send log and receive log of the current keys (absolute paths).
std::string ReplyFilePath();
std::string SendLogPath();
std::string RecvLogPath();

// ---- the wrapper ----------------------------------------------------------------------------------

// Simulated: 1 without draining; otherwise the library's drain.
int16_t RsClr(uint32_t link);
// Logs the block, makes the keys, writes the send log when asked; simulated: waits 10 ms and returns 1;
// otherwise sends with the library: 1 sent, 0 failed.
int16_t RsSndCmd(uint32_t link, int16_t axis, int16_t cmd, int16_t mode, std::span<const uint8_t> data,
                 int16_t n);
// Receives a reply (from the reply file when simulated) into data; its header replaces the four values.
// 1 received, 0 failed. The receive log and the log window get the block even after a failure.
int16_t RsRcvCmd(uint32_t link, int16_t& axis, int16_t& cmd, int16_t& mode, std::span<uint8_t> data,
                 int16_t& n);
// The reply file of the current keys into the four values and data: 1 read; 0 when the user gave up on a
// missing file or the file is damaged (the user is told). Outputs change only on success.
int16_t LoadRcvBlk(int16_t& axis, int16_t& cmd, int16_t& mode, std::span<uint8_t> data, int16_t& n);
// Block logs of the current key; a log that cannot be written is reported and the exchange goes on.
void ComLogSnd(int16_t axis, int16_t cmd, int16_t mode, std::span<const uint8_t> data, int16_t n);
void ComLogRcv(int16_t axis, int16_t cmd, int16_t mode, std::span<const uint8_t> data, int16_t n);
