#include "hive_store.h"

#include "platform/file_write.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform::hive {

namespace {

constexpr std::size_t kMaxHiveBytes = 16u << 20;

// flock on "<hive>.lock". Without the right to create the side file (a
// system hive in a read-only folder) reading goes on unlocked: renames keep
// it consistent anyway.
class HiveLock {
public:
    HiveLock(const std::string& hivePath, int operation) : fd_(openLockFile(hivePath + ".lock")) {
        if (fd_.get() >= 0)
            while (::flock(fd_.get(), operation) != 0 && errno == EINTR) {
            }
    }
    // Closing the descriptor releases the lock.

private:
    static int openLockFile(const std::string& lockPath) {
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        return fd >= 0 ? fd : ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    }

    UniqueFd fd_;
};

long errorFromErrno(int err) {
    if (err == ENOENT || err == ENOTDIR)
        return ERROR_FILE_NOT_FOUND;
    if (err == EACCES || err == EPERM || err == EROFS)
        return ERROR_ACCESS_DENIED;
    return ERROR_WRITE_FAULT;
}

long readFile(const std::string& path, std::string& out) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return errorFromErrno(errno);
    out.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errorFromErrno(errno);
        if (n == 0)
            return ERROR_SUCCESS;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > kMaxHiveBytes)
            return ERROR_ACCESS_DENIED;
    }
}

// Temporary files of a write are named "<hive>.tmp-" and six letters or
// digits (mkstemp's), a name no one else gives a file.
constexpr std::string_view kTempInfix = kTemporaryInfix;
constexpr std::size_t kTempRandomLength = 6;
// A writer takes milliseconds from creating its temporary file to renaming
// it; one this old was left by a writer that was killed on the way.
constexpr time_t kStaleTempSeconds = 60;

bool isTempName(std::string_view name, std::string_view hiveName) {
    if (!name.starts_with(hiveName) || !name.substr(hiveName.size()).starts_with(kTempInfix))
        return false;
    const std::string_view random = name.substr(hiveName.size() + kTempInfix.size());
    return random.size() == kTempRandomLength &&
           std::all_of(random.begin(), random.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes the temporary files killed writers left beside the hive. Called
// under the hive's exclusive lock, so no writer of this hive is between
// creating its temporary file and renaming it; the age spares the writer
// that reaches the same file through another link, and so another lock.
void removeStaleTemps(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string hiveName = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    const time_t staleBefore = ::time(nullptr) - kStaleTempSeconds;
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat info {};
        if (isTempName(entry->d_name, hiveName) &&
            ::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime <= staleBefore)
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

// Writes `text` to a temporary file beside `path` and moves it into place:
// over the old hive (replace) or only where none is (link fails on EEXIST).
// Call under the hive's exclusive lock.
long writeAtomically(const std::string& path, const std::string& text, bool replace) {
    removeStaleTemps(path);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    const int error = writeFileAtomically(path, text, mode,
                                          replace ? Placement::Replace : Placement::OnlyIfAbsent);
    return error == 0 || (!replace && error == EEXIST) ? ERROR_SUCCESS : errorFromErrno(error);
}

void reportBroken(const std::string& path, const Document& doc) {
    static std::mutex m;
    static std::set<std::string> reported;
    std::lock_guard lock(m);
    if (!reported.insert(path).second)
        return;
    std::string lines;
    for (const std::size_t n : doc.brokenLines)
        lines += (lines.empty() ? "" : ", ") + std::to_string(n);
    std::fprintf(stderr,
                 "kavrel: registry hive %s cannot be parsed (line %s); its sound lines are "
                 "read, and it is not written\n",
                 path.c_str(), lines.c_str());
}

Loaded loadUnlocked(const std::string& path) {
    Loaded loaded;
    std::string text;
    loaded.error = readFile(path, text);
    if (loaded.error != ERROR_SUCCESS)
        return loaded;
    loaded.doc = parse(text);
    if (!loaded.doc.sound())
        reportBroken(path, loaded.doc);
    return loaded;
}

void makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
}

} // namespace

Loaded loadHive(const std::string& path) {
    HiveLock lock(path, LOCK_SH);
    return loadUnlocked(path);
}

void ensureUserHive(const std::string& path) {
    if (::access(path.c_str(), F_OK) == 0)
        return;
    makeFolders(path);
    HiveLock lock(path, LOCK_EX);
    std::string text;
    if (readFile(dataFolder() + "/default-user.reg", text) != ERROR_SUCCESS)
        text = "REGEDIT4\n\n";
    writeAtomically(path, text, false);
}

long updateHive(const std::string& path, const std::function<long(Document&)>& edit) {
    HiveLock lock(path, LOCK_EX);
    Loaded loaded = loadUnlocked(path);
    if (loaded.error != ERROR_SUCCESS)
        return loaded.error;
    if (!loaded.doc.sound())
        return ERROR_BADDB;
    const long result = edit(loaded.doc);
    if (result != ERROR_SUCCESS)
        return result;
    // A hive kept elsewhere behind a symbolic link stays a link: the file it
    // points to is replaced.
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    return writeAtomically(target, loaded.doc.text(), true);
}

} // namespace platform::hive
