// Compiled into every test program: the backups and the interrupted-save marker that the
// tests make go below the build folder, never into the user's own folders.
#include <cstdlib>

namespace {

const bool kTestHomeSet = [] {
    ::setenv("XDG_DATA_HOME", SKARVEL_TEST_HOME "/share", 1);
    ::setenv("XDG_STATE_HOME", SKARVEL_TEST_HOME "/state", 1);
    return true;
}();

} // namespace
