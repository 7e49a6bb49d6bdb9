#include "app/ConnectCalls.h"

#include "app/FrmMenu.h"
#include "app/MainLogic.h"
#include "comm/Com.h"
#include "platform/Ask.h"

ConnectCalls& Connect() {
    static ConnectCalls calls;
    return calls;
}

bool OnlineConnectAvailable() {
    const ConnectCalls& c = Connect();
    return c.hanTeiExec && c.set232Axis && c.validAxis && c.showFrmAxis;
}

void ReportNotAvailable(const std::string& what) {
    plat::MsgBox(what + " is not available in this program.", plat::Buttons::Ok, plat::Icon::Information,
                 "Connects with the amplifier.");
}

void ConnClose() {
    if (Links().comClose) {
        Links().comClose();
        return;
    }
    ComClose();
}

void MenuSetEnable() {
    if (FrmMenu* menu = FrmMenu::Instance()) menu->SetEnable();
}
