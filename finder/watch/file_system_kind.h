#pragma once
// Whether a folder lies on a file system whose changes may come from
// elsewhere without an event (network file systems, FUSE): such folders
// are never watched, so never vouched for.
#include <optional>
#include <string>

namespace finder::watch {

// The name of the remote kind of file system `path` lies on ("nfs",
// "cifs", "fuse" ...); none for a local one or when it cannot be told.
// KAVREL_WATCH_TEST_FSTYPE=FOLDER=TYPE (TYPE a file-system magic number, as
// statfs gives it, in hexadecimal) stands in for the type of FOLDER and the
// folders below it.
std::optional<std::string> remoteFileSystem(const std::string& path);

// The name of a remote file-system magic number; none for any other.
std::optional<std::string> remoteKindOf(unsigned long magic);

} // namespace finder::watch
