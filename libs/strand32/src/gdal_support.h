#pragma once
// The library's GDAL handle owners and open settings are public (the
// footprint export uses them too); sources here include them by this name.
#include "strand32/gdal_support.h"
