#include "app/ConnectCalls.h"

#include "app/FrmMenu.h"
#include "app/Log.h"
#include "app/MainLogic.h"
#include "comm/ComGlb.h"
#include "platform/Ask.h"
#include "platform/Library.h"

ConnectCalls& Connect()
{
    static ConnectCalls calls;
    return calls;
}

bool OnlineConnectAvailable()
{
    const ConnectCalls& c = Connect();
    return c.hanTeiExec && c.set232Axis && c.validAxis && c.showFrmAxis;
}

void ReportNotAvailable(const std::string& what)
{
    plat::MsgBox(what + " is not available yet in this program.", plat::Buttons::Ok, plat::Icon::Information,
                 "Connects with the amplifier.");
}

void ConnClose()
{
    if (Links().comClose) {
        Links().comClose();
        return;
    }
    // Only a program that opened a link has the link library loaded; off line there is nothing to close.
    if (ComHandle != 0) {
        try {
            static plat::LazyFn<int16_t()> closeAll("libqel.so", "Qel_CloseAll");
            closeAll();
        } catch (const plat::LibraryMissing& e) {
            log(std::string("ConnClose: ") + e.what(), LogOther);
        }
    }
    ComHandle = 0;
}

void MenuSetEnable()
{
    if (FrmMenu* menu = FrmMenu::Instance())
        menu->SetEnable();
}
