#pragma once
// Where a walk takes a folder's entries from when it does not simply list
// the folder: the catalogue answers for folders it knows unchanged, and
// keeps what the walk lists of the others.
#include "folder_listing.h"

#include <string>

namespace finder {

class FolderSource {
public:
    virtual ~FolderSource() = default;
    // Fills `listing` with the entries of the folder at `path` (absolute)
    // that `here` holds; false when it cannot be listed.
    virtual bool list(const std::string& path, const FolderDescriptor& here,
                      FolderListing& listing) = 0;
};

} // namespace finder
