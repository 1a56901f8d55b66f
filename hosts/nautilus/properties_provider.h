#pragma once
// The GNOME Files properties-model provider: for one file of a GIS type it
// returns one model per page of the property-page server ("Geography",
// "Spatial Objects") at once, and a reader process of ours fills them. No
// data file is read in the file manager's process.
#include <glib-object.h>

namespace nautilushost {

// Registers the provider type in the file manager's type module; 0 when it
// could not be registered.
GType registerPropertiesProvider(GTypeModule* module);

// Name of the provider's read-only int property: readers still running.
inline constexpr char kReadersRunningProperty[] = "readers-running";

} // namespace nautilushost
