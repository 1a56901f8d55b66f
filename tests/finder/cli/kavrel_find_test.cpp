#include "cli_options.h"

#include "hive_env.h"
#include "kavrel_find_run.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace finder;
using cli::parseOptions;
using clitest::lines;
using clitest::runKavrelFind;
using clitest::RunResult;
using testsupport::TempDir;

TEST(KavrelFindOptions, each_criterion_reaches_the_form) {
    const cli::ParseResult r = parseOptions({"--named",
                                             "*.SHP",
                                             "--look-in",
                                             "/data/My Maps",
                                             "--no-subfolders",
                                             "--months",
                                             "999",
                                             "--area",
                                             "-10",
                                             "50",
                                             "10",
                                             "40",
                                             "--intersection",
                                             "--lat-lon",
                                             "--group",
                                             "UTM",
                                             "--system",
                                             "UTM-33N",
                                             "--datum",
                                             "WGS84",
                                             "--size-at-most",
                                             "120"});
    ASSERT_EQ(r.error, "");
    const CriteriaForm& f = r.options.form;
    EXPECT_EQ(f.namedText, "*.SHP");
    EXPECT_EQ(f.startFolder, "/data/My Maps");
    EXPECT_FALSE(f.includeSubfolders);
    EXPECT_TRUE(f.findAllModified && f.previousMonths && !f.between && !f.previousDays);
    EXPECT_EQ(f.prevMonthsText, std::to_string(monthsLimit(DateUtil::currentUtcYear())));
    EXPECT_EQ(f.southeastY, "40");
    EXPECT_EQ(f.areaMode, AreaMode::Intersection);
    EXPECT_TRUE(f.latLonMode);
    EXPECT_EQ(f.datumName, "WGS84");
    EXPECT_EQ(f.sizeMode, SizeMode::AtMost);
    EXPECT_EQ(f.kbText, "120");

    const SearchCriteria c = buildCriteria(f, {}, DateUtil::todayUtc()).criteria;
    EXPECT_EQ(c.flags, CriteriaFlags::DatePreviousMonths | CriteriaFlags::Area |
                           CriteriaFlags::CoordSysMatch | CriteriaFlags::Size);
}

TEST(KavrelFindOptions, defaults_are_those_of_a_new_search_in_the_current_folder) {
    const cli::ParseResult r = parseOptions({});
    ASSERT_EQ(r.error, "");
    const SearchCriteria c = buildCriteria(r.options.form, {}, DateUtil::todayUtc()).criteria;
    EXPECT_EQ(c.namePattern, "*.*");
    EXPECT_EQ(parseOptions({"--group", "( Any )"}).options.form.groupName, std::nullopt);
    EXPECT_EQ(c.startFolder, ".");
    EXPECT_TRUE(c.includeSubfolders);
    EXPECT_EQ(c.flags, CriteriaFlags::LayerTypes);
    EXPECT_TRUE(parseOptions({"--between", "1/1/2000", "12/31/2000"}).options.form.between);
}

// The edges of what each checked value may be; each row is accepted.
TEST(KavrelFindOptions, values_at_the_edges_of_their_ranges_are_accepted) {
    const std::vector<std::string> cases[] = {
        {"--between", "01/01/1980", "12/31/2107"}, // the dates a file's date can hold
        {"--between", "02/29/2020", "02/29/2020"}, // a leap day; start and end the same
        {"--between", "2/1/2000", "02/29/2000"},   // 2000 is a leap year
        {"--months", "1"},
        {"--days", "99999999999999"}, // back to 1980 at most
        {"--size-at-least", "0"},
        {"--size-at-most", "999999999"},
        {"--area", "10", "50", "10", "50"}, // an area of one point
        {"--group", "UTM", "--datum", "WGS84"},
        {"--stac", "out"},
    };
    for (const auto& args : cases)
        EXPECT_EQ(parseOptions(args).error, "") << args[0] << " " << args[1];
}

