#pragma once
// How a walk of the folder tree ended, and the one place its texts come from.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kMaxFilesExceededText =
    "The maximum number of files has been exceeded.";
// Followed by the reason.
inline constexpr std::string_view kSearchFailedText = "The search failed: ";

struct WalkResult {
    enum class Kind {
        Done,
        Stopped,             // the stop flag was set, or a hand-off failed
        NoCallback,          // nobody to hand rows to: nothing was walked
        TooDeep,             // the depth guard tripped
        SubfoldersNotListed, // the start folder could not be listed again
        FolderNotEntered,    // the start folder could not be opened
        Failed,              // a library, the cache or memory failed: `reason` says how
    };
    Kind kind = Kind::Done;
    int error = 0;      // errno of FolderNotEntered
    std::string reason; // of Failed

    static WalkResult done() { return {}; }
    static WalkResult of(Kind kind) { return {kind, 0, {}}; }
    static WalkResult folderNotEntered(int error) { return {Kind::FolderNotEntered, error, {}}; }
    static WalkResult failed(std::string reason) { return {Kind::Failed, 0, std::move(reason)}; }

    // The walk's numeric code: 0 done, 0x8001 stopped, 0x8000 no callback,
    // 0xC00000FD too deep, 1 subfolders not listed, 0x8002 failed, else the
    // error code.
    std::uint32_t code() const;
    bool operator==(const WalkResult&) const = default;
};

// A failure inside the walk that ends the search: a reader, the cache or a
// listener could not do its part. Thrown on the walk's thread, caught by the
// walk and turned into a failed result.
struct SearchFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What went wrong, for a person: empty for a walk that was done or stopped.
// `startFolder` is the folder the search began in.
std::string walkProblemText(const WalkResult& result, std::string_view startFolder);

} // namespace finder
