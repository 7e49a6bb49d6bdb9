#include "FamKEnv.h"

#include "platform/Paths.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    // A program folder of our own, holding the link library the program loads by name.
    char pattern[] = "/tmp/mevalo-comm-k-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root) return 2;
    const fs::path prog = fs::path(root) / "prog";
    fs::create_directories(prog);
    fs::copy_file(fs::path(MEVALO_BIN_DIR) / "libqel.so", prog / "libqel.so");
    plat::SetAppDir(prog.string());

    // Test discovery runs the program without the test's environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    fs::remove_all(root);
    return rc;
}
