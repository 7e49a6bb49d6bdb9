#include "comm/EnvCheck.h"

#include "app/Log.h"
#include "app/LogSvc.h"
#include "comm/ComGlb.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/Library.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const kTitle = "Confirmation of action environment";
constexpr size_t kTextSize = 1000;

uint32_t QelVersionByName(char* t1, char* t2) {
    static plat::LazyFn<uint32_t(char*, char*)> fn("libqel.so", "Qel_Version");
    return fn(t1, t2);
}

uint32_t SpektVersionByName(char* t1, char* t2) {
    static plat::LazyFn<uint32_t(char*, char*)> fn("libspekt.so", "SPEKT_Version");
    return fn(t1, t2);
}

// The version the library reports, or nothing when it could not be called. The texts come back through
// text1 and text2 (terminated even when the library forgot to).
std::optional<int64_t> CallVersion(const VersionFn& fn, std::string& text1, std::string& text2) {
    std::vector<char> b1(kTextSize + 1, '\0'), b2(kTextSize + 1, '\0');
    try {
        const uint32_t v = fn(b1.data(), b2.data());
        b1[kTextSize] = b2[kTextSize] = '\0';
        text1 = b1.data();
        text2 = b2.data();
        return static_cast<int64_t>(v);
    } catch (const plat::LibraryMissing& e) {
        log(std::string("EnvCheck: ") + e.what(), LogOther);
        return std::nullopt;
    }
}

[[noreturn]] void Refuse(const std::string& text) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::None, kTitle);
    plat::EndProgram(0);
}

} // namespace

EnvCheckLibs& EnvLibs() {
    static EnvCheckLibs libs;
    return libs;
}

void EnvCheck() {
    const EnvCheckLibs& libs = EnvLibs();
    std::string t1, t2;

    const auto qel = CallVersion(libs.qelVersion ? libs.qelVersion : VersionFn(QelVersionByName), t1, t2);
    if (!qel) Refuse("Necessary QEL.DLL is not available, and exit.");
    LogFileOut(t1 + " " + t2);
    if (*qel != DllVer[0])
        Refuse("QEL.DLL, version" + std::to_string(*qel) + " is introduced. " + std::to_string(DllVer[0]) +
               "is necessary. Will exit.");

    const auto spekt =
        CallVersion(libs.spektVersion ? libs.spektVersion : VersionFn(SpektVersionByName), t1, t2);
    if (!spekt) Refuse("Necessary SPEKT.DLL is not available, and exit.");
    LogFileOut(t1);
    if (*spekt != DllVer[1])
        Refuse("SPEKT.DLL, version" + std::to_string(*spekt) + " is introduced. " +
               std::to_string(DllVer[1]) + "is required. Exit");
}
