// Parameter counts and switches of the series, set by the definition files' MAX ITEM and
// EXTENTION V3.5 groups. The parameter tables themselves join this header with their own module.
#pragma once

#include <cstdint>

extern int16_t Prm16MaxAll; // last 16-bit parameter number in operating modes 2 and 3 (inclusive)
extern int16_t Prm16Max;    // number of 16-bit user parameters
extern int16_t Prm16SysCnt; // number of 16-bit system parameters (family M)
extern int16_t Prm16MaxSys; // table-to-wire offset of family M system parameters
extern int16_t Prm16Last;   // last 16-bit number shown in the operating mode of the read
extern int16_t IhxBase;     // Intel-HEX address base of the series' parameter files

extern int16_t Prm32Cnt;    // True (-1) when the model has 32-bit parameters
extern int16_t Prm32Max;    // number of 32-bit user parameters
extern int16_t Prm32MaxSys; // number of all 32-bit parameters
extern int16_t Prm32MaxAll; // copy of Prm32MaxSys
extern int16_t Prm32Last;   // last 32-bit number shown in the operating mode of the read

extern int16_t ExecRightUse; // non-zero: writes and measurements take the execution right
extern int16_t WavMaxItem;   // torque scale of waveform data and the family M monitor

// MAX ITEM fields that only the screens interpret, named by their position in the group.
extern int16_t MaxItem5;
extern int16_t MaxItem6;
extern int16_t AlmHistRows; // alarm history rows the alarm window shows
extern int16_t AlmTimeRows; // time-stamp rows the alarm window shows
extern int16_t MaxItem17; // True after any MAX ITEM group
extern int16_t AlmTimNowShown; // non-zero: the alarm window shows the present time counter
extern int32_t MaxItem25;
extern int32_t MaxItem26;

extern int16_t ExtV35Val4; // EXTENTION V3.5 field 4, read by nothing
