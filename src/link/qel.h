/*
 * Qel: the serial-link library. Every byte between Mevalo and an amplifier passes through it.
 *
 * One result convention: 16-bit results are 1 for success and 0 for failure unless said otherwise
 * (-1 for a byte or an ENQ that did not come). Link handles, T1, T2 and the version are 32-bit.
 * A link handle is an opaque non-zero token returned by Qel_Open; every export that takes one looks it
 * up first, and an unknown or closed handle makes the export return its failure value without touching
 * any port.
 *
 * Port n ("COMn") is the device named by the environment variable QEL_COM<n>, read at every open,
 * otherwise /dev/ttyS<n-1>.
 *
 * Read time-outs are (interval, multiplier, constant) in ms, as on the original platform: a read of
 * k bytes ends after constant + k * multiplier ms in all, or after interval ms between two bytes once the
 * first has come. The multiplier is always 10000 / baud. The time-outs are link state: they stay until
 * the next exchange, Qel_SetTimeOut or Qel_Clr changes them.
 *
 * Waits the peer drives are bounded: at most 4096 foreign bytes are skipped while waiting for EOT or
 * ENQ, Qel_Clr throws away at most 10000 bytes, and a NAKed receive is repeated at most ten times;
 * past a bound the exchange fails as on a time-out. A line that hangs up ends a read at once.
 *
 * A link block is [N][address][mode << 4 | cmd][N data bytes][checksum], the checksum making all bytes
 * sum to 0 modulo 256. A received N of 0xFC..0xFF announces an extended block of 4004, 3004, 2004 or
 * 1004 bytes after the marker (address, command byte, data whose last byte is the status, checksum).
 *
 * Not thread-safe: one caller thread.
 */
#ifndef QEL_H
#define QEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Control bytes of the block exchange. */
#define QEL_ENQ 0x05
#define QEL_EOT 0x04
#define QEL_ACK 0x06
#define QEL_NAK 0x15

/* Largest block a receive can store: an extended marker, 4004 bytes after it, and room to spare. */
#define QEL_RCV_BLOCK_SIZE 10000
/* Largest data part Qel_RcvCmd2 / Qel_SndRcv can hand back (extended block of 4004 bytes less 3). */
#define QEL_RCV_DATA_MAX 4001

/* 1 when link is registered, 0 otherwise. */
int16_t Qel_IsReg(uint32_t link);
/* Stores a link of this library in the first free slot: 1 stored; 0 for 0, an unknown link, a link
   already stored, or a full registry. */
int16_t Qel_AddReg(uint32_t link);
/* Empties the slot holding link: 1 removed, 0 not found or link 0. */
int16_t Qel_DelReg(uint32_t link);
/* First registered link in slot order, or 0. */
uint32_t Qel_GetQel(void);
/* i + 1 (and a trace line). */
int16_t Qel_Ping(int16_t i);
/* Copies the version text (text1, at least 34 bytes) and the copyright text (text2, at least 36 bytes);
   returns the version number 3. Null buffers are skipped. */
