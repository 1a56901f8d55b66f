#pragma once
// Kept for callers that include the library's sources folder.
#include "strand32/layer_info.h"
