#include "comm/RGlb.h"

int16_t AlmNo = 0;
int16_t AlmHist[AlmHistCnt] = {};
int32_t AlmTime[AlmHistCnt] = {};
int32_t MkrDat1 = 0;
int32_t MkrDat2 = 0;
