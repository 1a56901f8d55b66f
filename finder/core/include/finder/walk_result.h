#pragma once
// How a walk of the folder tree ended, and the one place its texts come from.
#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kMaxFilesExceededText =
    "The maximum number of files has been exceeded.";

struct WalkResult {
    enum class Kind {
        Done,
        Stopped,             // the stop flag was set, or a hand-off failed
        NoCallback,          // nobody to hand rows to: nothing was walked
        TooDeep,             // the depth guard tripped
        SubfoldersNotListed, // the start folder could not be listed again
        FolderNotEntered,    // the start folder or a subfolder could not be made current
    };
    Kind kind = Kind::Done;
    int error = 0; // errno of FolderNotEntered

    static WalkResult done() { return {}; }
    static WalkResult of(Kind kind) { return {kind, 0}; }
    static WalkResult folderNotEntered(int error) { return {Kind::FolderNotEntered, error}; }

    // The walk's numeric code: 0 done, 0x8001 stopped, 0x8000 no callback,
    // 0xC00000FD too deep, 1 subfolders not listed, else the error code.
    std::uint32_t code() const;
    bool operator==(const WalkResult&) const = default;
};

// What went wrong, for a person: empty for a walk that was done or stopped.
// `startFolder` is the folder the search began in.
std::string walkProblemText(const WalkResult& result, std::string_view startFolder);

} // namespace finder
