// Linked into every test: headless Qt with exact pixel geometry, also when a test binary is run by
// hand. Runs before main, so before any QApplication exists; values already set are kept.
#include <cstdlib>

namespace {
const bool kEnvironmentSet = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 0);
    return true;
}();
}  // namespace
