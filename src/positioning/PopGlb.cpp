#include "positioning/PopGlb.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

int16_t PopEnable = 0;
int16_t PopStepCnt[4] = {};
int16_t Pop16Cnt[4] = {};
int16_t Pop32Cnt[4] = {};
Variant PopPosMin;
Variant PopPosMax;
PopItemRec PopItem[PopItemCols][PopItemRows];
std::string LblTxt[LblTxtCnt][LblTxtCnt];
PopStepRec PopStep[PopStepTblCnt];
PopStepRec PopStepBak[PopStepTblCnt];
PopPrmRec Pop16Prm[PopPrmCnt];
PopPrmRec Pop32Prm[PopPrmCnt];
PopPrmRec Pop16PrmBak[PopPrmCnt];
PopPrmRec Pop32PrmBak[PopPrmCnt];

int32_t PopDataSrc = 3;
std::string PopDataSrcCaption = "Default";
int16_t PopDataSent = 0;
std::function<void()> PopDataSourceChanged;

void SetPopDataSource(int32_t kind, const std::string& title) {
    PopDataSrc = kind;
    switch (kind) {
    case 1:
        PopDataSrcCaption = "Read-out value from the amplifier.";
        break;
    case 2:
        PopDataSrcCaption = "Value read from the file.";
        break;
    case 3:
        PopDataSrcCaption = "Default";
        break;
    default:
        break; // other kinds keep the caption
    }
    if (!title.empty()) PopDataSrcCaption = title;
    PopDataSent = kind == 1 ? -1 : 0;
    if (PopDataSourceChanged) PopDataSourceChanged();
}

std::string PopPosText(const PopStepRec& step) {
    return step.PosEmpty ? std::string() : std::to_string(step.Position);
}

std::optional<PopPos> PopPosParse(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    if (b == e) return PopPos{};
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    if (*first == '+' && ++first != last && *first == '-') return std::nullopt; // from_chars takes only '-'
    int64_t v = 0;
    const auto r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
    return PopPos{v, false};
}

namespace {

int Span(const int16_t (&cnt)[4], int size) {
    return std::clamp<int>(std::max(cnt[2], cnt[3]), 0, size);
}

} // namespace

int PopStepSpan() {
    return Span(PopStepCnt, PopStepTblCnt);
}
int Pop16Span() {
    return Span(Pop16Cnt, PopPrmCnt);
}
int Pop32Span() {
    return Span(Pop32Cnt, PopPrmCnt);
}

void BackupPopData() {
    std::copy_n(PopStep, PopStepSpan(), PopStepBak);
    std::copy_n(Pop16Prm, Pop16Span(), Pop16PrmBak);
    std::copy_n(Pop32Prm, Pop32Span(), Pop32PrmBak);
}

void RestorePopData() {
    std::copy_n(PopStepBak, PopStepSpan(), PopStep);
    for (int i = 0; i < Pop16Span(); ++i)
        Pop16Prm[i].Value = Pop16PrmBak[i].Value;
    for (int i = 0; i < Pop32Span(); ++i)
        Pop32Prm[i].Value = Pop32PrmBak[i].Value;
}

namespace {

// What a positioning data file can change, kept while one is read so that a failed read can be undone.
struct PopFileState {
    std::unique_ptr<PopStepRec[]> steps = std::make_unique<PopStepRec[]>(PopStepTblCnt);
    int32_t v16[PopPrmCnt] = {};
    int32_t v32[PopPrmCnt] = {};
    std::string comment[CommentLines];

    void Take() {
        std::copy_n(PopStep, PopStepTblCnt, steps.get());
        for (int i = 0; i < PopPrmCnt; ++i) {
            v16[i] = Pop16Prm[i].Value;
            v32[i] = Pop32Prm[i].Value;
        }
        std::copy_n(CommentTxt[3], CommentLines, comment);
    }
    void Put() const {
        std::copy_n(steps.get(), PopStepTblCnt, PopStep);
        for (int i = 0; i < PopPrmCnt; ++i) {
            Pop16Prm[i].Value = v16[i];
            Pop32Prm[i].Value = v32[i];
        }
        std::copy_n(comment, CommentLines, CommentTxt[3]);
    }
};

} // namespace

int16_t POP_Load(const std::string& path, int16_t /*seriesCode*/, bool showError) {
    log("POP_Load:" + path, LogOther);
    if (path.empty()) return plat::VbFalse;

    auto before = std::make_unique<PopFileState>();
    before->Take();
    const int16_t result = FIL_ReadGroupFile(path, plat::VbFalse);
    if (result == plat::VbTrue) return result;

    // Half a file would mix two data sets that were never meant to go together.
    before->Put();
    if (showError)
        plat::MsgBox("Reading failed.", plat::Buttons::Ok, plat::Icon::Exclamation,
                     "Positining parameter reading error");
    return plat::VbFalse;
}

namespace {

// A preset file and its numbered follow-ups; True when the first one was read.
int16_t LoadPopFiles(const std::string& base) {
    if (POP_Load(AppPath(base + ".NCP"), KisyuCode, false) != plat::VbTrue) return plat::VbFalse;
    for (int n = 0; n <= 0xFF; ++n)
        if (POP_Load(AppPath(base + Hex2(n) + ".NCP"), KisyuCode, false) != plat::VbTrue) break;
    return plat::VbTrue;
}

} // namespace

int16_t LoadPopDefault(const std::string& modelName, bool showModelMessage) {
    const std::string folder = "ini\\prm\\" + KisyuKey + "\\";
    if (LoadPopFiles(folder + KisyuKey) != plat::VbTrue) {
        plat::MsgBox(
            "Can not read the file of preset standard value of positioning parameter according to the "
            "series.  ",
            plat::Buttons::Ok, plat::Icon::Exclamation, "Reading of the default");
        return plat::VbFalse;
    }
    if (LoadPopFiles(folder + modelName) != plat::VbTrue && showModelMessage && ExtV25Opt[1] != 0)
        plat::MsgBox(
            "Can not read the file of preset standard value of positioning parameter according to the "
            "model. Standerd preset values of " +
                KisyuKey + " series are used.",
            plat::Buttons::Ok, plat::Icon::Exclamation, "Reading of the default");
    LoadPopFiles(folder + modelName + GetVerKey());
    SetPopDataSource(3, "");
    return plat::VbTrue;
}
