// Alarm, maker and positioning-monitor values that the command sets fill and the monitor, alarm and
// positioning-monitor screens show. Plain globals, one user-interface thread.
#pragma once

#include <cstdint>

// Current alarm code, 0 for none.
extern int16_t AlmNo;
// Alarm (or system) history codes and their time stamps, entries 0..20; the amplifier fills 14 and 15.
constexpr int AlmHistCnt = 21;
extern int16_t AlmHist[AlmHistCnt];
extern int32_t AlmTime[AlmHistCnt];
// Maker values: signed 16-bit values held in 32-bit words.
extern int32_t MkrDat1;
extern int32_t MkrDat2;

// The positioning monitor record, in reply order. What each field means is the positioning monitor's.
struct PopMoniRec {
    int32_t Val1 = 0;     // bytes 0-3
    int16_t Val2 = 0;     // byte 8
    int32_t Val3 = 0;     // bytes 9-12
    int32_t Val4 = 0;     // bytes 13-16
    int16_t Val5 = 0;     // byte 17
    int16_t Val6 = 0;     // byte 18
    int64_t Position = 0; // bytes 19-26, signed 64-bit
    int16_t Sts1 = 0;     // byte 27 whole
    int16_t Sts1Lo = 0;   // its low nibble
    int16_t Sts1Hi = 0;   // its bits 6-7
    int16_t Sts1Mid = 0;  // its bits 4-5
    int16_t Sts2 = 0;     // byte 28 whole
    int16_t Sts2Bit7 = 0; // its bit 7, 0 or 1
    int16_t Sts2Lo = 0;   // its low 7 bits
    int16_t Word[5] = {}; // bytes 30-39, signed 16-bit
    int16_t Last = 0;     // byte 40
};
