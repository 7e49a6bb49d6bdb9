// instoran: prepares the installation from a set of three disks. Run it from the folder where the
// disks are mounted; it asks for each disk in turn.
#include "setup/SetupDlg.h"

#include <QApplication>
#include <QStyle>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("instoran 3, 7, 0, 981\nFor 3 Disks\n");
            return 0;
        }
    std::error_code ec;
    const std::string disk = std::filesystem::current_path(ec).string();
    // Hold no folder on the medium, or it could not be unmounted to insert the next disk.
    if (!ec && chdir("/") != 0) std::perror("instoran: chdir /");

    QApplication app(argc, argv);
    app.setWindowIcon(app.style()->standardIcon(QStyle::SP_DriveFDIcon));
    SetupDlg dlg(ec ? std::string(".") : disk);
    dlg.exec();
    return 0;
}
