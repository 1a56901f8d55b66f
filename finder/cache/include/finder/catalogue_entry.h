#pragma once
// What the catalogue keeps of a folder and of each of its entries.
#include "finder/file_stamp.h"

#include <cstdint>
#include <string>

namespace finder {

enum class EntryKind : int {
    File = 0,         // anything a walk does not enter: files, links to files, devices
    Subfolder = 1,    // a real folder, walked below its parent
    LinkedFolder = 2, // a symbolic link to a folder: listed, never entered
};

struct CatalogueEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since 1970, UTC
    std::uint64_t inode = 0;
    std::int64_t seq = 0; // place in the folder's listing
    bool operator==(const CatalogueEntry&) const = default;
};

// Folder stamps younger than this when a folder was listed may hide a
// change made in the same tick of the file system's clock.
inline constexpr std::int64_t kTrustAfterNs = 2'000'000'000;

struct CatalogueFolder {
    std::int64_t id = 0;
    std::string path;
    FileStamp stamp;            // when its entries were read
    std::int64_t listedNs = 0;  // when its entries were last read whole
    std::int64_t seenDay = 0;   // when a search last met it
    std::int64_t watchSession = 0;
    std::int64_t watchedNs = 0; // since when its watch has missed nothing

    // Its entries still hold while its stamp does: it was listed well after
    // its last change.
    bool trusted() const { return listedNs - stamp.modifiedNs >= kTrustAfterNs; }
    // The watcher of `session` (0: none runs) vouches for its entries: it
    // watched the folder before they were read, and missed nothing since.
    bool vouchedBy(std::int64_t session) const {
        return session != 0 && watchSession == session && watchedNs != 0 &&
               watchedNs <= listedNs;
    }
};

} // namespace finder
