#pragma once
// The whole C interface of the map-view library: the layer functions
// (libstrand32, no Qt) and the map functions (libstrand32_map, Qt). Include
// one of the two headers alone to see what a library provides.
#include "strand32/mapora_layer.h"
#include "strand32/mapora_map.h"
