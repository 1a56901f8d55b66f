// Date texts of the date boxes and the months/days count: any text gives a
// DOS date or a refusal; a date read shows as a text that reads back to it.
#include "DateUtil.h"
#include "fuzz_check.h"

using namespace finder::DateUtil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::text(data, size);
    if (const auto date = parseDate(text)) {
        const std::string shown = dateText(*date, size % 2 == 0);
        FUZZ_CHECK(parseDate(shown) == date);
    }
    const int count = leadingInteger(text);
    for (const BackUnit unit : {BackUnit::Months, BackUnit::Days}) {
        const DosDate back = dateBack(count, unit, CivilDate{2024, 2, 29});
        const CivilDate civil = civilOfDosDate(back);
        FUZZ_CHECK(civil.year >= 1980 && civil.year <= 2024);
        FUZZ_CHECK(civil.month >= 1 && civil.month <= 12 && civil.day >= 1 && civil.day <= 31);
    }
    return 0;
}
