// Link state of the main program's one serial connection. Plain globals, one user-interface thread.
#pragma once

#include <cstdint>

// The open link (a token of the link library), 0 while off line.
extern uint32_t ComHandle;
// COM port number of the link (1 = COM1), 0 = none.
extern int16_t ComPortNo;
// Bit rate of the link.
extern int32_t ComBaud;
// Busy-flag word, one bit per long operation: 1 frequency measurement, 2 auto tuning, 4 waveform
// measurement, 16 parameter EEPROM write, 32 axis dialog, 64 positioning EEPROM write.
extern int16_t ComBusy;

// One time-out triple of the definition files' COM PORT group.
struct ComTimeRec {
    int32_t T1 = 0;    // ms
    int32_t T2 = 0;    // ms
    int16_t Retry = 0; // retries after the first try
};
// Time-out triples: 0 the normal setting, 1 the axis-address scan, 2 not used, 3 auto tuning.
constexpr int ComTimeCnt = 4;
extern ComTimeRec ComTime[ComTimeCnt];
// Triple 0 under the names the settings dialog and the request core use (same storage).
extern int32_t& ComT1;
extern int32_t& ComT2;
extern int16_t& ComRetry;
// Triple 3, put into the link while an auto tuning runs (same storage).
extern int32_t& ComT1Auto;
extern int32_t& ComT2Auto;
extern int16_t& ComRetryAuto;

// Required versions from the DLL VERSION group: 0 the link library, 1 the spectrum library.
extern int16_t DllVer[2];
