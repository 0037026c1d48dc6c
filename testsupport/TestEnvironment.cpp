// Linked into every test program: the defaults a test run needs, for runs started by
// ctest and by hand alike. Values already in the environment win.

#include <cstdlib>

namespace {
struct TestEnvironment {
    TestEnvironment() {
        ::setenv("CORV_TEST_TMP", CORV_TEST_TMP_DEFAULT, 0);
        ::setenv("CORV_SCREENSHOTS", CORV_SCREENSHOTS_DEFAULT, 0);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
} const kTestEnvironment;
}  // namespace
