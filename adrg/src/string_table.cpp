#include "string_table.h"

#include <array>
#include <utility>

namespace rastrel {

std::string_view stringText(std::int32_t id) {
    static constexpr std::array<std::pair<std::int32_t, std::string_view>, 9> table{{
        {1, "Cannot open file."},
        {2, "Error reading from file."},
        {3, "Unable to allocate memory for image."},
        {4, "Invalid image handle."},
        {5, "Unexpected End of ADRG Image File reached."},
        {6, "Corvex Internal Error: Tried to print ADRG file from DLL."},
        {7, "Invalid ADRG general information file."},
        {8, "Unsupported ADRG version."},
        {1000, "ADRG Graphic~*.ovr;*.img~"},
    }};
    for (const auto& [key, text] : table)
        if (key == id)
            return text;
    return {};
}

} // namespace rastrel
