// Definition tables of the screens: names, menus, messages, cautions and positioning choices.
// Every index, the record's and any read from its fields, is checked before anything is stored.
#include <string>

#include "app/Glb.h"
#include "data/DefFil.h"
#include "frequency/FrqGlb.h"
#include "monitor/MonGlb.h"
#include "positioning/PopGlb.h"

namespace {

int16_t Int16(int16_t file) { return FIL_ReadValue(file).ToInt16(); }
int32_t Int32(int16_t file) { return FIL_ReadValue(file).ToInt32(); }

void LoadTwoTexts(int16_t file, int16_t index, std::string (*table)[3], int rows, const char* name)
{
    FIL_CheckIndex(index, 0, rows - 1, name);
    table[index][1] = FIL_ReadString(file);
    table[index][2] = FIL_ReadString(file);
}

void LoadIoName(int16_t file, int16_t index, IoKind kind, const char* name)
{
    LoadTwoTexts(file, index, IoName[kind], IoBitCnt, name);
}

void LoadPopPrm(int16_t file, int16_t index, PopPrmRec* table)
{
    FIL_CheckIndex(index, 0, PopPrmCnt - 1, "positioning parameters");
    PopPrmRec& r = table[index];
    r.Name = FIL_ReadString(file);
    r.Min = Int32(file);
    r.Max = Int32(file);
    r.Attr = Int32(file);
    r.Type = Int32(file);
    for (std::string& g : r.Guide) g = FIL_ReadString(file);
    // The value belongs to the positioning data, not to the definition.
}

} // namespace

void FIL_LoadErrorData(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, AlmCodeCnt - 1, "ERROR DATA");
    AlmName[index] = FIL_ReadString(file);
    AlmTxt2[index] = FIL_ReadString(file);
    AlmTxt3[index] = FIL_ReadString(file);
}

void FIL_LoadAutoMessage(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, AutoMsgCnt - 1, "AUTO MESSAGE");
    AutoMsg[index] = FIL_ReadString(file);
}

void FIL_LoadCtrlModeMenu(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, CtrlModeCnt - 1, "CTRL MODE MENU");
    CtrlModeMenu[index] = FIL_ReadString(file);
}

void FIL_LoadAbsoMenu(int16_t file, int16_t index)
{
    LoadTwoTexts(file, index, AbsoMenu, AbsoMenuCnt, "ABSO MENU");
}

void FIL_LoadInMenu(int16_t file, int16_t index) { LoadIoName(file, index, IoIn, "IN MENU"); }
void FIL_LoadOutMenu(int16_t file, int16_t index) { LoadIoName(file, index, IoOut, "OUT MENU"); }
void FIL_LoadPosInName(int16_t file, int16_t index) { LoadIoName(file, index, IoPosIn, "POS IN NAME"); }
void FIL_LoadPosOutName(int16_t file, int16_t index) { LoadIoName(file, index, IoPosOut, "POS OUT NAME"); }

void FIL_LoadBitNameExt(int16_t file, int16_t index)
{
    const int16_t set = Int16(file);
    FIL_CheckIndex(set, 0, BitNameSets - 1, "BIT NAME EXT sets");
    FIL_CheckIndex(index, 0, BitNameBits - 1, "BIT NAME EXT bits");
    BitName[set][index] = FIL_ReadString(file);
}

void FIL_LoadLabelText(int16_t file, int16_t index)
{
    const int16_t col = Int16(file);
    FIL_CheckIndex(index, 0, LblTxtCnt - 1, "LABEL TEXT lines");
    FIL_CheckIndex(col, 0, LblTxtCnt - 1, "LABEL TEXT columns");
    LblTxt[index][col] = FIL_ReadString(file);
}

void FIL_LoadMeasItem(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, MeasItemCnt - 1, "MEASURE ITEM");
    MeasItemRec& r = MeasItem[index];
    // The file gives A, C, B, D.
    r.TextA = FIL_ReadString(file);
    r.TextC = FIL_ReadString(file);
    r.TextB = FIL_ReadString(file);
    r.TextD = FIL_ReadString(file);
    r.Offered = FIL_ReadValue(file).ToBoolWord();
}

void FIL_LoadDefEncoder(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, EncoderCnt - 1, "DEF ENCODER");
    EncoderRec& r = EncoderTbl[index];
    r.Code = Int32(file);
    r.Name = FIL_ReadString(file);
    r.Val16 = Int16(file);
    r.Val32 = Int32(file);
    r.Flag1 = FIL_ReadValue(file).ToBoolWord();
    r.Flag2 = FIL_ReadValue(file).ToBoolWord();
    // A row is present exactly when a definition file named it.
    r.Enable = -1;
}

void FIL_LoadAutoPara(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, AutoPrmCnt - 1, "AUTO PARA");
    AutoPrmRec& r = AutoPrm[index];
    r.Shown = FIL_ReadValue(file).ToBoolWord();
    r.Label = FIL_ReadString(file);
    r.PrmNo = Int16(file);
}

void FIL_LoadAlart(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, AlartCnt - 1, "ALART");
    AlartRec& r = AlartTbl[index];
    r.Caption = FIL_ReadString(file);
    r.Message = FIL_ReadString(file);
    r.Offer = Int16(file);
    // Off is the user's choice and stays as it is.
}

void FIL_LoadPosCombo(int16_t file, int16_t index)
{
    const int32_t col = Int32(file);
    FIL_CheckIndex(col, 0, PopItemCols - 1, "POSITIONING COMBO columns");
    FIL_CheckIndex(index, 0, PopItemRows - 1, "POSITIONING COMBO items");
    PopItemRec& r = PopItem[col][index];
    r.Name = FIL_ReadString(file);
    r.Code = Int32(file);
    r.Text = FIL_ReadString(file);
}

void FIL_LoadPosPara16Menu(int16_t file, int16_t index) { LoadPopPrm(file, index, Pop16Prm); }
void FIL_LoadPosPara32Menu(int16_t file, int16_t index) { LoadPopPrm(file, index, Pop32Prm); }

void FIL_LoadFullCloseMode(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, CtrlModeCnt - 1, "FULL CLOSE ENABLE MODE");
    FullCloseMode[index] = Int16(file);
}

void FIL_LoadGraphData(int16_t file, int16_t)
{
    // Measured channels only, in the order actual speed, torque, position error, commanded speed.
    for (int ch : {1, 2, 3, 0}) WavGraph.Ch[ch].Color = Int32(file);
}
