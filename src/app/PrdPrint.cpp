#include "app/PrdPrint.h"

#include "app/Frame.h"
#include "app/Prd.h"
#include "app/Uty.h"
#include "platform/Ask.h"

#include <exception>
#include <optional>

namespace {

// The busy pointer for as long as the print runs, whichever way it ends.
struct Busy {
    Busy() { Hourglass(true); }
    ~Busy() { Hourglass(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

} // namespace

void PrdPrint(const PrdPrintCmd& cmd) {
    const std::string words = cmd.ask ? cmd.ask() : std::string();
    if (words.empty() || words.find("cancel") != std::string::npos) return;
    // Both checks tell the user themselves why they stop.
    if (!PrdCheckPrinter() || ChkResourceSmall()) return;
    if (!PrdChoosePrinter(cmd.title)) return;

    std::optional<std::string> thrown; // the failure's own text
    bool printed = false;
    bool failed = false;
    {
        Busy busy;
        UpdStat("In-printing ");
        PrdTakeError(); // an earlier job's failure is not this one's
        try {
            printed = cmd.print(words);
        } catch (const std::exception& e) {
            thrown = e.what();
        } catch (...) {
            thrown = std::string();
        }
        // A job broken off half way is not left open for the next one.
        if (thrown) Printer().EndDoc();
        // The device reports a file that cannot be written or a refused job only through its error state.
        failed = PrdTakeError() || thrown;
    }
    if (failed) {
        UpdStat(""); // the print is not going on
        std::string text = "Print error";
        if (cmd.errorReason && thrown && !thrown->empty()) text += "\n" + *thrown;
        plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation, cmd.title);
    } else {
        UpdStat(printed ? cmd.completed : std::string());
    }
}
