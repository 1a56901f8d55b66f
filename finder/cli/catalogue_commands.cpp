// The catalogue's age line and status report.
#include "catalogue_commands.h"

#include "finder/catalogue.h"
#include "finder/footprint_cache.h"
#include "finder/search_status.h"

#include <ctime>

namespace finder::cli {

std::string ageText(std::int64_t ns) {
    const std::int64_t seconds = ns > 0 ? ns / 1'000'000'000 : 0;
    static const struct {
        std::int64_t seconds;
        const char* unit;
    } units[] = {{86400, "day"}, {3600, "hour"}, {60, "minute"}, {1, "second"}};
    for (const auto& u : units) {
        // Days from two days on, hours from two hours on, and so on down.
        if (seconds >= 2 * u.seconds || u.seconds == 1) {
            const std::int64_t count = seconds / u.seconds;
            return std::to_string(count) + " " + u.unit + (count == 1 ? "" : "s");
        }
    }
    return {};
}

std::string catalogueAgeLine(std::int64_t newestNs, std::int64_t oldestNs, std::int64_t nowNs) {
    return "kavrel-find: from the catalogue alone: its newest folder entries are " +
           ageText(nowNs - newestNs) + " old, its oldest " + ageText(nowNs - oldestNs) + " old";
}

namespace {

std::string utcText(std::int64_t ns) {
    const std::time_t seconds = static_cast<std::time_t>(ns / 1'000'000'000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
    return text;
}

} // namespace

int printCatalogueStatus(std::FILE* out, std::FILE* err) {
    if (!FootprintCache::enabledByEnvironment()) {
        std::fprintf(err, "kavrel-find: %s\n", std::string(kCatalogueOffText).c_str());
        return 1;
    }
    const std::string file = FootprintCache::defaultFile();
    Catalogue::Opened opened = Catalogue::open(file, FootprintCache::today());
    if (!opened.catalogue) {
        std::fprintf(err, "kavrel-find: %s\n", opened.problem.c_str());
        return 1;
    }
    const CatalogueStatus status = opened.catalogue->status();
    if (!opened.catalogue->failure().empty()) {
        std::fprintf(err, "kavrel-find: %s\n", opened.catalogue->failure().c_str());
        return 1;
    }
    std::fprintf(out, "Catalogue: %s\n", file.c_str());
    std::fprintf(out, "Folders known: %llu (%llu entries)\n",
                 static_cast<unsigned long long>(status.folders),
                 static_cast<unsigned long long>(status.entries));
    if (status.watchSession == 0) {
        std::fprintf(out, "kavrel-watch: not running; no folder is watched\n");
        return 0;
    }
    std::fprintf(out, "kavrel-watch: running (process %lld, since %s)\n",
                 static_cast<long long>(status.watcherPid), utcText(status.watcherStartedNs).c_str());
    std::fprintf(out, "Folders watched: %llu, vouched for: %llu\n",
                 static_cast<unsigned long long>(status.watched),
                 static_cast<unsigned long long>(status.vouched));
    std::fprintf(out, "Folders not watchable: %llu\n",
                 static_cast<unsigned long long>(status.unwatched.size()));
    for (const CatalogueStatus::Unwatched& folder : status.unwatched)
        std::fprintf(out, "  %s: %s\n", folder.path.c_str(), folder.reason.c_str());
    return 0;
}

} // namespace finder::cli
