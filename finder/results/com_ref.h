#pragma once
// The COM reference holder of the platform, under the finder's names.
#include <platform/com_ref.h>

namespace finder {
using platform::ComRef;
using platform::handOutInterface;
} // namespace finder
