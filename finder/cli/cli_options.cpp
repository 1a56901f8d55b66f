#include "cli_options.h"

#include "value_checks.h"

#include <finder/coords/coordsys_pickers.h>
#include <finder/coords/corner_entry.h>
#include <finder/joined_text.h>
#include <finder/result_order.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace finder::cli {
namespace {

// One option: its name, how many values follow it, and what it sets.
struct OptionRule {
    const char* name;
    int values;
    // Returns an error text, empty when the values were taken.
    std::function<std::string(Options&, const std::vector<std::string>&)> apply;
};

// An option without a value that switches `flag` on.
auto switchOn(bool Options::*flag) {
    return [flag](Options& o, const std::vector<std::string>&) {
        o.*flag = true;
        return std::string();
    };
}

// Sets a file or folder value; an empty one names nothing.
std::string setPath(std::string& target, const char* option, const char* what,
                    const std::string& value) {
    target = value;
    return value.empty() ? joined({option, " needs ", what}) : std::string();
}

std::string setDateMode(CriteriaForm& form, bool between, bool months, bool days) {
    if (form.findAllModified)
        return "only one of --between, --months and --days may be given";
    form.findAllModified = true;
    form.between = between;
    form.previousMonths = months;
    form.previousDays = days;
    return {};
}

// --months / --days: the count as the window's box would correct it.
std::string setCount(CriteriaForm& form, DateUtil::BackUnit unit, const char* option,
                     const std::string& value) {
    if (std::string error = checkCount(option, value); !error.empty())
        return error;
    const bool months = unit == DateUtil::BackUnit::Months;
    const int year = DateUtil::currentUtcYear();
    const int limit = months ? monthsLimit(year) : daysLimit(year);
    (months ? form.prevMonthsText : form.prevDaysText) =
        correctedCountText(value, limit).value_or(value);
    return setDateMode(form, false, months, !months);
}

std::string setSize(CriteriaForm& form, SizeMode mode, const char* option,
                    const std::string& value) {
    if (form.sizeMode != SizeMode::None)
        return "only one of --size-at-least and --size-at-most may be given";
    if (std::string error = checkKilobytes(option, value); !error.empty())
        return error;
    form.sizeMode = mode;
    form.kbText = value;
    return {};
}

// The corners are checked as the corner boxes check them on leaving.
std::string setArea(CriteriaForm& form, const std::vector<std::string>& values) {
    static const char* const names[] = {"northwest X", "northwest Y", "southeast X", "southeast Y"};
    for (std::size_t i = 0; i < 4; ++i) {
        if (values[i].empty())
            return "--area needs four non-empty corner values";
        const coords::CornerCheck check = coords::checkCornerText(values[i], i % 2 == 0);
        if (!check.ok)
            return joined({"--area ", names[i], " \"", values[i], "\": ", check.message});
    }
    form.northwestX = values[0];
    form.northwestY = values[1];
    form.southeastX = values[2];
    form.southeastY = values[3];
    return {};
}

// A picker's name; its "( Any )" item restricts nothing.
std::optional<std::string> pickedName(const std::string& name) {
    if (name == kAnyItemText)
        return std::nullopt;
    return name;
}

std::string setList(Options& options, ListRequest list, const std::vector<std::string>& values) {
    if (options.list != ListRequest::None)
        return "only one of --list-groups, --list-systems and --list-datums may be given";
    options.list = list;
    if (!values.empty())
        options.listGroup = values[0];
    if (values.size() > 1)
        options.listSystem = values[1];
    return {};
}

std::string setSort(Options& options, const std::string& column) {
    static const char* const names[] = {"name", "folder", "size", "type", "modified"};
    for (int c = 0; c < kResultColumnCount; ++c)
        if (column == names[c]) {
            options.sortColumn = c;
            return {};
        }
    return joined({"--sort needs name, folder, size, type or modified, not \"", column, "\""});
}

std::string setFormat(Options& options, const std::string& format) {
    if (format != "tsv" && format != "json")
        return joined({"--format needs tsv or json, not \"", format, "\""});
    options.json = format == "json";
    return {};
}

// The options that set a criterion, which a saved search brings itself.
bool isCriterion(const std::string& option) {
    static const char* const names[] = {
        "--named",  "--look-in",   "--no-subfolders", "--between",      "--months",  "--days",
        "--area",   "--inclusive", "--exclusive",     "--intersection", "--lat-lon", "--group",
        "--system", "--datum",     "--size-at-least", "--size-at-most"};
    return std::find(std::begin(names), std::end(names), option) != std::end(names);
}

// A Look-in folder as Browse puts it into the list: absolute, without a
// trailing "/".
std::string lookInTextOf(const std::string& folder) {
    std::error_code error;
    std::string text = std::filesystem::absolute(folder, error).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text.empty() ? folder : text;
}

const std::vector<OptionRule>& rules() {
    static const std::vector<OptionRule> table = {
        {"--named", 1,
         [](Options& o, const auto& v) {
             o.form.namedText = v[0];
             return v[0].empty() ? std::string("--named needs a non-empty pattern") : std::string();
         }},
        {"--look-in", 1,
         [](Options& o, const auto& v) {
             o.form.startFolder = lookInStartFolder(v[0], LookInKind::Folder);
             o.lookInText = v[0];
             return v[0].empty() ? std::string("--look-in needs a folder") : std::string();
         }},
        {"--no-subfolders", 0,
         [](Options& o, const auto&) {
             o.form.includeSubfolders = false;
             return std::string();
         }},
        {"--between", 2,
         [](Options& o, const auto& v) {
             if (std::string error = checkBetween(v[0], v[1]); !error.empty())
                 return error;
             o.form.dateStartText = v[0];
             o.form.dateEndText = v[1];
             return setDateMode(o.form, true, false, false);
         }},
        {"--months", 1,
         [](Options& o, const auto& v) {
             return setCount(o.form, DateUtil::BackUnit::Months, "--months", v[0]);
         }},
        {"--days", 1,
         [](Options& o, const auto& v) {
             return setCount(o.form, DateUtil::BackUnit::Days, "--days", v[0]);
         }},
        {"--area", 4, [](Options& o, const auto& v) { return setArea(o.form, v); }},
        {"--inclusive", 0,
         [](Options& o, const auto&) {
             o.form.areaMode = AreaMode::Inclusive;
             return std::string();
         }},
        {"--exclusive", 0,
         [](Options& o, const auto&) {
             o.form.areaMode = AreaMode::Exclusive;
             return std::string();
         }},
        {"--intersection", 0,
         [](Options& o, const auto&) {
             o.form.areaMode = AreaMode::Intersection;
             return std::string();
         }},
        {"--lat-lon", 0,
         [](Options& o, const auto&) {
             o.form.latLonMode = true;
             return std::string();
         }},
        {"--group", 1,
         [](Options& o, const auto& v) {
             o.form.groupName = pickedName(v[0]);
             return std::string();
         }},
        {"--system", 1,
         [](Options& o, const auto& v) {
             o.form.systemName = pickedName(v[0]);
             return std::string();
         }},
        {"--datum", 1,
         [](Options& o, const auto& v) {
             o.form.datumName = pickedName(v[0]);
             return std::string();
         }},
        {"--size-at-least", 1,
         [](Options& o, const auto& v) {
             return setSize(o.form, SizeMode::AtLeast, "--size-at-least", v[0]);
         }},
        {"--size-at-most", 1,
         [](Options& o, const auto& v) {
             return setSize(o.form, SizeMode::AtMost, "--size-at-most", v[0]);
         }},
        {"--list-groups", 0,
         [](Options& o, const auto& v) { return setList(o, ListRequest::Groups, v); }},
        {"--list-systems", 1,
         [](Options& o, const auto& v) { return setList(o, ListRequest::Systems, v); }},
        {"--list-datums", 2,
         [](Options& o, const auto& v) { return setList(o, ListRequest::Datums, v); }},
        {"--sort", 1, [](Options& o, const auto& v) { return setSort(o, v[0]); }},
        {"--descending", 0, switchOn(&Options::descending)},
        {"--print0", 0, switchOn(&Options::print0)},
        {"--no-cache", 0, switchOn(&Options::noCache)},
        {"--catalogue-only", 0, switchOn(&Options::catalogueOnly)},
        {"--catalogue-status", 0, switchOn(&Options::catalogueStatus)},
        {"--saved-search", 1,
         [](Options& o, const auto& v) {
             return setPath(o.savedSearchFile, "--saved-search", "a file", v[0]);
         }},
        {"--saved-results", 1,
         [](Options& o, const auto& v) {
             return setPath(o.savedResultsFile, "--saved-results", "a file", v[0]);
         }},
        {"--save-search", 1,
         [](Options& o, const auto& v) {
             return setPath(o.saveSearchFile, "--save-search", "a file", v[0]);
         }},
        {"--save-results", 0, switchOn(&Options::saveResults)},
        {"--format", 1, [](Options& o, const auto& v) { return setFormat(o, v[0]); }},
        {"--footprints", 1,
         [](Options& o, const auto& v) {
             return setPath(o.footprintsFile, "--footprints", "a file", v[0]);
         }},
        {"--stac", 1,
         [](Options& o, const auto& v) {
             return setPath(o.stacFolder, "--stac", "a folder", v[0]);
         }},
        {"--coverage", 0, switchOn(&Options::coverage)},
        {"--gaps", 1,
         [](Options& o, const auto& v) { return setPath(o.gapsFile, "--gaps", "a file", v[0]); }},
        {"--help", 0, switchOn(&Options::help)},
        {"--version", 0, switchOn(&Options::version)},
    };
    return table;
}

} // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    Options& options = result.options;
    options.form.startFolder.assign(1, '.'); // the current folder
    // Corner values are read as typed unless --lat-lon says they are all
    // latitudes and longitudes.
    options.form.latLonMode = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto& table = rules();
        const auto rule = std::find_if(table.begin(), table.end(),
                                       [&](const OptionRule& r) { return arg == r.name; });
        if (rule == table.end()) {
            result.error = arg.rfind("-", 0) == 0 ? joined({"unknown option ", arg})
                                                  : joined({"unexpected argument \"", arg, "\""});
            return result;
        }
        const auto count = static_cast<std::size_t>(rule->values);
        if (args.size() - i - 1 < count) {
            result.error = joined({arg, " needs ", std::to_string(count), " value(s)"});
            return result;
        }
        const std::vector<std::string> values(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                              args.begin() +
                                                  static_cast<std::ptrdiff_t>(i + 1 + count));
        options.criteriaGiven |= isCriterion(arg);
        result.error = rule->apply(options, values);
        if (!result.error.empty())
            return result;
        i += count;
    }
    options.lookInText = lookInTextOf(options.lookInText.empty() ? "." : options.lookInText);
    const CriteriaForm& form = options.form;
    if (form.systemName && !form.groupName)
        result.error = "--system needs --group";
    else if (form.datumName && !form.groupName)
        result.error = "--datum needs --group";
    else if (!options.savedSearchFile.empty() && options.criteriaGiven)
        result.error = "--saved-search takes its criteria from the file: no criteria option "
                       "may be given beside it";
    else if (!options.savedResultsFile.empty() &&
             (options.criteriaGiven || !options.savedSearchFile.empty() ||
              !options.saveSearchFile.empty() || options.wantsCoverage()))
        result.error = "--saved-results prints a file's rows: no search option may be given "
                       "beside it";
    else if (options.saveResults && options.saveSearchFile.empty())
        result.error = "--save-results needs --save-search";
    else if (options.descending && options.sortColumn < 0)
        result.error = "--descending needs --sort";
    else if (options.catalogueOnly && options.noCache)
        result.error = "--catalogue-only answers from the footprint cache's catalogue: not with "
                       "--no-cache";
    else if (options.print0 && options.json)
        result.error = "only one of --print0 and --format json may be given";
    else if (options.wantsCoverage() && form.northwestX.empty() && options.savedSearchFile.empty())
        result.error = options.coverage ? "--coverage needs --area" : "--gaps needs --area";
    else if (!form.northwestX.empty())
        result.error = checkAreaOrder(form.northwestX, form.northwestY, form.southeastX,
                                      form.southeastY, form.latLonMode);
    return result;
}

