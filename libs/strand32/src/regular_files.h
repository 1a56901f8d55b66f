#pragma once
// Data files are read only when they are regular files. A named pipe, a
// socket, a device or a folder may carry the name of a data file or of one
// of its companions: opening a pipe waits for a writer that may never come,
// and a device can be read without end. GDAL opens layers through a file
// system of ours that serves regular files only and answers "absent" for
// everything else, so no open waits and nothing endless is read.
#include <string>

namespace strand32 {

// `path` as GDAL is to open it: under the prefix of the regular-files file
// system, so that the companions GDAL looks for beside it go through it too.
// Needs ensureGdal() first.
std::string regularFilesPath(const std::string& path);
// A path GDAL reports (its file list) as the file system's own path: the
// regular-files prefix taken off.
std::string plainPathOf(const std::string& gdalPath);

// A descriptor for reading `path`, or -1 when it is not a regular file
// (following symbolic links). Never waits on a pipe.
int openRegularFile(const char* path);

// Installs the regular-files file system in GDAL; once per process, from
// ensureGdal().
void installRegularFiles();

} // namespace strand32
