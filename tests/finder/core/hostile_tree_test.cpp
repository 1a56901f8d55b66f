// Searches over folder trees that fight back: entries that are not files,
// a tree changing while it is walked, an unreadable start folder, a tree ten
// thousand levels deep, a folder of 100,000 entries and names that are not
// UTF-8. Searches that could block run in a child process under a budget.
#include "finder/search_controller.h"
#include "finder/search_run.h"

#include "gdal_files.h"
#include "limited_child.h"
#include "special_files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace finder;
using testsupport::makeFifo;
using testsupport::makeLink;
using testsupport::makeSocket;
using testsupport::runLimited;
using testsupport::TempDir;

// The rows and the outcome of one search, told on the search's own thread.
struct Rows : SearchListener {
    std::vector<RowTexts> rows;
    SearchOutcome outcome;
    void rowsFound(const std::vector<FoundRow>& found) override {
        for (const FoundRow& row : found)
            rows.push_back(rowTexts(row));
    }
    void searchFinished(const SearchOutcome& o) override { outcome = o; }

    std::set<std::string> paths() const {
        std::set<std::string> out;
        for (const RowTexts& row : rows)
            out.insert(fullPathOfRow(row.folder, row.name));
        return out;
    }
};

Rows search(const SearchCriteria& criteria) {
    Rows rows;
    SearchController controller(rows, directHandOff());
    controller.start(criteria);
    controller.wait();
    return rows;
}

SearchCriteria criteriaFor(const std::string& folder, const std::string& pattern = "*.*") {
    SearchCriteria criteria;
    criteria.startFolder = folder;
    criteria.namePattern = pattern;
    return criteria;
}

// The layer tests on: a known type whose extent lies inside the whole world.
SearchCriteria layersInWorld(const std::string& folder) {
    SearchCriteria criteria = criteriaFor(folder);
    criteria.flags = CriteriaFlags::Area | CriteriaFlags::LayerTypes;
    criteria.area = {-180, 90, 180, -90};
    criteria.areaInDegrees = true;
    return criteria;
}

std::string canonical(const TempDir& dir) {
    return std::filesystem::canonical(dir.path()).string();
}

// Runs `body` as an ordinary user, with `shared` opened to everybody first.
int asOrdinaryUser(const std::string& shared, const std::function<int()>& body,
                   testsupport::ChildLimits limits = {}) {
    ::chmod(shared.c_str(), 0777);
    return testsupport::runAsOrdinaryUser(body, limits);
}

TEST(HostileTree, entries_that_are_not_files_neither_block_the_search_nor_pass_the_layer_tests) {
    TempDir dir;
    const std::string root = canonical(dir);
    testsupport::writeRectangleShapefile(root + "/good.shp", 4326, {10, 50, 12, 48});
    testsupport::writeRectangleShapefile(root + "/nodbf.shp", 4326, {10, 50, 12, 48});
    std::filesystem::remove(root + "/nodbf.dbf");
    makeFifo(root + "/nodbf.dbf");
    makeFifo(root + "/pipe.shp");
    makeFifo(root + "/pipe.mif"); // a name two types claim: the type is read from the content
    makeSocket(root + "/socket.tif");
    makeLink("/dev/zero", root + "/zero.tif");
    makeLink("/dev/zero", root + "/zero.tab");

    // Every entry is a row when no test opens files; only sound layers pass
    // the layer tests.
    const std::set<std::string> all = {
        "good.dbf",  "good.prj", "good.shp", "good.shx",   "nodbf.dbf", "nodbf.prj", "nodbf.shp",
        "nodbf.shx", "pipe.mif", "pipe.shp", "socket.tif", "zero.tab",  "zero.tif"};
    const struct {
        SearchCriteria criteria;
        std::set<std::string> names;
    } cases[] = {{criteriaFor(root), all}, {layersInWorld(root), {"good.shp", "nodbf.shp"}}};
    for (const auto& c : cases) {
        const int code = runLimited(
            [&] {
                const Rows found = search(c.criteria);
                std::set<std::string> names;
                for (const RowTexts& row : found.rows)
                    names.insert(row.name);
                return names == c.names && found.outcome.walk == WalkResult::done() ? 0 : 1;
            },
            {.wallSeconds = 30});
        EXPECT_EQ(code, 0) << "flags " << c.criteria.flags << (code > 128 ? ": blocked" : "");
    }
}

