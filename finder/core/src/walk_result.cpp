#include "finder/walk_result.h"

#include <cstring>

namespace finder {

std::uint32_t WalkResult::code() const {
    switch (kind) {
    case Kind::Done:
        return 0;
    case Kind::Stopped:
        return 0x8001;
    case Kind::NoCallback:
        return 0x8000;
    case Kind::TooDeep:
        return 0xC00000FD;
    case Kind::SubfoldersNotListed:
        return 1;
    case Kind::Failed:
        return 0x8002;
    case Kind::FolderNotEntered:
        break;
    }
    return static_cast<std::uint32_t>(error);
}

std::string walkProblemText(const WalkResult& result, std::string_view startFolder) {
    const std::string folder(startFolder);
    switch (result.kind) {
    case WalkResult::Kind::Done:
    case WalkResult::Kind::Stopped:
        return {};
    case WalkResult::Kind::NoCallback:
        return "nothing to report the files to";
    case WalkResult::Kind::TooDeep:
        return std::string(kMaxFilesExceededText);
    case WalkResult::Kind::SubfoldersNotListed:
        return "cannot list " + folder;
    case WalkResult::Kind::Failed:
        return std::string(kSearchFailedText) + result.reason;
    case WalkResult::Kind::FolderNotEntered:
        break;
    }
    return "cannot search " + folder + ": " + std::strerror(result.error);
}

} // namespace finder
