#include "comm/ComGlb.h"

uint32_t ComHandle = 0;
int16_t ComPortNo = 0;
int32_t ComBaud = 0;
int16_t ComBusy = 0;

ComTimeRec ComTime[ComTimeCnt];
int32_t& ComT1 = ComTime[0].T1;
int32_t& ComT2 = ComTime[0].T2;
int16_t& ComRetry = ComTime[0].Retry;
int32_t& ComT1Auto = ComTime[3].T1;
int32_t& ComT2Auto = ComTime[3].T2;
int16_t& ComRetryAuto = ComTime[3].Retry;

int16_t DllVer[2] = {0, 0};
