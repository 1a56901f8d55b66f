#pragma once
// Clipboard format registration: a name gets one number per process, from
// 0xC000 up; the same name (letter case ignored) always gets the same number.
#include <string_view>

namespace platform {

constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_HDROP = 15;

unsigned RegisterClipboardFormat(std::string_view name); // 0 for an empty name
// The name registered for a number; empty when none.
std::string_view clipboardFormatName(unsigned format);

} // namespace platform
