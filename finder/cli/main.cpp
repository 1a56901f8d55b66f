// kavrel-find: runs one search of the finder without a window and prints the
// rows the results list would show.
#include "catalogue_commands.h"
#include "cli_options.h"
#include "name_check.h"
#include "row_printer.h"
#include "saved_search_commands.h"

#include "finder/coords/coordsys_pickers.h"
#include "finder/export/export_module.h"
#include "finder/export/stac_export.h"
#include "finder/folder_entries.h"
#include "finder/found_file.h"
#include "finder/program_startup.h"
#include "finder/saved_search_form.h"
#include "finder/search_controller.h"
#include "finder/search_status.h"
#include "kavrel/version.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// The search Ctrl+C stops; a lock-free atomic, so the handler may use it.
std::atomic<finder::SearchController*> interruptible{nullptr};
static_assert(std::atomic<finder::SearchController*>::is_always_lock_free);

extern "C" void onInterrupt(int) {
    if (finder::SearchController* search = interruptible.load())
        search->stop();
}

void reportDatabaseUnavailable(const std::string& file) {
    std::fprintf(stderr, "kavrel-find: cannot open the coordinate-system database %s\n",
                 file.c_str());
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
    const std::string file = finder::loadStartupSettings().databaseFile;
    const finder::PickerListResult result = finder::listPickerTexts(file, group, system);
    switch (result.status) {
    case PickerListStatus::DatabaseUnavailable:
        reportDatabaseUnavailable(file);
        return 1;
    case PickerListStatus::UnknownGroup:
        std::fprintf(stderr, "kavrel-find: %s\n", finder::cli::unknownGroupText(*group).c_str());
        return 2;
    case PickerListStatus::UnknownSystem:
        std::fprintf(stderr, "kavrel-find: %s\n",
                     finder::cli::unknownSystemText(*group, *system).c_str());
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

// The footprints of the rows printed; what was written and left out goes to
// standard error.
bool writeFootprints(const std::string& file, const std::vector<finder::ExportRow>& rows) {
    const finder::FootprintExport result = finder::moduleExportFootprints(file, rows);
    if (!result.error.empty()) {
        std::fprintf(stderr, "kavrel-find: %s\n", result.error.c_str());
        return false;
    }
    std::fprintf(stderr, "%s\n", finder::footprintsWrittenText(result, file).c_str());
    return true;
}

// The catalog of the rows printed; what was written goes to standard error.
bool writeStacCatalog(const std::string& folder, const std::vector<finder::ExportRow>& rows) {
    const finder::StacExport result = finder::moduleExportStacCatalog(folder, rows);
    if (!result.error.empty()) {
        std::fprintf(stderr, "kavrel-find: %s\n", result.error.c_str());
        return false;
    }
    std::fprintf(stderr, "%s\n", finder::stacWrittenText(result, folder).c_str());
    return true;
}

// The share of the area the rows printed cover, after the count, and the
// gaps written; what failed goes to standard error.
bool reportCoverage(const finder::cli::Options& options, const finder::AreaRect& area,
                    const std::vector<finder::ExportRow>& rows) {
    const finder::CoverageExport result =
        finder::moduleExportCoverage({area.x1, area.y1, area.x2, area.y2}, rows, options.gapsFile);
    if (options.coverage && result.share)
        std::fprintf(stderr, "%s\n", finder::areaCoveredText(*result.share).c_str());
    if (!result.error.empty()) {
        std::fprintf(stderr, "kavrel-find: %s\n", result.error.c_str());
        return false;
    }
    if (!options.gapsFile.empty())
        std::fprintf(stderr, "%s\n", finder::gapsWrittenText(result, options.gapsFile).c_str());
    return true;
}

// Runs the search of `form`; with --save-search, stores it afterwards
// (`savedHeader`: the header a saved search brought, else the form's).
int runSearch(const finder::cli::Options& options, const finder::CriteriaForm& form,
              std::optional<finder::SavedSearchHeader> savedHeader) {
    using namespace finder;
    const DateUtil::CivilDate today = DateUtil::todayUtc();
    const SearchCriteria criteria = buildCriteria(form, SearchCriteria{}, today).criteria;
    if (options.wantsCoverage() && !(criteria.has(CriteriaFlags::Area) && criteria.areaInDegrees)) {
        std::fprintf(stderr, "kavrel-find: %s needs an area in latitudes and longitudes\n",
                     options.coverage ? "--coverage" : "--gaps");
        return 2;
    }

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    cli::RowPrinter printer({options.sortColumn, options.descending, options.print0, options.json},
                            stdout);
    printer.keepPrintedRows(options.saveResults || !options.footprintsFile.empty() ||
                            !options.stacFolder.empty() || options.wantsCoverage());
    SearchController search(printer, directHandOff());
    search.setDatabaseFile(loadStartupSettings().databaseFile);
    search.setFootprintCache(!options.noCache);
    search.setCatalogueOnly(options.catalogueOnly);
    // JSON rows, footprints and the coverage use the facts the search read.
    if (options.json || !options.footprintsFile.empty() || !options.stacFolder.empty())
        search.setFactsWanted(FactsWanted::WithKeys);
    else if (options.wantsCoverage())
        search.setFactsWanted(FactsWanted::All);
    interruptible = &search;
    std::signal(SIGINT, onInterrupt);
    const SearchController::StartResult started = search.start(criteria);
    search.wait();
    std::signal(SIGINT, SIG_DFL);
    interruptible = nullptr;
    std::fflush(stdout);
    if (started == SearchController::StartResult::DatabaseUnavailable) {
        reportDatabaseUnavailable(search.databaseFile());
        return 1;
    }
    const SearchOutcome& outcome = printer.outcome();
    if (!outcome.cacheProblem.empty())
        std::fprintf(stderr, "kavrel-find: searching without the footprint cache: %s\n",
                     outcome.cacheProblem.c_str());
    if (!outcome.problem.empty())
        std::fprintf(stderr, "kavrel-find: %s\n", outcome.problem.c_str());
    if (options.catalogueOnly && outcome.catalogue.covered)
        std::fprintf(stderr, "%s\n",
                     cli::catalogueAgeLine(outcome.catalogue.newestNs, outcome.catalogue.oldestNs,
                                           wallClockNs())
                         .c_str());
    std::fprintf(stderr, "%s\n", filesFoundText(outcome.filesFound).c_str());
    int status = outcome.problem.empty() ? 0 : 1;
    if (options.wantsCoverage() && !reportCoverage(options, criteria.area, printer.printedRows()))
        status = 1;
    if (!options.footprintsFile.empty() &&
        !writeFootprints(options.footprintsFile, printer.printedRows()))
        status = 1;
    if (!options.stacFolder.empty() && !writeStacCatalog(options.stacFolder, printer.printedRows()))
        status = 1;
    if (!options.saveSearchFile.empty()) {
        SavedSearchHeader header =
            savedHeader.value_or(headerOfForm(form, options.lookInText, today));
        status =
            std::max(status, cli::storeSearch(options, std::move(header), printer.printedRows(),
                                              outcome.filesFound, stderr));
    }
    return status;
}

// --saved-search: the stored criteria, searched as any others.
int runSavedSearch(const finder::cli::Options& options) {
    const auto saved = finder::cli::loadSavedSearchOrReport(options.savedSearchFile, stderr);
    if (!saved)
        return 1;
    return runSearch(options, finder::formOfHeader(saved->header), saved->header);
}

} // namespace

int main(int argc, char** argv) {
    finder::prepareProcess();
    return finder::runProgram(
        [&] {
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
            if (parsed.options.version) {
                std::printf("kavrel-find %s\n", kavrel::kVersion);
                return 0;
            }
            if (parsed.options.catalogueStatus)
                return finder::cli::printCatalogueStatus(stdout, stderr);
            if (parsed.options.list != finder::cli::ListRequest::None)
                return printPickerList(parsed.options);
            for (const std::string* file :
                 {&parsed.options.footprintsFile, &parsed.options.gapsFile})
                if (!file->empty() && finder::moduleFootprintFormat(*file).empty()) {
                    std::fprintf(stderr, "kavrel-find: %s\n",
                                 finder::noFootprintFormatText(*file).c_str());
                    return 2;
                }
            if (!parsed.options.savedResultsFile.empty())
                return finder::cli::printSavedResults(parsed.options, stdout, stderr);
            if (!parsed.options.savedSearchFile.empty())
                return runSavedSearch(parsed.options);
            const std::string database = finder::loadStartupSettings().databaseFile;
            const auto names = finder::cli::checkPickedNames(parsed.options.form, database);
            if (names.status == finder::cli::NameCheckStatus::DatabaseUnavailable) {
                reportDatabaseUnavailable(database);
                return 1;
            }
            if (names.status == finder::cli::NameCheckStatus::UnknownName) {
                std::fprintf(stderr, "kavrel-find: %s\n", names.message.c_str());
                return 2;
            }
            return runSearch(parsed.options, parsed.options.form, std::nullopt);
        },
        [](const std::string& message) {
            std::fprintf(stderr, "kavrel-find: %s\n", message.c_str());
        });
}
