#include "FamMEnv.h"

#include "platform/Paths.h"

#include <QApplication>

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

ampsim::Fault famm::Silence(ampsim::Phase phase, int times) {
    return ampsim::Fault::silence(phase, times);
}

int main(int argc, char** argv) {
    // A program folder of our own, holding the libraries the program loads by name.
    char pattern[] = "/tmp/mevalo-comm-m-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root) return 2;
    const fs::path prog = fs::path(root) / "prog";
    fs::create_directories(prog);
    for (const char* lib : {"libqel.so", "libduvo.so", "libspekt.so"})
        fs::copy_file(fs::path(MEVALO_BIN_DIR) / lib, prog / lib);
    plat::SetAppDir(prog.string());

    // Test discovery runs the program without the test's environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    fs::remove_all(root);
    return rc;
}
