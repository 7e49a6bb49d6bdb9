#include "app/ModSearchKisyu.h"

#include "app/Glb.h"
#include "app/Log.h"
#include "platform/Paths.h"

#include <cctype>

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

Variant SearchTypeDir() {
    int16_t count = 0;
    const auto dirs = plat::ListDir(plat::AppFile("ini\\prm\\"), "*", plat::ListKind::Dirs);
    for (const std::string& name : dirs) {
        // The table has room for a fixed number of series; the rest are left out, never written past it.
        if (count >= KisyuListSize) {
            log("SearchTypeDir: more than " + std::to_string(KisyuListSize) + " series; " + name +
                    " and the following are left out",
                LogDefFiles);
            break;
        }
        KisyuList[count++] = name;
    }
    KisyuListCnt = count;
    return Variant(count > 0);
}

Variant SearchKisyu() {
    KisyuTblCnt = 0;
    if (!SearchTypeDir().ToBool()) return Variant(false);

    int16_t n = 0;
    bool full = false;
    for (int i = 0; i < KisyuListCnt && !full; ++i) {
        const std::string& series = KisyuList[i];
        const std::string seriesFile = Lower(series) + ".prm";
        const auto files =
            plat::ListDir(plat::AppFile("ini\\prm\\" + series), "*.prm", plat::ListKind::Files);
        for (const std::string& file : files) {
            // The file named after its own folder holds the series presets, not a model.
            if (Lower(file) == seriesFile) continue;
            // A model's numbered and version-key preset files share its 12-character key: one row.
            const std::string model = file.substr(0, 12);
            bool listed = false;
            for (int16_t k = 0; k < n && !listed; ++k)
                listed = KisyuTbl[k].SeriesKey == series && KisyuTbl[k].ModelKey == model;
            if (listed) continue;
            if (n >= KisyuTblSize) {
                log("SearchKisyu: more than " + std::to_string(KisyuTblSize) + " models; " + series + "\\" +
                        file + " and the following are left out",
                    LogDefFiles);
                full = true;
                break;
            }
            KisyuRec& r = KisyuTbl[n++];
            r.SeriesKey = series;
            r.ModelKey = model;
            r.Code = 25;
        }
        KisyuTblCnt = n;
    }
    return Variant(n > 0);
}
