// Groups every data file carries: MODEL, CPU VER, MOTOR MODEL and the four comment groups.
#include <string>

#include "app/Glb.h"
#include "app/Uty.h"
#include "data/DefFil.h"

namespace {

std::string Trimmed(const std::string& s)
{
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// A memo is read up to the next comma or line end, so it can hold neither a comma, a quote nor a
// line break.
std::string MemoText(const std::string& text)
{
    std::string t = DelCommaQuote(text);
    for (char& c : t)
        if (c == '\r' || c == '\n') c = ' ';
    return t;
}

void SaveComment(int16_t file, int kind, int16_t index)
{
    FIL_CheckIndex(index, 0, CommentLines - 1, "comment lines");
    FIL_WriteLine(file, "DATA," + std::to_string(index) + ",\"" + MemoText(CommentTxt[kind][index]) + "\",#Memo");
}

void LoadComment(int16_t file, int kind, int16_t index)
{
    FIL_CheckIndex(index, 0, CommentLines - 1, "comment lines");
    CommentTxt[kind][index] = FIL_ReadQuotedString(file);
}

} // namespace

void FIL_SaveModel(int16_t file, int16_t index)
{
    FIL_WriteLine(file, "DATA," + std::to_string(index) + "," + GetSeriesKey(KisyuCode) + "," +
                            FIL_FieldText(KisyuMei) + ",#Type and model");
}

void FIL_LoadModel(int16_t file, int16_t)
{
    FIL_ReadString(file); // the series key: the model name says it all
    const std::string model = FIL_ReadString(file);
    // The reader trims what it reads, so the model name is compared trimmed too.
    if (model == Trimmed(KisyuMei)) return;
    if (!MsgYesNo("Do you read data, though this is different model ?", "Yes ?"))
        throw FilError("the user refused a file of another model", 17);
}

void FIL_SaveCpuVer(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, CpuVerCnt - 1, "CPU versions");
    const CpuVerRec& v = CpuVer[index];
    if (v.Present == 0) return;
    FIL_WriteLine(file, "DATA," + std::to_string(index) + "," + HexB0x(v.Major) + "," + HexB0x(v.Minor));
}

void FIL_LoadCpuVer(int16_t file, int16_t)
{
    // The versions of a file are those of the amplifier it came from, never applied.
    FIL_ReadValue(file);
    FIL_ReadValue(file);
}

void FIL_SaveMotorModel(int16_t file, int16_t index)
{
    if (MotorMei.Present == 0) return;
    FIL_WriteLine(file, "DATA," + std::to_string(index) + "," + FIL_FieldText(MotorMei.Name) + ",#Motor model name");
}

void FIL_LoadMotorModel(int16_t file, int16_t)
{
    FIL_ReadString(file);
}

void FIL_SaveParaComment(int16_t file, int16_t index) { SaveComment(file, 0, index); }
void FIL_SaveWaveComment(int16_t file, int16_t index) { SaveComment(file, 1, index); }
void FIL_SaveFreqComment(int16_t file, int16_t index) { SaveComment(file, 2, index); }
void FIL_SaveStepComment(int16_t file, int16_t index) { SaveComment(file, 3, index); }

void FIL_LoadParaComment(int16_t file, int16_t index)
{
    if (FIL_SkipQuotedIf(file, LoadSel[3], 1)) return;
    LoadComment(file, 0, index);
}

void FIL_LoadWaveComment(int16_t file, int16_t index) { LoadComment(file, 1, index); }
void FIL_LoadFreqComment(int16_t file, int16_t index) { LoadComment(file, 2, index); }

void FIL_LoadStepComment(int16_t file, int16_t index)
{
    if (FIL_SkipQuotedIf(file, LoadSel[3], 1)) return;
    LoadComment(file, 3, index);
}
