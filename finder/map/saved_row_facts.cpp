// Facts of saved rows: the cache's answer under the stamps of the file, its
// folder and its companions, else the file read (and the answer stored with
// the stamps taken around the reading).
#include "saved_row_facts.h"

#include <strand32/layer.h>

#include <fcntl.h>

#include <optional>
#include <vector>

namespace finder {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// A companion named relative to the file's folder, or absolute.
std::optional<FileStamp> companionStamp(const std::string& folder, const std::string& name) {
    return stampAt(AT_FDCWD, !name.empty() && name.front() == '/' ? name : folder + "/" + name);
}

} // namespace

SavedRowFacts::SavedRowFacts(bool useCache) {
    if (useCache && FootprintCache::enabledByEnvironment())
        cache_ = FootprintCache::open(FootprintCache::defaultFile(), FootprintCache::today()).cache;
}

SavedRowFacts::~SavedRowFacts() = default;

std::shared_ptr<const strand32::FileFacts> SavedRowFacts::factsOf(const std::string& path) {
    if (strand32::layerTypeOf(path) == LayerType::None)
        return nullptr;
    const std::string folder = folderOf(path);
    const std::optional<FileStamp> file = stampAt(AT_FDCWD, path);
    const std::optional<FileStamp> folderStamp = stampAt(AT_FDCWD, folder);
    const bool stamped = file && folderStamp;
    if (cache_ && stamped)
        if (std::optional<strand32::FileFacts> kept =
                cache_->find(path, *file, *folderStamp, false,
                             [&](const std::string& name) { return companionStamp(folder, name); }))
            return std::make_shared<const strand32::FileFacts>(std::move(*kept));
    auto facts = std::make_shared<strand32::FileFacts>(strand32::readFileFacts(path, {}));
    if (cache_ && stamped) {
        std::vector<CompanionStamp> companions;
        for (const std::string& name : facts->companions) {
            const std::optional<FileStamp> stamp = companionStamp(folder, name);
            if (!stamp)
                return facts;
            companions.push_back({name, *stamp});
        }
        cache_->store(path, *file, *folderStamp, *facts, companions);
    }
    return facts;
}

} // namespace finder
