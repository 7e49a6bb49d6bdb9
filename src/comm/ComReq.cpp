#include "comm/ComReq.h"

int16_t SndAxis = 0;
int16_t SndCmd = 0;
int16_t SndMode = 0;
int16_t SndLen = 0;
uint8_t SndBuf[SndBufSize] = {};
uint8_t RcvBuf[RcvBufSize] = {};
int16_t ComResult = 0;
