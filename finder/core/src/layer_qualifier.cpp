// Candidates decided by their facts: from the cache, or read on the pool
// (by full path, else through the folder's handle), handed on in order.
#include "layer_qualifier.h"

#include "finder/footprint_cache.h"
#include "layer_reader.h"

#include <fcntl.h>
#include <unistd.h>

namespace finder {
namespace {

// Steps that may wait for their finish: enough to keep the readers busy
// across the folders of a walk without holding many folders open.
constexpr std::size_t kLookAhead = 256;
// A layer descriptor holds names of at most 255 characters.
constexpr std::size_t kMaxReadPath = 255;

bool isAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

} // namespace

// The folder held open (without read access: only for looking up names in
// it) for as long as a read of one of its files may be pending.
struct LayerQualifier::FolderHandle {
    int fd = -1;
    FolderHandle() : fd(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
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
    std::string path;      // as given to the layer module
    std::string cachePath; // empty: not kept
    bool withKeys = false;
    bool read = false;
    LayerFacts facts;
    std::vector<CompanionStamp> companions;
    bool stampsComplete = true;

    void run() {
        read = readLayerFacts(path, withKeys, facts);
        for (const std::string& name : facts.companions) {
            // A relative name is found from the folder's handle, never from
            // the current folder, which the walk changes meanwhile.
            const bool absolute = isAbsolute(name);
            const auto stamp =
                absolute || folder ? stampAt(absolute ? AT_FDCWD : folder->fd, name) : std::nullopt;
            if (!stamp) {
                stampsComplete = false;
                break;
            }
            companions.push_back(CompanionStamp{name, *stamp});
        }
    }
};

LayerQualifier::LayerQualifier(const CandidateTest& test, FootprintCache* cache, unsigned readers,
                               Output output)
    : test_(test), cache_(cache), output_(std::move(output)), pool_(readers, kLookAhead) {}

LayerQualifier::~LayerQualifier() = default;

void LayerQualifier::enterFolder(const std::string& folder, const std::optional<FileStamp>& stamp) {
    folders_.push_back(Folder{folder, stamp, nullptr});
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

bool LayerQualifier::answerFromCache(const FoundFile& entry, const FileStamp& stamp,
                                     const Folder& folder, const std::string& cachePath) {
    if (cache_ == nullptr || cachePath.empty() || !folder.stamp)
        return false;
    // The walk's current folder is the file's: companions are found from it.
    const auto facts =
        cache_->find(cachePath, stamp, *folder.stamp, test_.needsKeys(),
                     [](const std::string& name) { return stampAt(AT_FDCWD, name); });
    if (!facts)
        return false;
    const bool passes = test_.layerPasses(*facts);
    pool_.push({}, [this, passes, entry] {
        if (passes)
            output_.found(entry);
    });
    return true;
}

bool LayerQualifier::qualify(const FoundFile& entry, const FileStamp& stamp) {
    if (folders_.empty())
        return true;
    Folder& folder = folders_.back();
    const std::string fullPath = fullPathOfRow(folder.path, entry.fileName);
    const std::string cachePath = isAbsolute(folder.path) ? fullPath : std::string();
    if (!answerFromCache(entry, stamp, folder, cachePath)) {
        if (!folder.handle)
            folder.handle = std::make_shared<FolderHandle>();
        auto read = std::make_shared<Read>();
        read->entry = entry;
        read->stamp = stamp;
        read->folderStamp = folder.stamp;
        read->folder = folder.handle->fd >= 0 ? folder.handle : nullptr;
        read->cachePath = cachePath;
        read->withKeys = test_.needsKeys();
        // By full path, else through the folder's handle; when neither fits
        // a layer descriptor, on this thread by the bare name.
        const std::string viaHandle =
            read->folder
                ? "/proc/self/fd/" + std::to_string(read->folder->fd) + "/" + entry.fileName
                : std::string();
        bool here = false;
        if (isAbsolute(fullPath) && fullPath.size() <= kMaxReadPath)
            read->path = fullPath;
        else if (!viaHandle.empty() && viaHandle.size() <= kMaxReadPath)
            read->path = viaHandle;
        else {
            read->path = entry.fileName;
            here = true;
        }
        pool_.push([read] { read->run(); }, [this, read] { finishRead(*read); }, here);
    }
    return pool_.drain(false, output_.keepGoing);
}

void LayerQualifier::finishRead(Read& read) {
    if (cache_ != nullptr && read.read && read.stampsComplete && !read.cachePath.empty() &&
        read.folderStamp)
        cache_->store(read.cachePath, read.stamp, *read.folderStamp, read.facts, read.companions);
    if (test_.layerPasses(read.facts))
        output_.found(read.entry);
}

bool LayerQualifier::finish() {
    return pool_.drain(true, output_.keepGoing);
}

} // namespace finder
