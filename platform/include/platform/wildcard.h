#pragma once
// File-name patterns as the original platform's folder listing matches them:
// `*` any run, `?` one character, letter case ignored, and "*.*" (or "*")
// matching every name, also names without a dot.
#include <string_view>

namespace platform {

bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace platform
