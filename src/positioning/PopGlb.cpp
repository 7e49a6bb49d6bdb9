#include "positioning/PopGlb.h"

int16_t PopEnable = 0;
int16_t PopStepCnt[4] = {};
int16_t Pop16Cnt[4] = {};
int16_t Pop32Cnt[4] = {};
Variant PopPosMin;
Variant PopPosMax;
PopItemRec PopItem[PopItemCols][PopItemRows];
std::string LblTxt[LblTxtCnt][LblTxtCnt];
PopPrmRec Pop16Prm[PopPrmCnt];
PopPrmRec Pop32Prm[PopPrmCnt];

int32_t PopDataSrc = 3;
std::string PopDataSrcCaption = "Default";
int16_t PopDataSent = 0;
std::function<void()> PopDataSourceChanged;

void SetPopDataSource(int32_t kind, const std::string& title)
{
    PopDataSrc = kind;
    switch (kind) {
    case 1: PopDataSrcCaption = "Read-out value from the amplifier."; break;
    case 2: PopDataSrcCaption = "Value read from the file."; break;
    case 3: PopDataSrcCaption = "Default"; break;
    default: break; // other kinds keep the caption
    }
    if (!title.empty()) PopDataSrcCaption = title;
    PopDataSent = kind == 1 ? -1 : 0;
    if (PopDataSourceChanged) PopDataSourceChanged();
}