TEST(KavrelFindOptions, usage_errors_name_the_problem) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"/data"}, "unexpected argument \"/data\""},
        {{"--named"}, "--named needs 1 value(s)"},
        {{"--named", ""}, "--named needs a non-empty pattern"},
        {{"--area", "1", "2", "3"}, "--area needs 4 value(s)"},
        {{"--area", "1", "", "3", "4"}, "--area needs four non-empty corner values"},
        // Corners are checked as the corner boxes check them.
        {{"--area", "abc", "50", "20", "40"},
         "--area northwest X \"abc\": Invalid number format! "},
        {{"--area", "10", "50", "1e3", "40"},
         "--area southeast X \"1e3\": Invalid number format! "},
        {{"--area", "10", "-95 30", "20", "40"},
         "--area northwest Y \"-95 30\": Invalid Lat-Lon format:\nlatitude degrees must be "
         "between -90 and +90 inclusive."},
        {{"--area", "10", "50", "20", "45 75"},
         "--area southeast Y \"45 75\": Invalid Lat-Lon format:\nminutes must be between 0 "
         "and 60! "},
        {{"--list-groups", "--list-systems", "UTM"},
         "only one of --list-groups, --list-systems and --list-datums may be given"},
        {{"--list-datums", "UTM"}, "--list-datums needs 2 value(s)"},
        {{"--months", "x"}, "--months needs a whole number of at least 1, not \"x\""},
        {{"--days", "-1"}, "--days needs a whole number of at least 1, not \"-1\""},
        {{"--days", "0"}, "--days needs a whole number of at least 1, not \"0\""},
        {{"--between", "2000-01-01", "1/1/2001"},
         "--between needs dates as MM/DD/YYYY, not \"2000-01-01\""},
        {{"--between", "1/1/01", "1/1/2001"},
         "--between needs dates as MM/DD/YYYY, not \"1/1/01\""},
        {{"--between", "1/1/2001", "1/1/2001 "},
         "--between needs dates as MM/DD/YYYY, not \"1/1/2001 \""},
        // Dates that do not exist, before or after the dates of files, in the
        // wrong order.
        {{"--between", "13/45/2020", "01/01/2021"}, "--between: there is no date \"13/45/2020\""},
        {{"--between", "01/01/2020", "02/29/2021"}, "--between: there is no date \"02/29/2021\""},
        {{"--between", "04/31/2020", "05/01/2020"}, "--between: there is no date \"04/31/2020\""},
        {{"--between", "00/10/2020", "05/01/2020"}, "--between: there is no date \"00/10/2020\""},
        {{"--between", "12/31/1979", "01/01/1980"},
         "--between: the year of \"12/31/1979\" lies outside the dates files carry (1980 to "
         "2107)"},
        {{"--between", "01/01/2107", "01/01/2108"},
         "--between: the year of \"01/01/2108\" lies outside the dates files carry (1980 to "
         "2107)"},
        {{"--between", "03/01/2021", "02/28/2021"},
         "--between: the start \"03/01/2021\" is after the end \"02/28/2021\""},
        {{"--area", "10", "40", "20", "50"},
         "--area: the northwest Y \"40\" lies south of the southeast Y \"50\""},
        {{"--area", "20", "50", "10", "40"},
         "--area: the northwest X \"20\" lies east of the southeast X \"10\""},
        // Read in degrees: 10 30 W is -10.5, east of -11.
        {{"--area", "10 30 W", "50", "-11", "40", "--lat-lon"},
         "--area: the northwest X \"10 30 W\" lies east of the southeast X \"-11\""},
        {{"--months", "1", "--days", "2"},
         "only one of --between, --months and --days may be given"},
        {{"--size-at-least", "1", "--size-at-most", "2"},
         "only one of --size-at-least and --size-at-most may be given"},
        {{"--size-at-least", "1KB"},
         "--size-at-least needs a whole number of kilobytes from 0 to 999999999, not \"1KB\""},
        {{"--size-at-most", "1000000000"},
         "--size-at-most needs a whole number of kilobytes from 0 to 999999999, not "
         "\"1000000000\""},
        {{"--system", "UTM-33N"}, "--system needs --group"},
        {{"--datum", "WGS84"}, "--datum needs --group"},
        {{"--stac", ""}, "--stac needs a folder"},
        {{"--saved-search", ""}, "--saved-search needs a file"},
        {{"--sort", "date"}, "--sort needs name, folder, size, type or modified, not \"date\""},
        {{"--descending"}, "--descending needs --sort"},
        {{"--saved-search", "a.wqs", "--named", "*.SHP"},
         "--saved-search takes its criteria from the file: no criteria option may be given "
         "beside it"},
        {{"--saved-results", "a.wqs", "--save-search", "b.wqs"},
         "--saved-results prints a file's rows: no search option may be given beside it"},
        {{"--save-results"}, "--save-results needs --save-search"},
        {{"--format", "csv"}, "--format needs tsv or json, not \"csv\""},
        {{"--format", "json", "--print0"}, "only one of --print0 and --format json may be given"},
        {{"--footprints", ""}, "--footprints needs a file"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseOptions(c.args).error, c.error) << c.args[0];
}

