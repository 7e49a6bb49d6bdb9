// The main program's one serial connection: open, time-out settings, close, and the busy-flag word.
// The link state itself (ComHandle, ComPortNo, ComBaud, the time-out triples, ComBusy) is in ComGlb.h;
// ComResult, which ComClose sets, is with the request fields in ComReq.h.
// Results are the program's 16-bit Booleans (-1 True, 0 False).
#pragma once

#include <cstdint>

// Busy-flag bits, one per long operation; the polling screens leave the link alone while any is set.
enum ComBusyBit : int16_t {
    BusyFrequency = 1,
    BusyAutoTuning = 2,
    BusyWaveform = 4,
    BusyPrmEeprom = 16,
    BusyAxisDialog = 32,
    BusyPopEeprom = 64,
};

void ComBusySet(int16_t bit);
void ComBusyClr(int16_t bit);
int16_t ComBusyGet();

// Closes every link of the library, then opens port at rate into ComHandle. True when a link was had.
int16_t ComPortOpen(int16_t port, int32_t rate);
// Puts T1, T2 (ms) and the retry count into the open link, in that order; each result lands in RetVar.
// A value the library would only read back (T1 or T2 of 0 or less, retries below 0) leaves that setting
// as it is.
void ComSetTime(int32_t t1, int32_t t2, int16_t retries);
// ComSetTime with triple 0, the normal setting.
void ComSetTimeDef();
// ComPortOpen, then the normal time-outs. When the port cannot be had the user is told that another
// program holds it, and the result is False with ComHandle 0.
int16_t ComOpen(int16_t port, int32_t rate);
// Closes every link of the library and goes off line.
void ComClose();
