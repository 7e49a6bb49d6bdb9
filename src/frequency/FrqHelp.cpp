#include "frequency/FrqHelp.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/Uty.h"
#include "platform/Ask.h"
#include "platform/Paths.h"

void ShowHelpFile() {
    const std::string path = AppPath(FrqHelpFile);
    if (plat::FileExists(path) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        return;
    plat::MsgBox("The help file " + path + " cannot be opened.", plat::Buttons::Ok, plat::Icon::Exclamation,
                 "Help");
}
