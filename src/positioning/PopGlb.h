// Positioning definitions that the series definition files fill, and the data-source hook the file
// reader calls. The positioning screens extend this module.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/Variant.h"

// True when the model has the positioning function.
extern int16_t PopEnable;
// Entry counts: words 0..2 from the definition file, word 3 the one in force (word 2 in operating
// modes 2 and 3, else word 1).
extern int16_t PopStepCnt[4];
extern int16_t Pop16Cnt[4];
extern int16_t Pop32Cnt[4];
// Step position limits, as texts.
extern Variant PopPosMin;
extern Variant PopPosMax;

// Choices of the step columns: column 0..10, item 0..100.
constexpr int PopItemCols = 11;
constexpr int PopItemRows = 101;
struct PopItemRec {
    std::string Name;
    int32_t Code = 0;
    std::string Text;
};
extern PopItemRec PopItem[PopItemCols][PopItemRows];

// Texts of the positioning screens: line 0..30, column 0..30.
constexpr int LblTxtCnt = 31;
extern std::string LblTxt[LblTxtCnt][LblTxtCnt];

// Positioning parameters 0..512.
constexpr int PopPrmCnt = 513;
struct PopPrmRec {
    std::string Name;
    int32_t Min = 0;
    int32_t Max = 0;
    int32_t Value = 0;
    int32_t Attr = 0;
    int32_t Type = 0;
    std::string Guide[4];
    int32_t Spare = 0;
};
extern PopPrmRec Pop16Prm[PopPrmCnt];
extern PopPrmRec Pop32Prm[PopPrmCnt];

// Data source of the positioning values: 1 amplifier, 2 file, 3 default.
extern int32_t PopDataSrc;
extern std::string PopDataSrcCaption;
extern int16_t PopDataSent;
// Called after the source changed; the positioning editor installs it while it is loaded.
extern std::function<void()> PopDataSourceChanged;

// Sets the source kind, its caption (a non-empty title replaces it) and the sent flag.
void SetPopDataSource(int32_t kind, const std::string& title);
