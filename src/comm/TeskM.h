// The family M command set (series codes 20 to 24; the CPU versions and the EEPROM writes serve family R
// too). Every request goes through the request core (ComCmd) to the current axis AxisNo, except the
// auto-tuning start, which only sends, and the waveform-ready read, which drives its exchange itself.
// Results are 16-bit truth words (-1 True, 0 False) unless said otherwise. A reply shorter than the layout
// a procedure reads is a failed request (False and a log line); outputs then stay as they were.
//
// Writes, EEPROM writes and tuning take the execution right first; when the amplifier refuses it (its
// front panel is in use) nothing else is sent and the result is False.
#pragma once

#include <cstdint>

#include "app/Glb.h"
#include "app/Variant.h"
#include "comm/TeskCmd.h"

struct WavCondRec;

// ---- link check, identity, monitors, alarms -----------------------------------------------------------

int16_t PingM();
// CPU cpu (1..3) into rec: 1 read, 0 failed (rec's flag cleared).
int16_t VerCpuM(CpuVerRec& rec, int16_t cpu);
// CPU 1 to 3 into ver(0..2) (every flag cleared first) and the motor model into MotorMei (its result into
// RetVar). True when at least one CPU answered.
int16_t VerJuShinM(CpuVerRec (&ver)[CpuVerCnt]);
int16_t MotorMeiM(MotorMeiRec& rec);
// Input and output state words; True only when both requests succeeded.
int16_t IoMonM(int32_t& in, int32_t& out);
// Speed, torque / WavMaxItem and counter. A torque scale of 0 is a damaged definition: False, nothing sent.
int16_t MonM(double& speed, double& torque, double& counter);
int16_t GetSpeedM(); // MonM into MonVal
int16_t AlmNowM();   // AlmNo
int16_t AlmHistM();  // AlmHist(0..7)

// ---- 16-bit parameters --------------------------------------------------------------------------------

// Block sends of PrmVal(0 .. Prm16Max - 1) and PrmVal(Prm16Max .. Prm16Max + Prm16SysCnt - 1). A count
// above teskm::MaxBlockValues does not fit one block: refused with a message, nothing sent.
int16_t UsrPrmSouShinM();
int16_t SysPrmSouShinM();
// Block receives into PrmVal(0 ..) and PrmVal(Prm16Max .. 255); only the values the reply holds are stored.
int16_t UsrPrmJuShinM();
int16_t SysPrmJuShinM();
// Single reads and writes by table number n; a system parameter goes on the wire as n - Prm16MaxSys.
// A wire number outside 0..255 is refused before anything is sent.
int16_t PrmRdM(int16_t n);
int16_t SysPrmRdM(int16_t n);
Variant PrmWrM(int16_t n);
Variant SysPrmWrM(int16_t n); // the write's result is also left in ComResult
int16_t UsrPrmEepM();
int16_t SysPrmEepM(); // operating modes 2 and 3 only; otherwise False without a request

// ---- 32-bit parameters (system numbers go on the wire as n - Prm32Max) ---------------------------------

Variant Prm32WrM(int16_t n);
Variant SysPrm32WrM(int16_t n); // the write's result is also left in ComResult
int16_t Prm32RdM(int16_t n);
int16_t SysPrm32RdM(int16_t n);

// ---- auto tuning and waveform ------------------------------------------------------------------------

// Starts tuning with v (clamped to 0..255); no reply is awaited. On success the execution right stays
// taken: the auto-tuning screen releases it when tuning ends or is abandoned.
int16_t AutoM(int16_t v);
// Measurement conditions from the condition words; conditions that do not fit their fields are refused.
int16_t GrpSetM(const WavCondRec& cond);
// Polls for the end of a capture: 1 an extended block now stands in RcvBuf (N at 0, then address, command
// byte, data, checksum), 0 not yet (an ordinary reply), -1 a failed exchange (a wrong handshake byte, a
// time-out, or a block whose checksum is wrong, which is answered NAK).
int16_t GrpBlkRcvM();
// Reads the samples of the capture for the condition's option index (0..2; any other is refused). They
// stay in RcvBuf, SndLen data bytes, for the graph screen to unpack.
int16_t GrpDatJuShinM(const WavCondRec& cond);

// The family M entries of the series dispatcher.
FamilyMCmds TeskMCmds();
// Puts the family M block receives into the steps of the receive-all procedure (PrmZenZyuShin).
void InstallTeskMPrmRecv();
