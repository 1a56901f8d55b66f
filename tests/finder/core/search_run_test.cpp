#include "finder/search_run.h"
#include "finder/search_status.h"

#include "limited_child.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace finder;
using testsupport::TempDir;

std::string currentFolder() {
    return std::filesystem::current_path().string();
}

// Runs one search and records what it handed out, in order.
struct Recorder {
    std::vector<std::string> files;   // folder + "/" + name
    std::vector<std::string> folders; // folderEntered arguments
    std::vector<std::string> events;  // both, "F " / "D " prefixed
    std::vector<FoundFile> entries;
    std::atomic<bool> stop{false};
    WalkResult result;
    std::size_t stopAfterFiles = 0;
    int depthLimit = SearchRun::DefaultDepthLimit;

    WalkResult run(const SearchCriteria& criteria) {
        SearchCallbacks callbacks;
        callbacks.folderEntered = [this](const std::string& folder) {
            folders.push_back(folder);
            events.push_back(std::string("D ").append(folder));
        };
        callbacks.candidateFound = [this](const FoundFile& file) {
            files.push_back(file.path);
            events.push_back(std::string("F ").append(files.back()));
            entries.push_back(file);
            if (stopAfterFiles != 0 && files.size() >= stopAfterFiles)
                stop = true;
        };
        SearchRun search(criteria, stop, callbacks);
        search.setDepthLimit(depthLimit);
        result = search.run();
        EXPECT_EQ(search.filesFound(), files.size());
        return result;
    }

