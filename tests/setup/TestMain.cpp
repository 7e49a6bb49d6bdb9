// The launcher's tests run in an offscreen application of their own: the launcher shares nothing with
// the rest of the project, its tests neither.
#include <QApplication>
#include <gtest/gtest.h>

#if defined(__SANITIZE_THREAD__)
// Qt is not built with ThreadSanitizer: it cannot see the lock under which a finishing QThread wakes its
// waiters, and so takes the wait condition's destruction after wait() for a race. Nothing of ours.
extern "C" const char* __tsan_default_suppressions() { return "race:QWaitCondition::~QWaitCondition\n"; }
// For the same reason the memory Qt allocates and frees for a queued signal, under its own futex-based
// locks, is left out: only what our instrumented code does is checked.
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