const char* usageText() {
    return R"usage(Usage: kavrel-find [OPTION]...
Finds geographic data files as the Atlion Find window does and prints one row
per file: name, folder, size, type and modified date, separated by tabs. The
count "N file(s) found" goes to standard error.

Name and location:
  --named PATTERN        file-name pattern with * and ? (letter case ignored);
                         default "( All types )": every file of a known layer type
  --look-in FOLDER       folder where the search begins; default the current folder
  --no-subfolders        search the start folder only

Date modified (at most one):
  --between START END    modified between two dates, MM/DD/YYYY, both included:
                         real dates from 1980 to 2107, the start not after the end
  --months N             modified during the previous N months (N at least 1)
  --days N               modified during the previous N days (N at least 1)

Geographic area:
  --area NWX NWY SEX SEY corners of the area: northwest X and Y, southeast X and Y,
                         checked as the corner boxes check them: plain numbers, or
                         latitudes/longitudes such as 45.5, 45 30 N, -12 15 30
  --inclusive            the file lies wholly inside the area (default)
  --exclusive            the file lies wholly outside the area
  --intersection         the file overlaps the area without lying inside it
  --lat-lon              the corners are latitudes and longitudes, as the map gives
                         them; without it they are when the northwest X looks like a
                         longitude. A projected file is then compared in degrees.

Coordinate system:
  --group NAME           coordinate-system group, as the window lists it
  --system NAME          system of that group (needs --group)
  --datum NAME           datum (needs --group); of the system's list when a
                         system is given
  --list-groups          print the System Group list, one name a line
  --list-systems GROUP   print the System list of GROUP
  --list-datums GROUP SYSTEM
                         print the Datum list of SYSTEM in GROUP

Size:
  --size-at-least KB     at least KB kilobytes (1 KB = 1024 bytes), 0 to 999999999
  --size-at-most KB      at most KB kilobytes

Output:
  --sort COLUMN          print the rows sorted as a click on the column's header
                         sorts them: name, folder, size, type or modified
  --descending           as a second click on that column: the reverse order
  --print0               print each file's full path followed by a NUL byte
                         (for xargs -0) instead of the row texts
  --format FORMAT        tsv: the row texts separated by tabs (default); json: one
                         JSON object a line with the texts, "path" and, where known,
                         the file's "extent" (in its own coordinates) and "keys"
                         (coordinate-system group, system, datum and units)
  --footprints FILE      also write the files' extents as polygons in longitude/
                         latitude (WGS 84) to FILE, in the format its extension
                         names: .gpkg, .geojson, .shp, .fgb or another GDAL vector
                         format; files without a known extent are left out
  --stac FOLDER          also write a static STAC catalog of the files to FOLDER:
                         catalog.json and one Item per file (its footprint, date,
                         size, coordinate system and the file as its asset)
  --coverage             also print the share of the area (--area, in latitudes and
                         longitudes) that the files' footprints cover, as "Area
                         covered: 87%", to standard error after the count
  --gaps FILE            also write the parts of the area that no footprint covers
                         as polygons in longitude/latitude (WGS 84) to FILE, in the
                         format its extension names (as --footprints)

Saved searches (the window's File > Save Search files, .wqs):
  --saved-search FILE    run the search stored in FILE (no criteria option beside it)
  --saved-results FILE   print the rows stored in FILE without searching
  --save-search FILE     after the search, store it in FILE as the window would
  --save-results         store the rows found with it

Footprint cache and catalogue:
  --no-cache             read every file, neither using nor filling the cache of
                         what files told earlier searches ($XDG_CACHE_HOME/kavrel/
                         footprints.sqlite) nor its catalogue of the folders
                         searched; KAVREL_CACHE=off does the same
  --catalogue-only       answer from the catalogue alone, walking no folder, and
                         tell on standard error how old its newest and oldest
                         folder entries are; without it, rows are printed once
                         the walk has confirmed them
  --catalogue-status     print the folders the catalogue knows, those kavrel-watch
                         watches and vouches for, and those it cannot watch and why

  --help                 show this text
  --version              show the program's name and version

Exit status: 0 when the search ran, 1 when it could not run, the folder tree
was too deep, a saved-search file could not be read or written whole or the
footprints, the catalog, the coverage or the gaps could not be made, 2 for a
usage error (also a value that cannot mean anything: a bad corner or date, a
count or size out of range, an unknown group, system or datum, a footprint or
gaps file of no format, a coverage without an area in degrees).
Ctrl+C stops the search and prints the count.
)usage";
}

} // namespace finder::cli