// The walk lists a folder once and then visits its subfolders; when the
// first subfolder is entered the others are renamed, removed, emptied or
// replaced by a link to a folder outside the tree.
TEST(HostileTree, subfolders_changed_after_their_listing_are_skipped_never_followed_outside) {
    TempDir dir;
    const std::string root = canonical(dir) + "/tree";
    const std::string outside = dir.writeFile("outside/secret.shp");
    for (const char* name : {"a", "b", "c", "d", "e"})
        dir.writeFile(std::string("tree/") + name + "/x.shp");

    std::string first;
    SearchCriteria criteria = criteriaFor(root);
    std::atomic<bool> stop{false};
    std::vector<std::string> found;
    SearchCallbacks callbacks;
    callbacks.candidateFound = [&](const FoundFile& file) { found.push_back(file.path); };
    callbacks.folderEntered = [&](const std::string& folder) {
        if (folder == root || !first.empty())
            return;
        first = folder.substr(root.size() + 1);
        std::vector<std::string> others;
        for (const char* name : {"a", "b", "c", "d", "e"})
            if (name != first)
                others.emplace_back(root + "/" + name);
        std::filesystem::rename(others[0], others[0] + "-renamed");
        std::filesystem::remove_all(others[1]);
        std::filesystem::remove_all(others[2]);
        makeLink(std::filesystem::path(outside).parent_path(), others[2]);
        std::filesystem::remove(others[3] + "/x.shp");
    };
    const std::string before = std::filesystem::current_path();
    SearchRun run(criteria, stop, callbacks);
    EXPECT_EQ(run.run(), WalkResult::done());
    EXPECT_EQ(found, std::vector<std::string>{root + "/" + first + "/x.shp"});
    EXPECT_EQ(std::filesystem::current_path(), before);
}

// Another thread renames, removes, recreates, locks and swaps entries for
// pipes and links while searches with the layer tests run over the tree.
TEST(HostileTree, a_tree_changed_by_another_thread_never_derails_a_search) {
    TempDir dir;
    const std::string base = canonical(dir);
    const int code = asOrdinaryUser(
        base,
        [&] {
            const std::string root = base + "/tree";
            for (int f = 0; f < 8; ++f) {
                const std::string folder = root + "/f" + std::to_string(f) + "/g";
                std::filesystem::create_directories(folder);
                testsupport::writeRectangleShapefile(folder + "/m.shp", 4326, {10, 50, 12, 48});
                testsupport::writeGeoTiff(folder + "/../t.tif", 4326, {10, 50, 12, 48});
            }
            std::filesystem::create_directories(base + "/outside");
            std::atomic<bool> done{false};
            std::thread mutator([&] {
                for (unsigned i = 0; !done; ++i) {
                    const std::string f = root + "/f" + std::to_string(i % 8);
                    std::error_code ec;
                    switch (i % 6) {
                    case 0:
                        std::filesystem::rename(f, f + ".moved", ec);
                        std::filesystem::rename(f + ".moved", f, ec);
                        break;
                    case 1:
                        ::chmod(f.c_str(), 0);
                        std::this_thread::yield();
                        ::chmod(f.c_str(), 0755);
                        break;
                    case 2:
                        std::filesystem::rename(f + "/g", f + "/g.away", ec);
                        ::symlink((base + "/outside").c_str(), (f + "/g").c_str());
                        std::this_thread::yield();
                        std::filesystem::remove(f + "/g", ec);
                        std::filesystem::rename(f + "/g.away", f + "/g", ec);
                        break;
                    case 3:
                        std::filesystem::rename(f + "/t.tif", f + "/t.keep", ec);
                        ::mkfifo((f + "/t.tif").c_str(), 0644);
                        std::this_thread::yield();
                        std::filesystem::remove(f + "/t.tif", ec);
                        std::filesystem::rename(f + "/t.keep", f + "/t.tif", ec);
                        break;
                    case 4:
                        std::filesystem::rename(f + "/g/m.dbf", f + "/g/m.old", ec);
                        std::filesystem::rename(f + "/g/m.old", f + "/g/m.dbf", ec);
                        break;
                    default:
                        ::chmod((f + "/g/m.shp").c_str(), 0);
                        ::chmod((f + "/g/m.shp").c_str(), 0644);
                    }
                }
            });
            int failures = 0;
            const std::string before = std::filesystem::current_path();
            for (int round = 0; round < 40 && failures == 0; ++round) {
                const Rows found = search(round % 2 ? layersInWorld(root) : criteriaFor(root));
                for (const std::string& path : found.paths())
                    failures += path.starts_with(root + "/") ? 0 : 1;
                failures += found.outcome.walk.kind == WalkResult::Kind::Done ? 0 : 1;
                failures += std::filesystem::current_path() == before ? 0 : 1;
            }
            done = true;
            mutator.join();
            return failures;
        },
        {.extraBytes = std::size_t(1) << 30}); // room for the sanitizer's quarantine
    // Below 100: rows outside the tree, walks not done or the folder not restored.
    EXPECT_EQ(code, 0) << (code == 128 + SIGALRM ? "blocked" : "");
}

