#pragma once
// The kind of volume a path lies on, as the original platform's drive type.
#include <string>
#include <vector>

namespace platform {

enum class DriveKind { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

DriveKind driveKindOf(const std::string& path);

struct Volume {
    std::string mountPoint;
    std::string label; // may be empty
    DriveKind kind;
};

// Mounted volumes a user would search (pseudo file systems left out).
std::vector<Volume> mountedVolumes();

} // namespace platform
