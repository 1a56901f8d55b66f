#pragma once
// The part of a walk that decides candidates by their facts (area and
// coordinate system): the footprint cache answers first, otherwise the file
// is read on a small pool of threads, by its full path or through its
// folder's handle, while found files and status texts are still handed on
// in the walk's order. Used by the walk's thread only.
#include "finder/file_stamp.h"
#include "finder/found_file.h"
#include "finder/qualification.h"

#include "ordered_pool.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace finder {

class FootprintCache;

class LayerQualifier {
public:
    struct Output {
        std::function<void(const FoundFile&)> found;
        std::function<void(const std::string&)> status; // may be empty
        std::function<bool()> keepGoing;                // read after each hand-on
    };

    // `readers` 0: files are read on the walk's thread. `cache` may be null.
    LayerQualifier(const CandidateTest& test, FootprintCache* cache, unsigned readers,
                   Output output);
    ~LayerQualifier();

    // The walk made `folder` current; until leaveFolder(), entries are its.
    // `stamp`: the folder's stamp, taken when it was listed.
    void enterFolder(const std::string& folder, const std::optional<FileStamp>& stamp);
    void leaveFolder();

    // An entry that passed the tests on the directory entry, of a layer
    // type; `stamp` was taken when it was listed. False once told to stop.
    bool qualify(const FoundFile& entry, const FileStamp& stamp);
    // A status text, handed on in its turn.
    bool status(const std::string& folder);
    // Hands on everything still pending, in order; false once told to stop.
    bool finish();

private:
    struct FolderHandle;
    struct Folder {
        std::string path;
        std::optional<FileStamp> stamp;
        std::shared_ptr<FolderHandle> handle; // opened for the first file read
    };
    struct Read;

    bool answerFromCache(const FoundFile& entry, const FileStamp& stamp, const Folder& folder,
                         const std::string& cachePath);
    void finishRead(Read& read);

    const CandidateTest& test_;
    FootprintCache* cache_;
    Output output_;
    OrderedPool pool_;
    std::vector<Folder> folders_;
};

} // namespace finder