TEST(HostileTree, an_unreadable_start_folder_ends_the_search_at_once) {
    TempDir dir;
    const std::string base = canonical(dir);
    const struct {
        mode_t mode;
        WalkResult walk;
        std::string problem;
    } cases[] = {
        {0, WalkResult::folderNotEntered(EACCES),
         "cannot search " + base + "/start: Permission denied"},
        {0311, WalkResult::of(WalkResult::Kind::SubfoldersNotListed),
         "cannot list " + base + "/start"},
    };
    for (const auto& c : cases) {
        dir.writeFile("start/a.shp");
        ::chmod((base + "/start").c_str(), c.mode);
        const int code = asOrdinaryUser(base, [&] {
            const std::string before = std::filesystem::current_path();
            const Rows found = search(criteriaFor(base + "/start"));
            return found.rows.empty() && found.outcome.walk == c.walk &&
                           found.outcome.problem == c.problem &&
                           std::filesystem::current_path() == before
                       ? 0
                       : 1;
        });
        EXPECT_EQ(code, 0) << "mode " << c.mode;
        ::chmod((base + "/start").c_str(), 0755);
    }
}

// Where big trees are made: a memory file system when there is one, as a
// disk makes and removes 100,000 entries slowly.
std::string bigTreeBase() {
    struct stat info {};
    return ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) &&
                   ::access("/dev/shm", W_OK) == 0
               ? "/dev/shm"
               : "";
}

// Folders nested `levels` deep below `root` (each named "d", with one file),
// made relative to the one above, as no full path could name the deepest.
void nestFolders(const std::string& root, int levels) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < levels && fd >= 0; ++level) {
        ::close(::openat(fd, "f.shp", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        ::mkdirat(fd, "d", 0755);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    ASSERT_GE(fd, 0);
    ::close(fd);
}

// Removes them again level by level: the folder below the top one moves up
// in its place, so every step names short paths only.
void unnestFolders(const std::string& root) {
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::unlinkat(fd, "f.shp", 0);
    while (::unlinkat(fd, "d/f.shp", 0) == 0 && ::renameat(fd, "d/d", fd, "next") == 0 &&
           ::unlinkat(fd, "d", AT_REMOVEDIR) == 0 && ::renameat(fd, "next", fd, "d") == 0) {
    }
    ::close(fd);
}

TEST(HostileTree, ten_thousand_levels_trip_the_depth_guard_and_keep_the_rows_found) {
    TempDir dir(bigTreeBase());
    const std::string root = canonical(dir);
    nestFolders(root, 10000);
    const std::string before = std::filesystem::current_path();
    const Rows found = search(criteriaFor(root, "*.shp"));
    EXPECT_EQ(found.outcome.walk, WalkResult::of(WalkResult::Kind::TooDeep));
    EXPECT_EQ(found.outcome.problem, kMaxFilesExceededText);
    EXPECT_EQ(found.rows.size(), std::size_t(SearchRun::DefaultDepthLimit) + 1);
    EXPECT_EQ(std::filesystem::current_path(), before);
    unnestFolders(root);
}

TEST(HostileTree, a_folder_of_100000_entries_is_listed_whole) {
    TempDir dir(bigTreeBase());
    const std::string root = canonical(dir);
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < 100000; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, 1, 'f').append(i % 10000 == 0 ? ".shp" : ".dat");
        ::mknodat(fd, name.c_str(), S_IFREG | 0644, 0);
    }
    ::close(fd);
    // One in ten thousand matches, spread over the whole folder.
    const Rows found = search(criteriaFor(root, "*.SHP"));
    EXPECT_EQ(found.outcome.walk, WalkResult::done());
    EXPECT_EQ(found.rows.size(), 10u);
}

TEST(HostileTree, names_that_are_not_utf8_reach_the_rows_byte_for_byte) {
    TempDir dir;
    const std::string root = canonical(dir);
    const std::string folder = root + "/d\x80ir \xff";
    const std::vector<std::string> names = {"caf\xe9.shp", "\xff\xfe.tif", "x\xc3(.tab",
                                            "ok \xc3\xa9.mif"};
    for (const std::string& name : names)
        dir.writeFile(folder.substr(root.size() + 1) + "/" + name, "x");
    const Rows found = search(criteriaFor(root));
    std::set<std::string> expected, got;
    for (const std::string& name : names)
        expected.insert(folder + "/" + name);
    for (const RowTexts& row : found.rows)
        EXPECT_EQ(row.folder, folder);
    EXPECT_EQ(found.paths(), expected);
}

} // namespace
