#include "monitor/MonGlb.h"

std::string AlmName[AlmCodeCnt];
std::string AlmTxt2[AlmCodeCnt];
std::string AlmTxt3[AlmCodeCnt];
std::string CtrlModeMenu[CtrlModeCnt];
int16_t FullCloseMode[CtrlModeCnt] = {};
std::string AbsoMenu[AbsoMenuCnt][3];
std::string IoName[IoKindCnt][IoBitCnt][3];
MeasItemRec MeasItem[MeasItemCnt];
EncoderRec EncoderTbl[EncoderCnt];
int16_t MoniOpt[6] = {};
int16_t ExtV30Val3 = 0;
int16_t ExtV30Val4 = 0;
std::string ExtV30Val16;
WavGraphRec WavGraph;
