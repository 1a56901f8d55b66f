#pragma once
// The export tests' names for running kavrel-find: the one runner of the
// command-line tests.
#include "kavrel_find_run.h"

namespace testsupport {
using clitest::runKavrelFind;
using clitest::RunResult;
} // namespace testsupport
