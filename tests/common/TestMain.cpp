#include "TestMain.h"

#include "platform/Paths.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testmain {

namespace {
// Function-local, since programs set themselves up during static initialisation.
Setup& Chosen() {
    static Setup setup;
    return setup;
}
std::string& RootPath() {
    static std::string root;
    return root;
}
} // namespace

bool Use(Setup setup) {
    Chosen() = std::move(setup);
    return true;
}

const std::string& Root() {
    return RootPath();
}

} // namespace testmain

int main(int argc, char** argv) {
    const testmain::Setup& setup = testmain::Chosen();
    if (!setup.rootName.empty()) {
        std::string pattern = "/tmp/" + setup.rootName + "-XXXXXX";
        if (!mkdtemp(pattern.data())) return 2;
        testmain::RootPath() = pattern;
        const fs::path prog = fs::path(pattern) / "prog";
        fs::create_directories(prog);
        for (const std::string& lib : setup.programLibraries)
            fs::copy_file(fs::path(MEVALO_BIN_DIR) / lib, prog / lib);
        plat::SetAppDir(prog.string());
    }
    if (setup.before)
        if (const int rc = setup.before()) return rc;
    // Test discovery runs the program without the test's environment, so the platform is chosen here.
    if (!setup.keepPlatform || qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    int rc = 0;
    {
        QApplication app(argc, argv);
        if (setup.keepRunning) QApplication::setQuitOnLastWindowClosed(false);
        std::unique_ptr<QTemporaryDir> settings;
        if (setup.privateSettings) {
            settings = std::make_unique<QTemporaryDir>();
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings->path());
        }
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
    }
    if (!testmain::Root().empty()) fs::remove_all(testmain::Root());
    return rc;
}
