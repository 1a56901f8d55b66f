#include "finder/search_status.h"

namespace finder {

std::string searchingText(std::string_view folder) {
    std::string text(kSearchingPrefix);
    text += folder;
    return text;
}

std::string checkingText(std::string_view folder) {
    std::string text(kCheckingPrefix);
    text += folder;
    return text;
}

std::string notCataloguedText(std::string_view folder) {
    std::string text("the catalogue does not cover ");
    text += folder;
    return text;
}

std::string filesFoundText(std::uint64_t count) {
    return std::to_string(count) + " file(s) found";
}

} // namespace finder
