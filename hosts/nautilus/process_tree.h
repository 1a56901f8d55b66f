#pragma once
// Ends a process together with every process below it. A sandbox started by
// bwrap has an init of its own below bwrap; killed before it has told that
// init to go on, bwrap leaves it waiting for ever, so the tree is ended whole.
#include <sys/types.h>

#include <vector>

namespace nautilushost {

// The processes below `root`, children before their own children.
std::vector<pid_t> descendantsOf(pid_t root);

// Stops `root` (so that it starts nothing more), kills every process below
// it, then `root` itself.
void killTree(pid_t root);

} // namespace nautilushost
