#include "finder/search_controller.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <string>
#include <vector>

namespace {

using namespace finder;
using testsupport::TempDir;
using Kind = WalkResult::Kind;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";
const std::string kDatabase = std::string(KAVREL_DATA_DIR) + "/datora.dat";

// Records what the search told, in order; the hand-off is direct, so the
// calls come on the search's thread.
struct Recorder : SearchListener {
    std::vector<std::string> events;
    std::vector<std::string> names;
    SearchOutcome outcome;
    SearchController* controller = nullptr;
    bool databaseHeldWhileFound = false;

    void searchStarted() override { events.push_back("started"); }
    void statusChanged(const std::string& text) override { events.push_back(text); }
    void rowsFound(const std::vector<FoundRow>& rows) override {
        for (const FoundRow& row : rows)
            found(std::string(row.file.name()));
    }
    virtual void found(const std::string& name) {
        events.push_back("file " + name);
        names.push_back(name);
        databaseHeldWhileFound = controller->databaseHandle() != nullptr;
    }
    void searchFinished(const SearchOutcome& o) override {
        events.push_back("finished");
        outcome = o;
    }
};

SearchCriteria criteriaFor(const std::string& folder, const std::string& pattern) {
    SearchCriteria c;
    c.startFolder = folder;
    c.namePattern = pattern;
    return c;
}

TEST(SearchController, database_is_held_only_by_searches_that_compare_systems) {
    struct Case {
        const char* what;
        const char* group; // nullptr: any
        std::string databaseFile;
        SearchController::StartResult started;
        bool someRow;
    } cases[] = {
        {"name search, no database", nullptr, "/nonexistent/datora.dat",
         SearchController::StartResult::Started, true},
        {"system search, no database", "UTM", "/nonexistent/datora.dat",
         SearchController::StartResult::DatabaseUnavailable, false},
        {"system search", "UTM", kDatabase, SearchController::StartResult::Started, true},
    };
    for (const Case& c : cases) {
        Recorder rec;
        SearchController search(rec, directHandOff());
        rec.controller = &search;
        search.setDatabaseFile(c.databaseFile);
        SearchCriteria criteria = criteriaFor(kSamples, "*.shp");
        if (c.group) {
            criteria.groupName = c.group;
            criteria.flags |= CriteriaFlags::CoordSysMatch;
        }
        EXPECT_EQ(search.start(criteria), c.started) << c.what;
        search.wait();
        EXPECT_EQ(!rec.names.empty(), c.someRow) << c.what;
        EXPECT_EQ(rec.databaseHeldWhileFound, c.group != nullptr && c.someRow) << c.what;
        EXPECT_EQ(search.databaseHandle(), nullptr) << c.what; // closed at the end
        EXPECT_FALSE(search.running()) << c.what;
    }
}

TEST(SearchController, listener_hears_start_rows_with_their_folder_and_the_end) {
    TempDir dir;
    dir.writeFile("a.shp");
    dir.writeFile("sub/b.shp");
    Recorder rec;
    SearchController search(rec, directHandOff());
    rec.controller = &search;
    ASSERT_EQ(search.start(criteriaFor(dir.str(), "*.shp")),
              SearchController::StartResult::Started);
    search.wait();
    const std::vector<std::string> expected = {
        "started",
        "file a.shp",
        "Searching: " + dir.str(),
        "Searching: " + dir.str() + "/sub",
        "file b.shp",
        "Searching: " + dir.str() + "/sub",
        "finished",
    };
    EXPECT_EQ(rec.events, expected);
    EXPECT_EQ(rec.outcome.walk, WalkResult::done());
    EXPECT_EQ(rec.outcome.filesFound, 2u);
    EXPECT_EQ(rec.outcome.problem, "");
}

TEST(SearchController, stop_ends_the_running_search_and_a_second_start_waits_for_it) {
    TempDir dir;
    for (const char* name : {"1.shp", "2.shp", "3.shp"})
        dir.writeFile(name);
    struct Blocking : Recorder {
        std::promise<void> reached;
        std::promise<void> release;
        void found(const std::string& name) override {
            Recorder::found(name);
            if (names.size() == 1) {
                reached.set_value();
                release.get_future().wait();
            }
        }
    } rec;
    SearchController search(rec, directHandOff());
    rec.controller = &search;
    ASSERT_EQ(search.start(criteriaFor(dir.str(), "*.shp")),
              SearchController::StartResult::Started);
    rec.reached.get_future().wait();
    EXPECT_TRUE(search.running());
    EXPECT_EQ(search.start(criteriaFor(dir.str(), "*.shp")), SearchController::StartResult::Busy);
    search.stop();
    rec.release.set_value();
    search.wait();
    EXPECT_EQ(rec.outcome.walk.kind, Kind::Stopped);
    EXPECT_EQ(rec.names.size(), 1u);
    EXPECT_EQ(rec.outcome.problem, "");
}

TEST(SearchController, start_folder_that_cannot_be_searched_ends_with_its_problem) {
    Recorder rec;
    SearchController search(rec, directHandOff());
    rec.controller = &search;
    ASSERT_EQ(search.start(criteriaFor("/nonexistent/maps", "*.*")),
              SearchController::StartResult::Started);
    search.wait();
    EXPECT_EQ(rec.outcome.walk, WalkResult::folderNotEntered(ENOENT));
    EXPECT_EQ(rec.outcome.problem, "cannot search /nonexistent/maps: No such file or directory");
    EXPECT_EQ(rec.outcome.filesFound, 0u);
}

TEST(WalkResult, each_kind_has_its_code_and_text) {
    struct Case {
        WalkResult result;
        std::uint32_t code;
        const char* text;
    } cases[] = {
        {WalkResult::done(), 0, ""},
        {WalkResult::of(Kind::Stopped), 0x8001, ""},
        {WalkResult::of(Kind::NoCallback), 0x8000, "nothing to report the files to"},
        {WalkResult::of(Kind::TooDeep), 0xC00000FD,
         "The maximum number of files has been exceeded."},
        {WalkResult::of(Kind::SubfoldersNotListed), 1, "cannot list /maps"},
        {WalkResult::folderNotEntered(EACCES), EACCES, "cannot search /maps: Permission denied"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.code(), c.code) << c.text;
        EXPECT_EQ(walkProblemText(c.result, "/maps"), c.text);
    }
}

} // namespace
