// Candidates decided by their facts: from the cache, or read on the pool
// (by full path, else below the folder's descriptor), handed on in order.
#include "layer_qualifier.h"

#include "finder/footprint_cache.h"
#include "finder/walk_result.h"
#include "layer_reader.h"

#include <fcntl.h>
#include <unistd.h>

namespace finder {
namespace {

// Steps that may wait for their finish: enough to keep the readers busy
// across the folders of a walk without holding many folders open.
constexpr std::size_t kLookAhead = 256;
// Full paths up to this length are given to the reader as they are; longer
// ones are read below their folder's descriptor, so that no library meets a
// path longer than it can hold.
constexpr std::size_t kMaxReadPath = 1024;

bool isAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

} // namespace

// The folder held open (without read access: only for looking up names in
// it) for as long as a read of one of its files may be pending.
struct LayerQualifier::FolderHandle {
    int fd = -1;
    explicit FolderHandle(int folder)
        : fd(::openat(folder, ".", O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
    ~FolderHandle() {
        if (fd >= 0)
            ::close(fd);
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
};

// One file read on the pool: what the walk knew, and what the read found.
struct LayerQualifier::Read {
    FoundFile entry;
    FileStamp stamp;
    std::optional<FileStamp> folderStamp;
    std::shared_ptr<FolderHandle> folder;
    std::string path; // as given to the reader
    strand32::FactsRequest request;
    FactsReading reading;
    std::vector<CompanionStamp> companions;
    bool stampsComplete = true;

    // On a pool thread; throws nothing (a failure is kept in `reading`).
    void run() noexcept {
        try {
            reading = readFactsThroughModule(path, request);
            for (const std::string& name : reading.facts.companions) {
                // A relative name is found from the folder's descriptor.
                const bool absolute = isAbsolute(name);
                const auto companion = absolute || folder
                                           ? stampAt(absolute ? AT_FDCWD : folder->fd, name)
                                           : std::nullopt;
                if (!companion) {
                    stampsComplete = false;
                    break;
                }
                companions.push_back(CompanionStamp{name, *companion});
            }
        } catch (...) {
            reading = FactsReading{false, {}, "out of memory while reading " + entry.path};
        }
    }
};

LayerQualifier::LayerQualifier(const CandidateTest& test, Options options, Output output)
    : test_(test), options_(options), output_(std::move(output)),
      pool_(options.readers, kLookAhead) {}

LayerQualifier::~LayerQualifier() = default;

void LayerQualifier::enterFolder(const std::string& folder, int folderFd,
                                 const std::optional<FileStamp>& stamp) {
    folders_.push_back(Folder{folder, folderFd, stamp, nullptr});
}

void LayerQualifier::leaveFolder() {
    if (!folders_.empty())
        folders_.pop_back();
}

bool LayerQualifier::status(const std::string& folder) {
    if (!output_.status)
        return true;
    if (pool_.empty()) {
        output_.status(folder);
        return true;
    }
    pool_.push({}, [this, folder] { output_.status(folder); });
    return pool_.drain(false, output_.keepGoing);
}

bool LayerQualifier::passOn(const FoundFile& entry) {
    pool_.push({}, [this, entry] { output_.found(entry); });
    return pool_.drain(false, output_.keepGoing);
}

void LayerQualifier::checkCache() const {
    if (options_.cache != nullptr && !options_.cache->failure().empty())
        throw SearchFailure(options_.cache->failure());
}

bool LayerQualifier::answerFromCache(const FoundFile& entry, const FileStamp& stamp,
                                     const Folder& folder) {
    if (options_.cache == nullptr || !folder.stamp)
        return false;
    const int folderFd = folder.fd;
    auto facts = options_.cache->find(
        entry.path, stamp, *folder.stamp, options_.withKeys,
        [folderFd](const std::string& name) { return stampAt(folderFd, name); });
    checkCache();
    if (!facts)
        return false;
    pool_.push({}, [this, entry, facts = std::move(*facts)]() mutable {
        handOn(entry, std::move(facts));
    });
    return true;
}

bool LayerQualifier::qualify(const FoundFile& entry, const FileStamp& stamp) {
    if (folders_.empty())
        return true;
    Folder& folder = folders_.back();
    if (!answerFromCache(entry, stamp, folder)) {
        if (!folder.handle)
            folder.handle = std::make_shared<FolderHandle>(folder.fd);
        auto read = std::make_shared<Read>();
        read->entry = entry;
        read->stamp = stamp;
        read->folderStamp = folder.stamp;
        read->folder = folder.handle->fd >= 0 ? folder.handle : nullptr;
        read->request.keys = options_.withKeys;
        // By full path, else below the folder's descriptor.
        if (entry.path.size() <= kMaxReadPath || !read->folder)
            read->path = entry.path;
        else
            read->path = "/proc/self/fd/" + std::to_string(read->folder->fd) + "/" +
                         std::string(entry.name());
        pool_.push([read] { read->run(); }, [this, read] { finishRead(*read); });
    }
    return pool_.drain(false, output_.keepGoing);
}

void LayerQualifier::finishRead(Read& read) {
    if (!read.reading.read)
        throw SearchFailure(read.reading.error);
    FootprintCache* cache = options_.cache;
    if (cache != nullptr && read.stampsComplete && read.folderStamp)
        cache->store(read.entry.path, read.stamp, *read.folderStamp, read.reading.facts,
                     read.companions);
    checkCache();
    handOn(std::move(read.entry), std::move(read.reading.facts));
}

void LayerQualifier::handOn(FoundFile entry, strand32::FileFacts facts) {
    if (!test_.layerPasses(facts))
        return;
    entry.facts = std::make_shared<const strand32::FileFacts>(std::move(facts));
    output_.found(entry);
}

bool LayerQualifier::finish() {
    return pool_.drain(true, output_.keepGoing);
}

} // namespace finder
