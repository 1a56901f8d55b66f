// kavrel-find: runs one search of the finder without a window and prints the
// rows the results list would show.
#include "cli_options.h"

#include "finder/coords/coordsys_pickers.h"
#include "finder/found_file.h"
#include "finder/search_database.h"
#include "finder/search_run.h"
#include "finder/search_status.h"
#include "finder/settings_registry.h"
#include "finder/startup_settings.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace {

std::atomic<bool> stopFlag{false};

extern "C" void onInterrupt(int) {
    stopFlag.store(true);
}

void writeRow(const finder::FoundFile& file, std::string& line) {
    const finder::RowTexts row = finder::rowTexts(file);
    line.clear();
    for (const std::string* text : {&row.name, &row.folder, &row.size, &row.type}) {
        line += *text;
        line += '\t';
    }
    line += row.modified;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

std::string databaseFile() {
    finder::CSettingsRegistry registry;
    return finder::readStartupSettings(registry).databaseFile;
}

// Prints the list the window's picker holds after the same choices.
int printPickerList(const finder::cli::Options& options) {
    using finder::PickerListStatus;
    using finder::cli::ListRequest;
    std::optional<std::string> group, system;
    if (options.list != ListRequest::Groups)
        group = options.listGroup;
    if (options.list == ListRequest::Datums)
        system = options.listSystem;
    const std::string file = databaseFile();
    const finder::PickerListResult result = finder::ListPickerTexts(file, group, system);
    switch (result.status) {
    case PickerListStatus::DatabaseUnavailable:
        std::fprintf(stderr, "kavrel-find: cannot open the coordinate-system database %s\n",
                     file.c_str());
        return 1;
    case PickerListStatus::UnknownGroup:
        std::fprintf(stderr,
                     "kavrel-find: no coordinate-system group is named \"%s\" "
                     "(--list-groups lists them)\n",
                     group->c_str());
        return 2;
    case PickerListStatus::UnknownSystem:
        std::fprintf(stderr,
                     "kavrel-find: the group \"%s\" has no system named \"%s\" "
                     "(--list-systems lists them)\n",
                     group->c_str(), system->c_str());
        return 2;
    case PickerListStatus::Ok:
        break;
    }
    const std::vector<std::string>& names =
        options.list == ListRequest::Groups    ? result.texts.groups
        : options.list == ListRequest::Systems ? result.texts.systems
                                               : result.texts.datums;
    for (const std::string& name : names)
        std::printf("%s\n", name.c_str());
    return 0;
}

int runSearch(const finder::cli::Options& options) {
    using namespace finder;
    const SearchCriteria criteria =
        buildCriteria(options.form, SearchCriteria{}, DateUtil::todayUtc()).criteria;

    SearchDatabase database;
    if (criteria.flags & CriteriaFlags::CoordSysMatch) {
        const std::string file = databaseFile();
        if (!database.open(file)) {
            std::fprintf(stderr, "kavrel-find: cannot open the coordinate-system database %s\n",
                         file.c_str());
            return 1;
        }
    }

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    std::signal(SIGINT, onInterrupt);

    std::string line;
    SearchCallbacks callbacks;
    callbacks.candidateFound = [&line](const FoundFile& file) { writeRow(file, line); };
    SearchRun run(criteria, stopFlag, callbacks, database.handle());
    const std::uint32_t result = run.run();
    std::fflush(stdout);

    int status = 0;
    if (result == WalkResult::StackOverflow) {
        std::fprintf(stderr, "kavrel-find: %s\n", MaxFilesExceededText.data());
        status = 1;
    } else if (result == WalkResult::SubfoldersNotListed) {
        std::fprintf(stderr, "kavrel-find: cannot list %s\n", criteria.startFolder.c_str());
        status = 1;
    } else if (result != WalkResult::Done && result != WalkResult::Stopped) {
        std::fprintf(stderr, "kavrel-find: cannot search %s: %s\n", criteria.startFolder.c_str(),
                     std::strerror(static_cast<int>(result)));
        status = 1;
    }
    std::fprintf(stderr, "%s\n", filesFoundText(run.filesFound()).c_str());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        const finder::cli::ParseResult parsed = finder::cli::parseOptions(args);
        if (!parsed.error.empty()) {
            std::fprintf(stderr,
                         "kavrel-find: %s\nTry 'kavrel-find --help' for more information.\n",
                         parsed.error.c_str());
            return 2;
        }
        if (parsed.options.help) {
            std::fputs(finder::cli::usageText(), stdout);
            return 0;
        }
        if (parsed.options.list != finder::cli::ListRequest::None)
            return printPickerList(parsed.options);
        return runSearch(parsed.options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kavrel-find: %s\n", error.what());
        return 1;
    }
}
