#include "frequency/FrqGlb.h"

AutoPrmRec AutoPrm[AutoPrmCnt];
int32_t AutoKind = 0;
double FftTime = 0;
int16_t FftSplitN = 0;
int16_t FftFullClose[2] = {0, 0};
int16_t FftReqCount = 0;
int16_t FftDefAmp = 0;
int16_t FftDefOff = 0;
int16_t FftDefSmp = 0;
FrqRec SokuTeiRec;
FrqRec RefSokuTeiRec;
FrqRec FftCond;
FrqRec FftCondRef;
FrqCondRec FrqNextCond;
int16_t FrqNextCondSet = 0;
int16_t FrqView[FrqViewCnt] = {};
FrqGraphRec FrqGainRec;
FrqGraphRec FrqPhaseRec;
FrqGraphRec RefGainRec;
FrqGraphRec RefPhaseRec;
