// kavrel-watch keeping a catalogue true: after each change of a watched tree
// the catalogue alone answers what the disk holds, and a search is answered
// from it without a walk; lost events, folders on network or FUSE file
// systems and folders beyond the limit of watches are not vouched for; the
// watcher and two searches write one catalogue at once.
#include "kavrel_find_run.h"

#include "catalogue_tree.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using clitest::lines;
using clitest::runKavrelFind;
using clitest::RunResult;
using clitest::with;
using testsupport::CatalogueTree;
using testsupport::TempDir;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

constexpr auto kPatience = std::chrono::seconds(30);

// Polls `done` every 50 ms until it holds or patience runs out.
bool eventually(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// kavrel-watch on the scratch folder's catalogue, from start to SIGTERM.
class RunningWatcher {
public:
    RunningWatcher(const TempDir& scratch, std::vector<std::string> env, Args args = {},
                   const std::string& logName = "watch.log")
        : log_(scratch / logName) {
        env.push_back("XDG_CACHE_HOME=" + scratch / "cache");
        const std::string program = std::string(KAVREL_BUILD_DIR) + "/bin/kavrel-watch";
        std::fflush(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int log = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(log, STDERR_FILENO);
            for (const std::string& assignment : env)
                ::putenv(const_cast<char*>(assignment.c_str()));
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~RunningWatcher() { stop(); }
    int stop() {
        if (pid_ <= 0)
            return status_;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Waits for it to end by itself; its exit status.
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void signal(int number) const { ::kill(pid_, number); }
    std::string log() const { return TempDir::readFile(log_); }
    bool ready() const {
        return eventually([this] { return log().find("ready in") != std::string::npos; });
    }

private:
    std::string log_;
    pid_t pid_ = -1;
    int status_ = -1;
};

// The catalogue alone answers what a search of the disk finds, and a search
// is answered from the catalogue without a walk.
bool catalogueIsTrue(const TempDir& scratch, const Args& search) {
    const RunResult disk = runKavrelFind(with(search, {"--no-cache"}), scratch);
    const RunResult alone = runKavrelFind(with(search, {"--catalogue-only"}), scratch);
    return alone.status == 0 && lines(alone.out) == lines(disk.out);
}

bool answeredAlone(const TempDir& scratch, const Args& search) {
    const RunResult run = runKavrelFind(search, scratch, "KAVREL_TRACE=1");
    return run.err.find("answered from the catalogue alone") != std::string::npos;
}

std::string statusOf(const TempDir& scratch) {
    return runKavrelFind({"--catalogue-status"}, scratch).out;
}

TEST(KavrelWatch, the_catalogue_follows_every_change_of_a_watched_tree) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    const Args names = {"--look-in", tree.root(), "--named", "*.*"};
    ASSERT_EQ(runKavrelFind(names, scratch).status, 0);
    RunningWatcher watcher(scratch, {});
    ASSERT_TRUE(watcher.ready()) << watcher.log();
    ASSERT_TRUE(eventually([&] { return answeredAlone(scratch, names); })) << statusOf(scratch);
    fs::create_directories(scratch / "outside/brought/in");
    std::ofstream(scratch / "outside/brought/in/far.txt") << "far";
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"a file created", [&] { tree.write("c/created.txt", "new"); }},
        {"a file written", [&] { tree.append("b/plan.txt", std::string(4000, 'w')); }},
        {"a file renamed in its folder",
         [&] { fs::rename(tree.path("c/created.txt"), tree.path("c/renamed.txt")); }},
        {"a file moved to another folder",
         [&] { fs::rename(tree.path("c/renamed.txt"), tree.path("a/deep/moved.txt")); }},
        {"a file deleted", [&] { fs::remove(tree.path("a/notes.txt")); }},
        {"a folder created with files", [&] {
             fs::create_directories(tree.path("c/fresh/inner"));
             tree.write("c/fresh/inner/f.txt", "f");
         }},
        {"a folder moved within the tree",
         [&] { fs::rename(tree.path("c/fresh"), tree.path("b/fresh")); }},
        {"a folder moved out of the tree",
         [&] { fs::rename(tree.path("a/deep"), scratch / "outside/deep"); }},
        {"a folder moved into the tree",
         [&] { fs::rename(scratch / "outside/brought", tree.path("c/brought")); }},
        {"a folder deleted", [&] { fs::remove_all(tree.path("b/fresh")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        EXPECT_TRUE(eventually([&] { return catalogueIsTrue(scratch, names); }))
            << runKavrelFind(with(names, {"--catalogue-only"}), scratch).out << watcher.log();
        EXPECT_TRUE(answeredAlone(scratch, names)) << statusOf(scratch);
        const RunResult alone = runKavrelFind(names, scratch);
        EXPECT_EQ(lines(alone.out), lines(runKavrelFind(with(names, {"--no-cache"}), scratch).out));
    }
    EXPECT_EQ(watcher.stop(), 0);
    // Stopped, it vouches for nothing.
    EXPECT_FALSE(answeredAlone(scratch, names));
}

TEST(KavrelWatch, a_shapefile_copied_in_is_read_and_answers_an_area_search) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    const Args area = {"--look-in", tree.root(), "--named", "*.shp",
                       "--area",    "-30",       "75",      "60",
                       "25",        "--lat-lon"};
    ASSERT_EQ(runKavrelFind(area, scratch).status, 0);
    RunningWatcher watcher(scratch, {});
    ASSERT_TRUE(watcher.ready()) << watcher.log();
    tree.copyShapefile("europe/central_etrs89", "c/copy");
    // Answered alone as soon as the watcher has the new files: the one
    // file not read yet is read by the search.
    const auto disk = lines(runKavrelFind(with(area, {"--no-cache"}), scratch).out);
    EXPECT_EQ(disk.size(), 2u); // b/central.shp and c/copy.shp
    EXPECT_TRUE(eventually([&] {
        return answeredAlone(scratch, area) && lines(runKavrelFind(area, scratch).out) == disk;
    })) << watcher.log();
    // Once two seconds old, the copy is read by the watcher: the catalogue
    // alone knows it.
    EXPECT_TRUE(eventually([&] { return catalogueIsTrue(scratch, area); })) << watcher.log();
}

TEST(KavrelWatch, lost_events_withdraw_the_vouching_until_the_folders_are_read_again) {
    const struct {
        const char* what;
        const char* recheckMs;
        bool vouchedAgain;
    } cases[] = {{"read again later", "600000", false}, {"read again at once", "0", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir scratch;
        const CatalogueTree tree(scratch);
        const Args names = {"--look-in", tree.root(), "--named", "*.txt"};
        ASSERT_EQ(runKavrelFind(names, scratch).status, 0);
        RunningWatcher watcher(scratch, {"KAVREL_WATCH_TEST_HOOK=overflow-on-usr1",
                                         std::string("KAVREL_WATCH_RECHECK_MS=") + c.recheckMs});
        ASSERT_TRUE(watcher.ready()) << watcher.log();
        ASSERT_TRUE(eventually([&] { return answeredAlone(scratch, names); }));
        watcher.signal(SIGUSR1);
        ASSERT_TRUE(eventually([&] {
            return watcher.log().find("events were lost") != std::string::npos;
        }));
        tree.write("c/while-lost.txt", "x");
        if (c.vouchedAgain) {
            EXPECT_TRUE(eventually([&] { return answeredAlone(scratch, names); })) << watcher.log();
        } else {
            EXPECT_NE(statusOf(scratch).find("Folders watched: 5, vouched for: 0"),
                      std::string::npos)
                << statusOf(scratch);
            EXPECT_FALSE(answeredAlone(scratch, names));
            // That search read the changed folder whole: vouched for again.
            EXPECT_NE(statusOf(scratch).find("Folders watched: 5, vouched for: 1"),
                      std::string::npos)
                << statusOf(scratch);
        }
        // Either way a search finds what the disk holds.
        EXPECT_EQ(lines(runKavrelFind(names, scratch).out),
                  lines(runKavrelFind(with(names, {"--no-cache"}), scratch).out));
    }
}

TEST(KavrelWatch, folders_it_cannot_watch_are_named_with_the_reason_and_never_vouched_for) {
    // The tree, a, a/deep, b and c are taken up in path order: with three
    // watches, b is the first left without.
    const struct {
        const char* what;
        const char* fileSystem; // magic number b stands on; empty: its own
        Args args;
        std::string reason;
    } cases[] = {
        {"a FUSE file system", "65735546", {},
         "on a network or FUSE file system (fuse): changes made elsewhere send no events"},
        {"an NFS file system", "6969", {},
         "on a network or FUSE file system (nfs): changes made elsewhere send no events"},
        {"the limit of watches", "", {"--max-watches", "3"},
         "beyond the watcher's limit of 3 watches (fs.inotify.max_user_watches is "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir scratch;
        const CatalogueTree tree(scratch);
        const std::string root = fs::canonical(tree.root()).string();
        std::vector<std::string> env;
        if (*c.fileSystem != '\0')
            env.push_back("KAVREL_WATCH_TEST_FSTYPE=" + root + "/b=" + c.fileSystem);
        const Args whole = {"--look-in", root, "--named", "*.txt"};
        ASSERT_EQ(runKavrelFind(whole, scratch).status, 0);
        RunningWatcher watcher(scratch, env, c.args);
        ASSERT_TRUE(watcher.ready()) << watcher.log();
        const std::string line = "  " + root + "/b: " + c.reason;
        EXPECT_NE(statusOf(scratch).find(line), std::string::npos) << statusOf(scratch);
        EXPECT_NE(watcher.log().find("cannot watch " + root + "/b: " + c.reason),
                  std::string::npos)
            << watcher.log();
        // The tree holding it is confirmed by every search; a watched part is not.
        EXPECT_TRUE(eventually([&] {
            return answeredAlone(scratch, {"--look-in", root + "/a", "--named", "*.txt"});
        }));
        EXPECT_FALSE(answeredAlone(scratch, whole));
        EXPECT_FALSE(answeredAlone(scratch, {"--look-in", root + "/b", "--named", "*.txt"}));
    }
}

TEST(KavrelWatch, two_searches_and_the_watcher_write_one_catalogue_at_once) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    const Args names = {"--look-in", tree.root(), "--named", "*.*"};
    ASSERT_EQ(runKavrelFind(names, scratch).status, 0);
    RunningWatcher watcher(scratch, {});
    ASSERT_TRUE(watcher.ready()) << watcher.log();
    // Files appear while two searches of new folders run.
    std::thread writer([&] {
        for (int i = 0; i < 300; ++i) {
            fs::create_directories(tree.path("c/burst" + std::to_string(i % 7)));
            tree.write("c/burst" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt", "x");
        }
    });
    FILE* first = ::popen(clitest::kavrelFindCommand(names, scratch, "", scratch / "e1").c_str(), "r");
    FILE* second = ::popen(
        clitest::kavrelFindCommand({"--look-in", tree.path("c"), "--named", "*.txt"}, scratch, "",
                                   scratch / "e2")
            .c_str(),
        "r");
    ASSERT_TRUE(first && second);
    clitest::readAll(first);
    clitest::readAll(second);
    EXPECT_EQ(clitest::exitStatus(::pclose(first)), 0) << TempDir::readFile(scratch / "e1");
    EXPECT_EQ(clitest::exitStatus(::pclose(second)), 0) << TempDir::readFile(scratch / "e2");
    writer.join();
    EXPECT_TRUE(eventually([&] { return catalogueIsTrue(scratch, names); })) << watcher.log();
    EXPECT_TRUE(eventually([&] { return answeredAlone(scratch, names); }));
    EXPECT_EQ(watcher.log().find("starting over"), std::string::npos) << watcher.log();
}

TEST(KavrelWatch, a_second_watcher_does_not_start_and_a_stopped_one_leaves_nothing_vouched) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    ASSERT_EQ(runKavrelFind({"--look-in", tree.root(), "--named", "*.txt"}, scratch).status, 0);
    RunningWatcher watcher(scratch, {});
    ASSERT_TRUE(watcher.ready()) << watcher.log();
    RunningWatcher second(scratch, {}, {}, "second.log");
    EXPECT_EQ(second.wait(), 1);
    EXPECT_NE(second.log().find("another kavrel-watch watches"), std::string::npos)
        << second.log();
    EXPECT_NE(statusOf(scratch).find("kavrel-watch: running"), std::string::npos);
    watcher.stop();
    EXPECT_NE(statusOf(scratch).find("kavrel-watch: not running"), std::string::npos);
}

} // namespace
