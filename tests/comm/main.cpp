#include "CommEnv.h"

#include "platform/Paths.h"

#include <QApplication>

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace commtest {

namespace {
std::string& Root() {
    static std::string root;
    return root;
}
} // namespace

std::string ProgramDir() {
    return Root() + "/prog";
}

std::string ComTest() {
    return Root() + "/comtest";
}

} // namespace commtest

int main(int argc, char** argv) {
    // A folder of our own: the wrapper writes comtest beside the program folder.
    char pattern[] = "/tmp/mevalo-comm-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root) return 2;
    commtest::Root() = root;
    fs::create_directories(commtest::ProgramDir());
    for (const char* lib : {"libqel.so", "libduvo.so"})
        fs::copy_file(fs::path(MEVALO_BIN_DIR) / lib, fs::path(commtest::ProgramDir()) / lib);
    plat::SetAppDir(commtest::ProgramDir());
    // The reply-file editor must not open a window.
    setenv("EDITOR", "true", 1);
    unsetenv("VISUAL");

    // Test discovery runs without the test's environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    fs::remove_all(root);
    return rc;
}
