#pragma once
// The catalogue as the walk's source of folders: a folder the running
// watcher vouches for is taken whole from the catalogue (its entries'
// stamps too); one whose stamp is unchanged gives its names, and the walk
// looks only at the candidates among them (names the pattern matches and
// the name test passes); any other folder is listed, and the recorder keeps
// the listing. Used on the walk's thread.
#include "folder_source.h"

#include "finder/catalogue.h"
#include "finder/catalogue_recorder.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace finder {

class CatalogueFolders : public FolderSource {
public:
    // `known`: the catalogue's folders of the tree searched; `session`: the
    // running watcher's (0: none); `pattern` and `flags`: the name pattern
    // and the criteria's flags of the search.
    CatalogueFolders(Catalogue& catalogue, CatalogueRecorder& recorder,
                     const std::vector<CatalogueFolder>& known, std::int64_t session,
                     std::string pattern, std::uint16_t flags, std::int64_t today);

    bool list(const std::string& path, const FolderDescriptor& here,
              FolderListing& listing) override;

    ~CatalogueFolders() override;

    // Folders taken from the catalogue and folders listed, so far.
    std::uint64_t adopted() const { return adopted_; }
    std::uint64_t listed() const { return listed_; }

private:
    void adopt(const CatalogueFolder& folder, const FolderDescriptor& here, bool vouched,
               FolderListing& listing);

    Catalogue& catalogue_;
    CatalogueRecorder& recorder_;
    std::unordered_map<std::string, CatalogueFolder> known_;
    std::int64_t session_;
    std::string pattern_;
    std::uint16_t flags_;
    std::int64_t today_;
    std::uint64_t adopted_ = 0, listed_ = 0;
    static constexpr std::uint64_t kFoldersARead = 1000;
};

} // namespace finder
