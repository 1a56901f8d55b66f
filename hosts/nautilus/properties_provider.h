#pragma once
// The GNOME Files properties-model provider: for one file of a GIS type it
// reads the property-page server's pages and returns one model per page
// ("Geography", "Spatial Objects"), the counts following from a worker.
#include <glib-object.h>

namespace nautilushost {

// Registers the provider type in the file manager's type module; 0 when it
// could not be registered.
GType registerPropertiesProvider(GTypeModule* module);

// Name of the provider's read-only int property: counts still on their way.
inline constexpr char kCountsPendingProperty[] = "counts-pending";

} // namespace nautilushost
