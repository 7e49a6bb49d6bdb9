#include "data/PrmGlb.h"

int16_t Prm16MaxAll = 0;
int16_t Prm16Max = 0;
int16_t Prm16SysCnt = 0;
int16_t Prm16MaxSys = 0;
int16_t Prm16Last = -1;
int16_t IhxBase = 0;

int16_t Prm32Cnt = 0;
int16_t Prm32Max = 0;
int16_t Prm32MaxSys = 0;
int16_t Prm32MaxAll = 0;
int16_t Prm32Last = -1;

int16_t ExecRightUse = 0;
int16_t WavMaxItem = 0;

int16_t MaxItem5 = 0;
int16_t MaxItem6 = 0;
int16_t AlmHistRows = 0;
int16_t AlmTimeRows = 0;
int16_t MaxItem17 = 0;
int16_t AlmTimNowShown = 0;
int32_t MaxItem25 = 0;
int32_t MaxItem26 = 0;

int16_t ExtV35Val4 = 0;
