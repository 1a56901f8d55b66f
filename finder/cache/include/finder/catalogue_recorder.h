#pragma once
// The walk's side of the catalogue: each folder a search lists is described
// entry by entry and written on a thread of the recorder's own, so that the
// walk neither looks at every entry nor waits for the file. At most a few
// dozen folders wait; beyond that the walk waits for the recorder.
#include "finder/catalogue_writer.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace finder {

class CatalogueRecorder {
public:
    static constexpr std::size_t kMaxWaiting = 64;

    explicit CatalogueRecorder(std::unique_ptr<CatalogueWriter> writer);
    // finish(), when not done yet.
    ~CatalogueRecorder();
    CatalogueRecorder(const CatalogueRecorder&) = delete;
    CatalogueRecorder& operator=(const CatalogueRecorder&) = delete;

    // A folder the walk listed at `listedNs` with these names, `stamp` taken
    // before it was listed; `folderFd` holds it and is closed by the recorder.
    void listed(std::string path, int folderFd, std::vector<std::string> names,
                const FileStamp& stamp, std::int64_t listedNs);
    // A folder the walk took from the catalogue: met again today.
    void met(std::int64_t folderId);
    // An entry of such a folder is found changed (its stamp), or gone.
    void changed(std::int64_t folderId, CatalogueEntry entry, std::int64_t nowNs);
    void gone(std::int64_t folderId, std::string name, std::int64_t nowNs);
    // Writes everything waiting and ends the thread; the failure, if any.
    std::string finish();

private:
    struct Job {
        std::string path;
        int fd = -1;
        std::vector<std::string> names;
        FileStamp stamp;
        std::int64_t listedNs = 0;
        std::int64_t metFolder = 0; // a touch only, when not 0
        std::int64_t entryFolder = 0; // an entry changed or gone, when not 0
        std::optional<CatalogueEntry> entry; // none: gone (named by `path`)
    };
    void push(Job job);
    void work();
    void write(Job& job);

    std::unique_ptr<CatalogueWriter> writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool closing_ = false;
    bool finished_ = false;
    std::thread thread_;
};

} // namespace finder