uint32_t Qel_Version(char* text1, char* text2);
/* Opens port "COM<port>" at baud bit/s (8 data bits, no parity, 1 stop bit, raw): a new link, or 0. */
uint32_t Qel_Open(int16_t port, uint32_t baud);
/* Sets the read time-outs to (t, 10000 / baud, t); t = 0 where that would make all three 0 uses 1 ms. */
void Qel_SetTimeOut(uint32_t link, uint32_t t);
/* T1 (wait for EOT, body of a received block) after the call; t = 0 only reads. 0 when unregistered. */
uint32_t Qel_SetT1(uint32_t link, uint32_t t);
/* T2 (waits for ENQ, for N and for ACK) after the call; t = 0 only reads. 0 when unregistered. */
uint32_t Qel_SetT2(uint32_t link, uint32_t t);
/* Number of send tries after the call; n below 0 only reads. 0 when unregistered. */
int16_t Qel_SetRty(uint32_t link, int16_t n);
/* Master flag after the call; m = 0 or 1 sets it, anything else only reads. 0 when unregistered. */
int16_t Qel_SetMaster(uint32_t link, int16_t m);
/* Closes *link: 1 and *link = 0; 0 (and *link untouched) when it is not registered or null. */
int16_t Qel_Close(uint32_t* link);
/* Closes every registered link; returns how many. */
int16_t Qel_CloseAll(void);
/* Writes n bytes and waits until they are sent: bytes written (0 when unregistered or n < 0). */
int16_t Qel_PutBlk(uint32_t link, const uint8_t* buf, int16_t n);
/* Reads up to n bytes under the current read time-outs: bytes read (fewer on time-out). */
int16_t Qel_GetBlk(uint32_t link, uint8_t* buf, int16_t n);
/* Sends the low byte of c: 1, or 0 on failure. */
int16_t Qel_PutChr(uint32_t link, int16_t c);
/* One byte 0..255, or -1 on time-out or an unregistered link. */
int16_t Qel_GetChr(uint32_t link);
/* Drains the input with short time-outs (1, 10000 / baud, 1), which stay in force; returns at once when
   nothing is waiting: 1, or 0. */
int16_t Qel_Clr(uint32_t link);
/* Checksum of the block's bytes before its checksum: bytes 0 .. block[0] + 2, or for an extended
   marker the marker and the bytes after it but the last. */
int16_t Qel_CalSum(const uint8_t* block);
/* 0 when the block's last byte (block[0] + 3, or the last of an extended block) is the right
   checksum, 1 otherwise (and 1 for a null block). */
int16_t Qel_SumNG(const uint8_t* block);
/* Builds a block of n data bytes (0..255) into block (n + 4 bytes); returns the checksum, or -1 and
   builds nothing when n is out of range. */
int16_t Qel_SetBlk(uint8_t* block, int16_t address, int16_t cmd, int16_t mode, const uint8_t* data,
                   int16_t n);
/* One receive try into block (QEL_RCV_BLOCK_SIZE bytes): 1 received and ACKed, 0 NAKed, -1 no ENQ
   (or an unknown link; nothing is sent). */
int16_t Qel_RcvCmdSub(uint32_t link, uint8_t* block);
/* One send try of a built block of n data bytes (0..255): 1 acknowledged, 0 failed. */
int16_t Qel_SndCmdSub(uint32_t link, const uint8_t* block, int16_t n);
/* Up to retry send tries of a built block of n data bytes (0..255), each from a fresh ENQ: 1 or 0.
   With retry 0 nothing is sent. */
int16_t Qel_SndCmd(uint32_t link, const uint8_t* block, int16_t n);
/* Builds and sends a request of n data bytes (0..255): 1 or 0. */
int16_t Qel_SndCmd2(uint32_t link, int16_t address, int16_t cmd, int16_t mode, const uint8_t* data,
                    int16_t n);
/* Receive tries into block (QEL_RCV_BLOCK_SIZE bytes) until one succeeds (1), no ENQ comes, or the
   tenth repetition of a NAKed block fails too (0). */
int16_t Qel_RcvCmd(uint32_t link, uint8_t* block);
/* Receives a block and splits it; data must hold QEL_RCV_DATA_MAX bytes. n is the data count (the
   extended block's size less 3 for a marker). 1, or 0 with the outputs untouched. */
int16_t Qel_RcvCmd2(uint32_t link, int16_t* address, int16_t* cmd, int16_t* mode, uint8_t* data,
                    int16_t* n);
/* Drains, sends the request made of the four variables and data, receives the reply into them: 1 or 0. */
int16_t Qel_SndRcv(uint32_t link, int16_t* address, int16_t* cmd, int16_t* mode, uint8_t* data,
                   int16_t* n);
/* Trace switch := flag; returns flag + 1. With the switch on, trace lines go to log.txt and err.txt in
   the current folder. */
int16_t Qel_LogOn(int16_t flag);
/* Opening handshake of a send alone: ENQ, then 1 when EOT came (the T1 time-outs stay in force). */
int16_t Qel_SndEnq(uint32_t link);

#ifdef __cplusplus
}
#endif

#endif
