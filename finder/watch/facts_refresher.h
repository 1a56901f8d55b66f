#pragma once
// GIS files the watcher saw change, read again so that the footprint cache
// (and with it the catalogue's answer) holds what they tell now. A file is
// read once its stamp and its folder's are two seconds old (the cache keeps
// nothing younger); at most a bounded number wait, the others are read by
// the next search that needs them.
#include "finder/footprint_cache.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

namespace finder::watch {

class FactsRefresher {
public:
    static constexpr std::size_t kMaxWaiting = 100'000;

    explicit FactsRefresher(FootprintCache& cache) : cache_(cache) {}

    // The file at `path` changed, appeared or moved there.
    void changed(const std::string& path, std::int64_t nowNs);
    // Reads at most `limit` files due by `nowNs`; how many were read.
    std::size_t readDue(std::int64_t nowNs, std::size_t limit);
    // When the next file is due; none when none waits.
    std::optional<std::int64_t> nextDue() const;
    std::size_t waiting() const { return due_.size(); }
    std::uint64_t read() const { return read_; }

private:
    void schedule(const std::string& path, std::int64_t dueNs);
    // Reads the file; the time it is to be tried again when it was too young.
    std::optional<std::int64_t> refresh(const std::string& path, std::int64_t nowNs);

    FootprintCache& cache_;
    std::multimap<std::int64_t, std::string> due_;                 // by time due
    std::unordered_map<std::string, std::int64_t> dueOf_;          // by path
    std::uint64_t read_ = 0;
};

} // namespace finder::watch
