// The family R command set (series code 25): status, alarms, monitors and maker data; paged 16-bit and
// 32-bit parameter transfers; positioning data and waveform transfers. Every request goes through the
// request core (ComCmd) to the current axis AxisNo. Results are 16-bit truth words (-1 True, 0 False)
// unless said otherwise. A reply shorter than the layout a procedure reads is a failed request (False and
// a log line); outputs then stay as they were, except where said.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/Variant.h"
#include "comm/RGlb.h"
#include "comm/TeskCmd.h"
#include "monitor/MonGlb.h"
#include "positioning/PopGlb.h"

// ---- status, alarms, monitors, maker data -------------------------------------------------------------

int16_t GetAlmNo(int16_t& code);  // current alarm code
int16_t GetAlmNoGlb();            // ... into AlmNo
int16_t GetAlmHist();             // AlmHist(0..13)
int16_t GetSysHist();             // system history into AlmHist(0..13)
int16_t GetAlmTim();              // AlmTime(0..14), unsigned 16-bit stamps
int16_t GetAlmTimNow(int32_t& t); // the amplifier's time now
// The clears show the driver-error window on a bad status and return the request's result.
int16_t ClrAlm();
int16_t ClrAlmHist();
int16_t ClrSysHist();
int16_t ClrMoni();
int16_t ClrBat();
int16_t GetMkrDat(); // MkrDat1, MkrDat2
// a, b 32-bit values of bytes 2-5 and 6-9; c byte 0; d byte 1; e signed 16-bit of bytes 10-11.
int16_t GetMoniPos(int32_t& a, int32_t& b, int16_t& c, int16_t& d, int16_t& e);
int16_t GetMoni2(int32_t& v);
int16_t GetMoni14(int32_t& a, int32_t& b);
// Three requests: a speed, b speed, c voltage (/ 5), d load ratio x * 100 / y (y below 1 counts as 1).
// A failed request ends it and leaves the later outputs as they were.
int16_t GetMoniSpd(int32_t& a, int32_t& b, double& c, double& d);
// On failure all four outputs become 0.
int16_t GetMoni13(int16_t& a, int16_t& b, int32_t& c, int16_t& d);
int16_t GetPopMoni(PopMoniRec& rec);
// Auto tuning: start (v clamped in place to 0..255) and progress poll (v sent clamped, the caller's
// variable untouched). Any status counts as a reply; st gets the status byte, b0 the first reply byte.
int16_t AutoStart(int16_t& v, int16_t& b0, int16_t& st);
int16_t AutoSts(int16_t v, int16_t& b0, int16_t& st);
// Console: writes the fixed model code, the EEPROM and the power-voltage calibration into the amplifier.
// Only in operating modes 2 and 3, and only after the user confirmed with OK; the last step decides.
int16_t SetKisyuMei();

// ---- paged parameter transfers (pages first..last, inclusive) ----------------------------------------

int16_t UsrPrm16SouShin(int16_t first, int16_t last);
int16_t SysPrm16SouShin(int16_t first, int16_t last);
int16_t UsrPrm16ZyuShin(int16_t first, int16_t last);
int16_t SysPrm16ZyuShin(int16_t first, int16_t last);
int16_t UsrPrm16HiKaKu(int16_t first, int16_t last, int16_t axis);
int16_t SysPrm16HiKaKu(int16_t first, int16_t last, int16_t axis);
int16_t UsrPrm32ZyuShin(int16_t first, int16_t last);
int16_t SysPrm32ZyuShin(int16_t first, int16_t last);
int16_t UsrPrm32HiKaKu(int16_t first, int16_t last, int16_t axis);
int16_t SysPrm32HiKaKu(int16_t first, int16_t last, int16_t axis);
int16_t UsrPrm32SouShin(int16_t first, int16_t last);
int16_t SysPrm32SouShin(int16_t first, int16_t last);

// ---- positioning data (steps and parameters numbered from 0, eight a page) ---------------------------

// Single reads and writes: the result also lands in res as a Boolean. Writes take the execution right
// around their one request.
int16_t PopStepYomi(Variant& res, PopStepRec& step, int16_t n);
int16_t PopStepKaki(Variant& res, int16_t n, const PopStepRec& step);
int16_t PopPrm16Yomi(Variant& res, int32_t& v, int16_t n);
int16_t PopPrm16Kaki(Variant& res, int16_t n, int32_t v); // v outside 16 bits is refused
int16_t PopPrm32Yomi(Variant& res, int32_t& v, int16_t n);
int16_t PopPrm32Kaki(Variant& res, int16_t n, int32_t v);
// Page receives into the caller's table; text is the progress text, followed by the page number.
int16_t PopStepZyuShin(int16_t first, int16_t last, std::span<PopStepRec> steps, const std::string& text);
int16_t PopPrm16ZyuShin(int16_t first, int16_t last, std::span<PopPrmRec> prm16, const std::string& text);
int16_t PopPrm32ZyuShin(int16_t first, int16_t last, std::span<PopPrmRec> prm32, const std::string& text);
// Page sends. TESKR_SendPopStep and PopPrm32SouShin hold the execution right for all their pages.
// PopPrm16SouShin leaves the right to its caller: it neither takes nor releases it.
int16_t TESKR_SendPopStep(int16_t first, int16_t last, std::span<const PopStepRec> steps);
int16_t PopPrm16SouShin(int16_t first, int16_t last, std::span<const PopPrmRec> prm16);
int16_t PopPrm32SouShin(int16_t first, int16_t last, std::span<const PopPrmRec> prm32);
// Numbers first..last: single writes up to a page boundary, whole pages, single writes after; the
// right is taken once and released once, whatever happens.
int16_t PopPrm16SouShinAll(int16_t first, int16_t last, std::span<const PopPrmRec> prm16);
int16_t PopEepKaki();
// The same sends for a caller that holds the execution right for all of them (one take, one release);
// they neither take nor release it. A range with nothing in it sends nothing and is no failure.
int16_t TESKR_SendPopStepHeld(int16_t first, int16_t last, std::span<const PopStepRec> steps);
int16_t PopPrm16SouShinAllHeld(int16_t first, int16_t last, std::span<const PopPrmRec> prm16);
int16_t PopPrm32SouShinHeld(int16_t first, int16_t last, std::span<const PopPrmRec> prm32);

// ---- waveform ----------------------------------------------------------------------------------------

// The caller holds the execution right; on failure it is released here.
int16_t SetSokuTeiJyouKen(const WavGraphRec& cond, int16_t& st);
int16_t SetGrpCh(WavGraphRec& cond, int16_t& st);
// -1 error or failed request, 0 capture running, 1 data ready.
int16_t GrpSts(int16_t& st);
// Eight blocks of 64 samples of slot (0..3); samples 0..499 (and never past the span) are filled.
int16_t TESKR_trans_graph(std::span<int16_t> samples, int16_t slot);

// The family R entries of the series dispatcher.
FamilyRCmds TeskRCmds();
// Puts the family R page receives into the steps of the receive-all procedure (PrmZenZyuShin).
void InstallTeskRPrmRecv();
