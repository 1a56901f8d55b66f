#pragma once
// kavrel-find and the catalogue: how old an answer from the catalogue alone
// is (--catalogue-only), and what the catalogue knows and its watcher
// watches (--catalogue-status).
#include <cstdint>
#include <cstdio>
#include <string>

namespace finder::cli {

// "12 seconds", "1 minute", "5 hours", "3 days": whole units, rounded down.
std::string ageText(std::int64_t ns);

// The line --catalogue-only writes to standard error.
std::string catalogueAgeLine(std::int64_t newestNs, std::int64_t oldestNs, std::int64_t nowNs);

// Prints the catalogue's state; the exit status.
int printCatalogueStatus(std::FILE* out, std::FILE* err);

} // namespace finder::cli
