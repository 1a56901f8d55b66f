// Linked into every test program: a search that would use the footprint
// cache finds no folder for it (none can be made below /dev/null), so no
// test writes to the user's cache. A test that searches with a cache points
// XDG_CACHE_HOME at a temporary folder of its own (hive_env.h does).
#include <cstdlib>

namespace {

const bool kUserCacheKeptAway = [] { return ::setenv("XDG_CACHE_HOME", "/dev/null", 1) == 0; }();

} // namespace