    std::vector<std::string> sortedFiles() const {
        auto sorted = files;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
};

SearchCriteria criteriaFor(const std::string& folder, const std::string& pattern = "*.*",
                           bool subfolders = true) {
    SearchCriteria criteria;
    criteria.startFolder = folder;
    criteria.namePattern = pattern;
    criteria.includeSubfolders = subfolders;
    return criteria;
}

// A small tree with awkward names: blanks, upper-case extensions, hidden
// files, names without a dot, and a folder whose name matches the pattern.
struct SampleTree {
    TempDir dir;
    std::string root;
    SampleTree() {
        root = std::filesystem::canonical(dir.path()).string();
        dir.writeFile("roads.shp", "x");
        dir.writeFile("ROADS2.Shp", "x");
        dir.writeFile("readme");
        dir.writeFile(".hidden.shp");
        dir.writeFile("My Maps/lakes.SHP");
        dir.writeFile("My Maps/inner/rivers.shp");
        dir.writeFile("My Maps/inner/notes.txt");
        dir.writeFile("b/x.tif");
        dir.makeFolder("folder.shp");
    }
};

TEST(SearchRun, finds_matching_files_ignoring_case_in_every_subfolder) {
    SampleTree tree;
    Recorder rec;
    ASSERT_EQ(rec.run(criteriaFor(tree.root, "*.shp")), WalkResult::done());
    const std::vector<std::string> expected = {
        tree.root + "/.hidden.shp",       tree.root + "/My Maps/inner/rivers.shp",
        tree.root + "/My Maps/lakes.SHP", tree.root + "/ROADS2.Shp",
        tree.root + "/roads.shp",
    };
    EXPECT_EQ(rec.sortedFiles(), expected);
    // The matching folder only announces the folder it was listed in.
    EXPECT_EQ(std::count(rec.folders.begin(), rec.folders.end(), tree.root), 1);
}

TEST(SearchRun, every_name_matches_all_types_and_folders_never_become_rows) {
    SampleTree tree;
    Recorder rec;
    ASSERT_EQ(rec.run(criteriaFor(tree.root)), WalkResult::done());
    EXPECT_EQ(rec.files.size(), 8u);
    EXPECT_NE(std::find(rec.files.begin(), rec.files.end(), tree.root + "/readme"),
              rec.files.end());
    for (const FoundFile& entry : rec.entries)
        EXPECT_FALSE(entry.isFolder) << entry.path;
}

TEST(SearchRun, each_folder_is_searched_before_its_subfolders_depth_first) {
    SampleTree tree;
    Recorder rec;
    ASSERT_EQ(rec.run(criteriaFor(tree.root)), WalkResult::done());
    // Walk the events keeping the folder each event belongs to: a file must
    // belong to the folder entered last, and once the walk has gone below a
    // folder it must not come back to list that folder's own files.
    std::string current = tree.root;
    std::vector<std::string> left;
    for (const std::string& event : rec.events) {
        const std::string path = event.substr(2);
        if (event[0] == 'D') {
            if (path != current) {
                EXPECT_EQ(std::filesystem::path(path).parent_path().string().rfind(tree.root, 0),
                          0u);
                left.push_back(current);
                current = path;
            }
            continue;
        }
        const std::string folder = std::filesystem::path(path).parent_path().string();
        EXPECT_EQ(folder, current) << path;
        EXPECT_EQ(std::find(left.begin(), left.end(), folder), left.end()) << path;
    }
    // Entered subfolders: "My Maps", "My Maps/inner", "b", "folder.shp".
    std::vector<std::string> entered;
    for (const std::string& f : rec.folders)
        if (f != tree.root && std::find(entered.begin(), entered.end(), f) == entered.end())
            entered.push_back(f);
    EXPECT_EQ(entered.size(), 4u);
    const auto pos = [&](const std::string& f) {
        return std::find(entered.begin(), entered.end(), tree.root + f) - entered.begin();
    };
    EXPECT_EQ(pos("/My Maps/inner"), pos("/My Maps") + 1);
}

TEST(SearchRun, without_subfolders_only_the_start_folder_is_listed) {
    SampleTree tree;
    Recorder rec;
    ASSERT_EQ(rec.run(criteriaFor(tree.root, "*.SHP", false)), WalkResult::done());
    EXPECT_EQ(rec.files.size(), 3u);
    for (const std::string& folder : rec.folders)
        EXPECT_EQ(folder, tree.root);
}

TEST(SearchRun, entries_carry_size_time_and_the_absolute_folder) {
    TempDir dir;
    const std::string root = std::filesystem::canonical(dir.path()).string();
    dir.writeFile("sub/empty.dat");
    dir.writeFile("sub/one.dat", std::string(1024, 'a'));
    dir.writeFile("sub/more.dat", std::string(1025, 'a'));
    const std::string big = dir / "sub/big.tif";
    { // a sparse file of 5 GB
        const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 5000000000LL), 0);
        ::close(fd);
    }
    std::filesystem::last_write_time(dir / "sub/one.dat",
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(24 * 400));
    // Start from a relative path: rows still show the absolute folder.
    const std::string before = currentFolder();
    std::filesystem::current_path(root);
    Recorder rec;
    ASSERT_EQ(rec.run(criteriaFor("sub")), WalkResult::done());
    std::filesystem::current_path(before);

    std::map<std::string, std::string> sizes;
    for (const FoundFile& e : rec.entries) {
        EXPECT_EQ(e.folder(), root + "/sub");
        sizes[std::string(e.name())] = sizeText(e.size);
    }
    const std::map<std::string, std::string> expected = {
        {"big.tif", "4882813KB"}, {"empty.dat", "0KB"}, {"more.dat", "2KB"}, {"one.dat", "1KB"}};
    EXPECT_EQ(sizes, expected);
    for (const FoundFile& e : rec.entries) {
        const auto age = DateUtil::dosDateOfFileTime(fileTimeOf(e.modified));
        if (e.name() == "one.dat")
            EXPECT_LT(age, DateUtil::dateBack(12, DateUtil::BackUnit::Months));
        else
            EXPECT_GE(age, DateUtil::dateBack(1, DateUtil::BackUnit::Days));
    }
}

TEST(SearchRun, symbolic_links_to_folders_are_listed_but_never_entered) {
    TempDir dir;
    const std::string root = std::filesystem::canonical(dir.path()).string();
    dir.writeFile("real/a.shp");
    std::filesystem::create_directory_symlink(root + "/real", root + "/link");
    std::filesystem::create_directory_symlink(root, root + "/real/loop");
    std::filesystem::create_symlink(root + "/real/a.shp", root + "/alias.shp");
    Recorder rec;
    ASSERT_EQ(rec.run(criteriaFor(root)), WalkResult::done());
    const std::vector<std::string> expected = {root + "/alias.shp", root + "/real/a.shp"};
    EXPECT_EQ(rec.sortedFiles(), expected);
    for (const std::string& folder : rec.folders)
        EXPECT_EQ(folder.find("/link"), std::string::npos) << folder;
}

