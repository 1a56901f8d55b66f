// Searches that read files: the pool of readers keeps the walk's order and
// stops at once, and the footprint cache answers only for unchanged files.
#include "finder/criteria_form.h"
#include "finder/footprint_cache.h"
#include "finder/search_database.h"
#include "finder/search_run.h"

#include "gdal_files.h"
#include "ordered_pool.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace finder;
using testsupport::Rect;
using testsupport::TempDir;
namespace fs = std::filesystem;

// Files and folders an hour old, each at its own nanosecond: the cache
// keeps nothing younger than two seconds.
const time_t kAnHourAgo = ::time(nullptr) - 3600;
void backdate(const std::vector<fs::path>& paths, long nanoseconds) {
    for (const fs::path& p : paths) {
        const timespec when{kAnHourAgo, ++nanoseconds};
        const timespec times[2] = {when, when};
        ::utimensat(AT_FDCWD, p.c_str(), times, 0);
    }
}

void backdate(const fs::path& root) {
    std::vector<fs::path> paths{root};
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.push_back(entry.path());
    backdate(paths, 0);
}

void overwrite(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

struct Events {
    std::vector<std::string> lines; // "F path" and "D folder", in order
    std::atomic<bool> stop{false};
    std::size_t stopAfterFiles = 0;
    std::size_t files = 0;

    WalkResult run(const SearchCriteria& criteria, unsigned readers,
                   FootprintCache* cache = nullptr, DatabaseHandle database = 0) {
        SearchCallbacks callbacks;
        callbacks.folderEntered = [this](const std::string& folder) {
            lines.push_back("D " + folder);
        };
        callbacks.candidateFound = [this](const FoundFile& file) {
            lines.push_back("F " + file.path);
            if (++files == stopAfterFiles)
                stop = true;
        };
        SearchRun search(criteria, stop, callbacks, database);
        search.setReaders(readers);
        search.setFootprintCache(cache);
        return search.run();
    }
};

SearchCriteria europeArea(const std::string& folder) {
    CriteriaForm form;
    form.namedText = "*.*";
    form.startFolder = folder;
    form.northwestX = "-30";
    form.northwestY = "75";
    form.southeastX = "60";
    form.southeastY = "25";
    form.latLonMode = true;
    form.areaMode = AreaMode::Inclusive;
    return buildCriteria(form, {}, DateUtil::todayUtc()).criteria;
}

// Three folders deep: shapefiles and GeoTIFFs in and out of Europe, in
// degrees and in UTM 33N, beside files of no layer type; two more below a
// path too long to be named whole.
struct MixedTree {
    TempDir dir;
    std::string root = fs::canonical(dir.path()).string();
    MixedTree() {
        const Rect inDegrees{10, 50, 12, 48}, outDegrees{-100, 40, -90, 30};
        const Rect inMetres{400000, 5500000, 500000, 5400000};
        for (int i = 0; i < 36; ++i) {
            const std::string folder = "level" + std::to_string(i % 3) + (i % 2 ? "/deeper/" : "/");
            dir.makeFolder(folder);
            const std::string name = dir / (folder + "f" + std::to_string(i));
            const Rect& r = i % 3 == 0 ? inDegrees : i % 3 == 1 ? outDegrees : inMetres;
            const int epsg = i % 3 == 2 ? 32633 : 4326;
            if (i % 4 == 0)
                testsupport::writeGeoTiff(name + ".tif", epsg, r);
            else
                testsupport::writeRectangleShapefile(name + ".shp", epsg, r);
            dir.writeFile(folder + "notes" + std::to_string(i) + ".txt", "x");
        }
        // Paths too long for a layer descriptor: read through the folder's
        // handle, or by the bare name from the walk's own thread.
        const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e') + "/";
        dir.makeFolder(deep);
        testsupport::writeRectangleShapefile(dir / (deep + "near.shp"), 4326, inDegrees);
        testsupport::writeRectangleShapefile(dir / (deep + std::string(230, 'n') + ".shp"), 4326,
                                             inDegrees);
        backdate(dir.path());
    }
};

// The readers take work in the order it was given: with one reader held in
// the first work, the works queued behind it start in their order, and the
// finishes run in that order too.
TEST(PooledSearch, works_queued_behind_a_held_one_start_in_the_order_queued) {
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::vector<int> started, finished;
    {
        OrderedPool pool(1, 64);
        pool.push(
            [&] {
                std::unique_lock lock(mutex);
                started.push_back(0);
                released.wait(lock, [&] { return release; });
            },
            [&] { finished.push_back(0); });
        for (int i = 1; i <= 20; ++i)
            pool.push(
                [&, i] {
                    std::lock_guard lock(mutex);
                    started.push_back(i);
                },
                [&, i] { finished.push_back(i); });
        {
            std::lock_guard lock(mutex);
            release = true;
        }
        released.notify_all();
        EXPECT_TRUE(pool.drain(true, [] { return true; }));
    }
    std::vector<int> inOrder(21);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(started, inOrder);
    EXPECT_EQ(finished, inOrder);
}

TEST(PooledSearch, rows_and_status_texts_come_in_walk_order_whatever_the_readers) {
    MixedTree tree;
    const SearchCriteria criteria = europeArea(tree.root);
    Events alone;
    ASSERT_EQ(alone.run(criteria, 0), WalkResult::done());
    EXPECT_EQ(alone.files, 26u); // the files in Europe, in degrees or metres
    for (unsigned readers : {1u, 3u}) {
        Events pooled;
        ASSERT_EQ(pooled.run(criteria, readers), WalkResult::done());
        EXPECT_EQ(pooled.lines, alone.lines) << readers << " readers";
    }
}

TEST(PooledSearch, stop_ends_a_pooled_search_after_the_file_handed_on) {
    MixedTree tree;
    const std::string before = fs::current_path().string();
    Events stopped;
    stopped.stopAfterFiles = 5;
    EXPECT_EQ(stopped.run(europeArea(tree.root), 3), WalkResult::of(WalkResult::Kind::Stopped));
    EXPECT_EQ(stopped.files, 5u);
    EXPECT_EQ(fs::current_path().string(), before);
}

TEST(PooledSearch, the_cache_answers_only_while_a_file_and_its_prj_are_unchanged) {
    TempDir dir;
    const std::string root = fs::canonical(dir.path()).string();
    const Rect europe{10, 50, 12, 48}, america{-100, 40, -98, 38};
    testsupport::writeRectangleShapefile(dir / "moved.shp", 4326, europe);
    testsupport::writeRectangleShapefile(dir / "kept.shp", 4326, europe);
    testsupport::writeRectangleShapefile(dir / "reprojected.shp", 4326, europe);
    backdate(dir.path());
    auto cache = FootprintCache::open(dir / "cache/footprints.sqlite", FootprintCache::today());
    ASSERT_TRUE(cache.cache) << cache.problem;
    const SearchCriteria area = europeArea(root);
    SearchDatabase database;
    ASSERT_TRUE(database.open(std::string(KAVREL_DATA_DIR) + "/datora.dat"));
    SearchCriteria latLong;
    latLong.startFolder = root;
    latLong.flags = CriteriaFlags::CoordSysMatch;
    latLong.groupName = "Longitude / Latitude";
    const auto rows = [&](const SearchCriteria& criteria) {
        Events events;
        events.run(criteria, 2, cache.cache.get(), database.handle());
        cache.cache->flush();
        return events.files;
    };
    ASSERT_EQ(rows(area), 3u);
    ASSERT_EQ(rows(latLong), 3u);
    // Rewritten in place (same inode and size, the folder untouched) with
    // times in the same second: only the nanoseconds tell. One moves to
    // America, the other's .prj turns it into metres of UTM 33N, so near
    // the equator.
    TempDir scratch;
    testsupport::writeRectangleShapefile(scratch / "moved.shp", 4326, america);
    testsupport::writeRectangleShapefile(scratch / "utm.shp", 32633, europe);
    overwrite(dir / "moved.shp", TempDir::readFile(scratch / "moved.shp"));
    overwrite(dir / "moved.shx", TempDir::readFile(scratch / "moved.shx"));
    overwrite(dir / "reprojected.prj", TempDir::readFile(scratch / "utm.prj"));
    backdate({dir / "moved.shp", dir / "moved.shx", dir / "reprojected.prj"}, 500);
    EXPECT_EQ(rows(area), 1u);    // kept.shp alone
    EXPECT_EQ(rows(latLong), 2u); // reprojected.shp is in UTM now
}
} // namespace
