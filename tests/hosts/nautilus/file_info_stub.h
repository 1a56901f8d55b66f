#pragma once
// A file as GNOME Files describes it to its extensions (NautilusFileInfo),
// over a real file: its location, name, folder flag and the content type GIO
// reads from it.
#include "gobject_ptr.h"

#include <nautilus-extension.h>

#include <string>

namespace nautilustest {

// A path, or a URI with a scheme ("sftp://host/file.shp").
nautilushost::GObjectPtr<NautilusFileInfo> fileInfo(const std::string& pathOrUri);

} // namespace nautilustest