// A search stored, its rows printed back, the search run again from the
// file, and damaged files refused with a message.
TEST(KavrelFind, saved_searches_store_reprint_and_rerun_a_search) {
    TempDir scratch;
    TempDir tree;
    tree.writeFile("a.txt", "1");
    tree.writeFile("sub/b.txt", std::string(3000, 'b'));
    tree.writeFile("c.dat", "1");
    const std::string saved = scratch / "s.wqs";
    const RunResult first = runKavrelFind(
        {"--named", "*.txt", "--look-in", tree.str(), "--save-search", saved, "--save-results"},
        scratch);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string bytes = TempDir::readFile(saved);

    const RunResult reprinted = runKavrelFind({"--saved-results", saved}, scratch);
    EXPECT_EQ(reprinted.status, 0);
    EXPECT_EQ(reprinted.out, first.out);
    EXPECT_EQ(reprinted.err, "2 file(s) found\n");
    const RunResult rerun = runKavrelFind({"--saved-search", saved}, scratch);
    EXPECT_EQ(rerun.status, 0);
    EXPECT_EQ(rerun.out, first.out);

    const struct {
        std::size_t length;
        std::vector<std::string> mode;
        std::string message;
    } damaged[] = {
        {0, {"--saved-search"}, "ends within its 1516-byte header"},
        {1515, {"--saved-results"}, "ends within its 1516-byte header"},
        {1520, {"--saved-results"}, "its rows end early: 0 of 2 row(s) were read"}, // one cut short
    };
    for (const auto& d : damaged) {
        const std::string cut = scratch.writeFile("cut.wqs", bytes.substr(0, d.length));
        std::vector<std::string> args = d.mode;
        args.push_back(cut);
        const RunResult run = runKavrelFind(args, scratch);
        EXPECT_EQ(run.status, 1) << d.length;
        EXPECT_NE(run.err.find(d.message), std::string::npos) << run.err;
    }
    const RunResult missing = runKavrelFind({"--saved-results", scratch / "none.wqs"}, scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
}

TEST(KavrelFind, prints_one_tab_separated_row_per_file_and_the_count) {
    TempDir scratch;
    TempDir tree;
    const std::string root = std::filesystem::canonical(tree.path()).string();
    tree.writeFile("roads.QMD", std::string(1025, 'r'));
    tree.writeFile("sub/lakes.qmd");
    tree.writeFile("sub/other.xyz");
    testsupport::ScopedEnv tz("TZ", "UTC");
    const timespec times[2] = {{920797530, 0}, {920797530, 0}}; // 7 March 1999 09:05 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, (root + "/roads.QMD").c_str(), times, 0), 0);

    const RunResult run = runKavrelFind({"--look-in", root, "--named", "*.qmd"}, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "2 file(s) found\n");
    const std::vector<std::string> rows = lines(run.out);
    ASSERT_EQ(rows.size(), 2u) << run.out;
    EXPECT_EQ(rows[0], "lakes.qmd\t" + root + "/sub\t0KB\tqmd File\t" +
                           rows[0].substr(rows[0].rfind('\t') + 1));
    EXPECT_EQ(rows[1], "roads.QMD\t" + root + "\t2KB\tQMD File\t3/7/1999 9:05 AM");

    const RunResult flat =
        runKavrelFind({"--look-in", root, "--no-subfolders", "--named", "*.qmd"}, scratch);
    EXPECT_EQ(flat.status, 0);
    EXPECT_EQ(lines(flat.out).size(), 1u);
    EXPECT_EQ(flat.err, "1 file(s) found\n");
}

TEST(KavrelFind, sorts_as_header_clicks_and_prints_paths_ended_by_nul) {
    TempDir scratch;
    TempDir tree;
    const std::string root = std::filesystem::canonical(tree.path()).string();
    tree.writeFile("b.qmd", std::string(10 * 1024, 'x'));
    tree.writeFile("A.qmd", std::string(9 * 1024, 'x'));
    tree.writeFile("My Maps/c.qmd", "x");
    const auto names = [](const std::string& out) {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line.substr(0, line.find('\t')));
        return result;
    };
    using Names = std::vector<std::string>;
    struct Case {
        std::vector<std::string> order;
        Names expected;
    } cases[] = {
        {{"--sort", "name"}, {"A.qmd", "b.qmd", "c.qmd"}},
        {{"--sort", "name", "--descending"}, {"c.qmd", "b.qmd", "A.qmd"}},
        {{"--sort", "size"}, {"c.qmd", "A.qmd", "b.qmd"}},
        {{"--sort", "size", "--descending"}, {"b.qmd", "A.qmd", "c.qmd"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--look-in", root, "--named", "*.qmd"};
        args.insert(args.end(), c.order.begin(), c.order.end());
        const RunResult run = runKavrelFind(args, scratch);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(names(run.out), c.expected) << c.order.back();
    }
    const RunResult paths = runKavrelFind(
        {"--look-in", root, "--named", "*.qmd", "--sort", "name", "--print0"}, scratch);
    EXPECT_EQ(paths.out,
              root + "/A.qmd" + '\0' + root + "/b.qmd" + '\0' + root + "/My Maps/c.qmd" + '\0');
}

TEST(KavrelFind, names_that_are_not_utf8_are_printed_byte_for_byte) {
    TempDir scratch;
    TempDir tree;
    const std::string root = std::filesystem::canonical(tree.path()).string();
    const std::string folder = root + "/caf\xe9 d\x80";
    tree.writeFile("caf\xe9 d\x80/x\xff.qmd", "x");
    const RunResult rows = runKavrelFind({"--look-in", root, "--named", "*.qmd"}, scratch);
    EXPECT_EQ(rows.out, "x\xff.qmd\t" + folder + "\t1KB\tqmd File\t" +
                            rows.out.substr(rows.out.rfind('\t') + 1));
    const RunResult paths =
        runKavrelFind({"--look-in", root, "--named", "*.qmd", "--print0"}, scratch);
    EXPECT_EQ(paths.out, folder + "/x\xff.qmd" + '\0');
}

// Pipes, a socket and a link to a device, all named like data files, fail
// the layer tests without holding the search up; a tree deeper than the
// guard ends the search with the window's message.
TEST(KavrelFind, entries_that_are_not_files_never_stall_it_and_a_tree_too_deep_says_so) {
    TempDir scratch;
    TempDir tree;
    const std::string root = std::filesystem::canonical(tree.path()).string();
    ASSERT_EQ(::mkfifo((root + "/pipe.shp").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((root + "/pipe.tab").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (root + "/zero.tif").c_str()), 0);
    std::string deep = root;
    for (int level = 0; level < 300; ++level)
        ASSERT_EQ(::mkdir((deep += "/d").c_str(), 0755), 0);
    const RunResult run = runKavrelFind(
        {"--look-in", root, "--area", "-180", "90", "180", "-90", "--lat-lon"}, scratch);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "kavrel-find: The maximum number of files has been exceeded.\n"
                       "0 file(s) found\n");
}

TEST(KavrelFind, exit_status_tells_usage_errors_from_failed_searches) {
    TempDir scratch;
    const RunResult help = runKavrelFind({"--help"}, scratch);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--size-at-least KB"), std::string::npos);

    const RunResult usage = runKavrelFind({"--months"}, scratch);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_NE(usage.err.find("--months needs 1 value(s)"), std::string::npos);

    const RunResult missing = runKavrelFind({"--look-in", scratch / "missing"}, scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
    EXPECT_NE(missing.err.find("0 file(s) found"), std::string::npos);
}

} // namespace

namespace {

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";
const std::string kUtm = "Universal Transverse Mercator (UTM)";

// Registry hives whose database path is the built coordinate-system database.
testsupport::HiveEnv databaseHives() {
    return testsupport::HiveEnv("REGEDIT4\n\n[Software\\Quorvane Geo]\n\"DataBasePath\"=\"" +
                                std::string(KAVREL_DATA_DIR) + "\"\n");
}

// The names of the rows found, sorted.
std::vector<std::string> namesFound(const RunResult& run) {
    std::vector<std::string> names;
    for (const std::string& row : lines(run.out))
        names.push_back(row.substr(0, row.find('\t')));
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;

TEST(KavrelFind, area_modes_over_the_samples_compare_projected_files_in_degrees) {
    TempDir scratch;
    // Roughly Europe; the files in UTM 33N, the State Plane file and the
    // lat/lon files are all judged in degrees.
    const std::vector<std::string> area = {"--look-in", kSamples, "--area", "-40",
                                           "75",        "70",     "30",     "--lat-lon"};
    auto with = [&](const char* mode) {
        std::vector<std::string> args = area;
        args.push_back(mode);
        return args;
    };
    const RunResult inside = runKavrelFind(with("--inclusive"), scratch);
    EXPECT_EQ(inside.status, 0) << inside.err;
    EXPECT_EQ(
        namesFound(inside),
        (Names{"N45E007.hgt", "central_etrs89.gml", "central_etrs89.shp", "cloud.laz",
               "cloud_1_2.las", "cloud_1_4.las", "drone_photo.jpg", "europe_utm33.fgb",
               "europe_utm33.mif", "europe_utm33.nc", "europe_utm33.shp", "europe_utm33.tif"}));
    const RunResult outside = runKavrelFind(with("--exclusive"), scratch);
    EXPECT_EQ(namesFound(outside),
              (Names{"South America.tab", "europe.dgn", "new_york_stateplane.shp",
                     "south_america.kmz", "us_cities.shp"}));
    const RunResult across = runKavrelFind(with("--intersection"), scratch);
    const Names acrossNames = namesFound(across);
    EXPECT_EQ(acrossNames.size(), 22u) << across.out;
    EXPECT_TRUE(std::binary_search(acrossNames.begin(), acrossNames.end(), "countries.shp"));
}

TEST(KavrelFind, coordinate_system_options_take_the_names_the_lists_print) {
    TempDir scratch;
    const auto hives = databaseHives();
    const RunResult groups = runKavrelFind({"--list-groups"}, scratch);
    ASSERT_EQ(groups.status, 0) << groups.err;
    EXPECT_EQ(groups.out.rfind("( Any )\nLongitude / Latitude\n", 0), 0u);
    EXPECT_NE(groups.out.find("\n" + kUtm + "\n"), std::string::npos);

    const RunResult systems = runKavrelFind({"--list-systems", kUtm}, scratch);
    EXPECT_EQ(systems.status, 0);
    EXPECT_EQ(systems.out.rfind("( Any )\n", 0), 0u);
    EXPECT_NE(systems.out.find("\nUTM zone 33N\n"), std::string::npos);

    const RunResult datums = runKavrelFind({"--list-datums", kUtm, "UTM zone 33N"}, scratch);
    EXPECT_EQ(datums.status, 0);
    EXPECT_EQ(datums.out.rfind("( Any )\n", 0), 0u);
    for (const char* datum : {"\nWGS84\n", "\nETRS89\n"})
        EXPECT_NE(datums.out.find(datum), std::string::npos) << datum;

    // The printed names select the files of that system.
    const std::vector<std::string> search = {"--look-in", kSamples,   "--group",
                                             kUtm,        "--system", "UTM zone 33N"};
    auto withDatum = [&](const char* datum) {
        std::vector<std::string> args = search;
        args.insert(args.end(), {"--datum", datum});
        return args;
    };
    EXPECT_EQ(namesFound(runKavrelFind(withDatum("ETRS89"), scratch)),
              (Names{"central_etrs89.gml", "central_etrs89.shp"}));
    // The GeoPackage holds a layer in UTM 33N beside one in degrees.
    EXPECT_EQ(
        namesFound(runKavrelFind(withDatum("WGS84"), scratch)),
        (Names{"cloud_1_2.las", "cloud_1_4.las", "countries.gpkg", "europe_utm33.fgb",
               "europe_utm33.mif", "europe_utm33.nc", "europe_utm33.shp", "europe_utm33.tif"}));
}

TEST(KavrelFind, unknown_names_to_list_are_usage_errors) {
    TempDir scratch;
    const auto hives = databaseHives();
    const RunResult group = runKavrelFind({"--list-systems", "No Such Group"}, scratch);
    EXPECT_EQ(group.status, 2);
    EXPECT_EQ(group.out, "");
    EXPECT_NE(group.err.find("no coordinate-system group is named \"No Such Group\""),
              std::string::npos);
    const RunResult system = runKavrelFind({"--list-datums", kUtm, "UTM zone 99N"}, scratch);
    EXPECT_EQ(system.status, 2);
    EXPECT_NE(system.err.find("has no system named \"UTM zone 99N\""), std::string::npos);
    const RunResult corner = runKavrelFind({"--area", "10", "-95 30", "20", "40"}, scratch);
    EXPECT_EQ(corner.status, 2);
    EXPECT_NE(corner.err.find("Invalid Lat-Lon format:\nlatitude degrees"), std::string::npos);
}

// A search by a name the database does not know would find nothing without
// a word: it stops before searching, naming the option and the name.
TEST(KavrelFind, unknown_names_to_search_by_are_usage_errors) {
    TempDir scratch;
    const auto hives = databaseHives();
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--group", "No Such Group"},
         "--group: no coordinate-system group is named \"No Such Group\" (--list-groups lists "
         "them)"},
        {{"--group", kUtm, "--system", "UTM zone 99N"},
         "--system: the group \"" + kUtm +
             "\" has no system named \"UTM zone 99N\" (--list-systems lists them)"},
        {{"--group", kUtm, "--system", "UTM zone 33N", "--datum", "NAD27 Mars"},
         "--datum: the system \"UTM zone 33N\" has no datum named \"NAD27 Mars\" (--list-datums "
         "lists them)"},
        {{"--group", kUtm, "--datum", "NAD27 Mars"},
         "--datum: no datum is named \"NAD27 Mars\" (--list-datums lists those of a system)"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--look-in", scratch.str()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult run = runKavrelFind(args, scratch);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err, "kavrel-find: " + c.message + "\n");
        EXPECT_EQ(run.out, "");
    }
}

} // namespace

// Every output of one search is the same, run after run, while two threads
// keep both cores busy and the reader pool and the JSON rows read files at
// once: drawings the CAD driver refuses lie beside the samples' files.
TEST(KavrelFind, the_same_search_beside_busy_cores_prints_the_same_json_every_time) {
    TempDir scratch;
    TempDir tree;
    std::filesystem::copy(kSamples, tree.path(), std::filesystem::copy_options::recursive);
    for (const char* version : {"AC1018", "AC1021", "AC1015", "AC1012"})
        tree.writeFile(std::string("cad/") + version + ".dwg",
                       std::string(version) + std::string(4096, '\x05'));
    std::atomic<bool> busy{true};
    std::vector<std::thread> spinners;
    for (int i = 0; i < 2; ++i)
        spinners.emplace_back([&busy] {
            volatile unsigned long n = 0;
            while (busy.load(std::memory_order_relaxed))
                n = n + 1;
        });
    std::vector<std::string> outputs;
    for (int run = 0; run < 6; ++run) {
        const RunResult result =
            runKavrelFind({"--look-in", tree.str(), "--format", "json", "--no-cache"}, scratch);
        EXPECT_EQ(result.status, 0) << result.err;
        outputs.push_back(result.out);
    }
    busy = false;
    for (std::thread& spinner : spinners)
        spinner.join();
    ASSERT_FALSE(outputs.front().empty());
    for (std::size_t run = 1; run < outputs.size(); ++run)
        EXPECT_EQ(outputs[run], outputs.front()) << "run " << run;
}
