#include "app/Glb.h"

// Start values here are those of a program that has not run its start-up yet; Main sets the
// documented defaults (UserLevel 1, MultiAxisEnable 1, ...) again at its own step.
int16_t DlgResult = 0;
int16_t StartUpDone = 0;
int16_t UserLevel = 1;
int16_t MultiAxisEnable = 1;
int16_t ComPortCnt = 4;
int16_t ExtV25Opt[3] = {0, 1, 0};
int16_t ExtV36Val = 9;
std::string StartDir;
Variant RetVar;

CpuVerRec CpuVer[CpuVerCnt];
MotorMeiRec MotorMei;
FileVerRec FileVerTbl[FileVerCnt];

std::string KisyuMei;
std::string KisyuKey;
int16_t KisyuCode = 0;
int16_t CmdFamily = 0;
int32_t LinkKind = 0;
int16_t AxisNo = 0;
int16_t TypeSelMode = 1;

int16_t MenuMask[3] = {0, 0, 0};

int32_t BaudCnt = 3;
int32_t BaudTbl[BaudTblSize] = {9600, 4800, 2400};

std::string KisyuList[KisyuListSize];
int16_t KisyuListCnt = 0;
KisyuRec KisyuTbl[KisyuTblSize];
int16_t KisyuTblCnt = 0;

std::string CommentTxt[CommentKinds][CommentLines];
int16_t LoadSel[5] = {0, 0, 0, 0, 0};
int16_t FrqLoadSel[4] = {0, 0, 0, 0};
int16_t PrmValLoaded = 0;
int16_t PrmPosLoaded = 0;

std::string BitName[BitNameSets][BitNameBits];
AlartRec AlartTbl[AlartCnt];
std::string AutoMsg[AutoMsgCnt];
