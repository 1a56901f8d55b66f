// Corner boxes: any text passes or fails the leave check with a message and
// a selection inside the text; the four corners of a search read from any
// texts. Input: up to four texts separated by line breaks; the first byte
// also says whether the map is shown.
#include "finder/coords/corner_entry.h"
#include "fuzz_check.h"

#include <array>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);
    std::array<std::string_view, 4> texts{};
    std::string_view rest = input;
    for (auto& text : texts) {
        const auto nl = rest.find('\n');
        text = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    }
    for (const std::string_view text : texts) {
        for (const bool longitude : {false, true}) {
            const auto check = finder::coords::checkCornerText(text, longitude);
            FUZZ_CHECK(check.ok == check.message.empty());
            FUZZ_CHECK(check.selectionStart <= text.size());
        }
        const auto number = finder::coords::leadingNumber(text);
        FUZZ_CHECK(number.end <= text.size() && number.found == (number.end != 0));
    }
    const bool mapShown = size > 0 && (data[0] & 1);
    const auto values =
        finder::coords::cornerValuesForSearch({texts[0], texts[1], texts[2], texts[3]}, mapShown);
    if (values.latLon)
        FUZZ_CHECK(std::abs(values.northwestX) <= 180 && std::abs(values.northwestY) <= 90 &&
                   std::abs(values.southeastX) <= 180 && std::abs(values.southeastY) <= 90);
    return 0;
}
