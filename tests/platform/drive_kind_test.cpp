#include "platform/drive_kind.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using platform::DriveKind;

TEST(drive_kind, tells_real_volumes_from_system_ones) {
    const DriveKind root = platform::driveKindOf("/");
    EXPECT_TRUE(root == DriveKind::Fixed || root == DriveKind::Removable) << static_cast<int>(root);
    EXPECT_EQ(platform::driveKindOf("/proc"), DriveKind::Unknown);
    EXPECT_EQ(platform::driveKindOf("/proc/self"), DriveKind::Unknown);
    EXPECT_EQ(platform::driveKindOf("/no/such/folder"), DriveKind::NoRootDir);
    EXPECT_EQ(platform::driveKindOf(""), DriveKind::NoRootDir);
}

TEST(drive_kind, mounted_volumes_hold_the_root_and_no_system_mounts) {
    const auto volumes = platform::mountedVolumes();
    const auto root = std::find_if(volumes.begin(), volumes.end(),
                                   [](const auto& v) { return v.mountPoint == "/"; });
    ASSERT_NE(root, volumes.end());
    EXPECT_EQ(root->kind, platform::driveKindOf("/"));
    for (const auto& v : volumes) {
        EXPECT_NE(v.mountPoint.rfind("/proc", 0), 0u) << v.mountPoint;
        EXPECT_NE(v.mountPoint.rfind("/sys", 0), 0u) << v.mountPoint;
        EXPECT_NE(v.kind, DriveKind::Unknown) << v.mountPoint;
    }
}

} // namespace