TEST(SearchRun, stop_ends_the_walk_and_restores_the_current_folder) {
    TempDir dir;
    for (int i = 0; i < 5; ++i)
        dir.writeFile(std::string("deep/er/est/f").append(std::to_string(i)).append(".shp"));
    dir.writeFile("deep/er/after.shp");
    const std::string before = currentFolder();
    Recorder rec;
    rec.stopAfterFiles = 3;
    EXPECT_EQ(rec.run(criteriaFor(dir.str())), WalkResult::of(WalkResult::Kind::Stopped));
    EXPECT_EQ(rec.files.size(), 3u);
    EXPECT_EQ(currentFolder(), before);

    Recorder stopped;
    stopped.stop = true; // stopped before the walk: one entry at most
    EXPECT_EQ(stopped.run(criteriaFor(dir.str())), WalkResult::of(WalkResult::Kind::Stopped));
    EXPECT_LE(stopped.events.size(), 1u);
}

TEST(SearchRun, too_deep_a_tree_trips_the_guard_and_keeps_the_rows_found) {
    TempDir dir;
    std::string path;
    for (int level = 0; level < 6; ++level) {
        path.append("d").append(std::to_string(level)).append("/");
        dir.writeFile(path + "f.shp");
    }
    const std::string before = currentFolder();
    Recorder rec;
    rec.depthLimit = 3;
    EXPECT_EQ(rec.run(criteriaFor(dir.str())), WalkResult::of(WalkResult::Kind::TooDeep));
    EXPECT_EQ(rec.files.size(), 3u); // d0 to d2: three levels below the start
    EXPECT_EQ(currentFolder(), before);

    Recorder wide;
    wide.depthLimit = 6;
    EXPECT_EQ(wide.run(criteriaFor(dir.str())), WalkResult::done());
    EXPECT_EQ(wide.files.size(), 6u);
    EXPECT_EQ(kMaxFilesExceededText, "The maximum number of files has been exceeded.");
}

TEST(SearchRun, default_guard_holds_on_a_tree_deeper_than_it) {
    TempDir dir;
    std::string path = dir.str();
    for (int level = 0; level <= SearchRun::DefaultDepthLimit + 1; ++level) {
        path += "/d";
        ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << level;
    }
    Recorder rec;
    EXPECT_EQ(rec.run(criteriaFor(dir.str())), WalkResult::of(WalkResult::Kind::TooDeep));
}

TEST(SearchRun, start_folder_errors_and_a_missing_callback_are_result_codes) {
    TempDir dir;
    const std::string before = currentFolder();
    Recorder rec;
    EXPECT_EQ(rec.run(criteriaFor(dir / "missing")), WalkResult::folderNotEntered(ENOENT));
    dir.writeFile("plain");
    EXPECT_EQ(rec.run(criteriaFor(dir / "plain")), WalkResult::folderNotEntered(ENOTDIR));
    EXPECT_EQ(currentFolder(), before);

    const SearchCriteria criteria = criteriaFor(dir.str());
    std::atomic<bool> stop{false};
    SearchRun none(criteria, stop, SearchCallbacks{});
    EXPECT_EQ(none.run(), WalkResult::of(WalkResult::Kind::NoCallback));
}

TEST(SearchRun, a_failing_callback_ends_the_walk_as_failed_with_its_reason) {
    TempDir dir;
    dir.writeFile("sub/a.shp");
    const std::string before = currentFolder();
    const SearchCriteria criteria = criteriaFor(dir.str());
    std::atomic<bool> stop{false};
    SearchCallbacks callbacks;
    callbacks.candidateFound = [](const FoundFile&) { throw std::runtime_error("full"); };
    SearchRun search(criteria, stop, callbacks);
    EXPECT_EQ(search.run(), WalkResult::failed("full"));
    EXPECT_EQ(currentFolder(), before);
}

// Folder permissions do not bind the superuser, so this walk runs in a child
// process as an ordinary user.
TEST(SearchRun, unreadable_folders_are_skipped_and_the_walk_goes_on) {
    TempDir dir;
    dir.writeFile("a/1.shp");
    dir.writeFile("locked/2.shp");
    dir.writeFile("noentry/3.shp");
    dir.writeFile("z/4.shp");
    ::chmod(dir.str().c_str(), 0755);
    ::chmod((dir / "locked").c_str(), 0311);  // cannot be listed
    ::chmod((dir / "noentry").c_str(), 0600); // cannot be entered
    const int found = testsupport::runAsOrdinaryUser([&] {
        Recorder rec;
        const WalkResult result = rec.run(criteriaFor(dir.str()));
        return result == WalkResult::done() ? static_cast<int>(rec.files.size()) : 101;
    });
    EXPECT_EQ(found, 2); // 1.shp and 4.shp
}

} // namespace
