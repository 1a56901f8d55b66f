#pragma once
// The part of a walk that decides candidates by their facts (area and
// coordinate system), or reads the facts of found files for the caller:
// the footprint cache answers first, otherwise the file is read on a small
// pool of threads, by its full path or below its folder's descriptor, while
// found files and status texts are still handed on in the walk's order,
// each file with its facts. A reader, cache or memory failure ends the walk
// with a SearchFailure. Used by the walk's thread only.
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
    struct Options {
        FootprintCache* cache = nullptr; // null: none
        unsigned readers = 0;            // 0: files are read on the walk's thread
        bool withKeys = false;           // read the coordinate-system keys too
    };

    LayerQualifier(const CandidateTest& test, Options options, Output output);
    ~LayerQualifier();

    // The walk is listing `folder`, held by `folderFd`; until leaveFolder(),
    // entries are its. `stamp`: the folder's, taken when it was listed.
    void enterFolder(const std::string& folder, int folderFd,
                     const std::optional<FileStamp>& stamp);
    void leaveFolder();

    // An entry of a layer type that passed the tests on the directory
    // entry; `stamp` was taken when it was listed. False once told to stop.
    bool qualify(const FoundFile& entry, const FileStamp& stamp);
    // An entry found without facts, handed on in its turn.
    bool passOn(const FoundFile& entry);
    // A status text, handed on in its turn.
    bool status(const std::string& folder);
    // Hands on everything still pending, in order; false once told to stop.
    bool finish();

private:
    struct FolderHandle;
    struct Folder {
        std::string path;
        int fd = -1; // the walk's, while it lists the folder
        std::optional<FileStamp> stamp;
        std::shared_ptr<FolderHandle> handle; // kept for the reads of its files
    };
    struct Read;

    bool answerFromCache(const FoundFile& entry, const FileStamp& stamp, const Folder& folder);
    void finishRead(Read& read);
    void handOn(FoundFile entry, strand32::FileFacts facts);
    void checkCache() const;

    const CandidateTest& test_;
    Options options_;
    Output output_;
    OrderedPool pool_;
    std::vector<Folder> folders_;
};

} // namespace finder
