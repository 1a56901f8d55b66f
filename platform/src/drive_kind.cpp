#include "platform/drive_kind.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <fstream>
#include <set>
#include <string_view>

namespace platform {

namespace {

const std::set<std::string_view> kRemote = {
    "nfs", "nfs4",  "cifs",        "smb3", "smbfs",     "sshfs",          "fuse.sshfs", "afs",
    "9p",  "davfs", "fuse.davfs2", "ceph", "glusterfs", "fuse.glusterfs", "fuse.rclone"};
const std::set<std::string_view> kOptical = {"iso9660", "udf"};
const std::set<std::string_view> kRam = {"tmpfs", "ramfs"};
// Kernel and system file systems nobody searches for data files.
const std::set<std::string_view> kPseudo = {
    "proc",       "sysfs",    "devtmpfs", "devpts",   "cgroup",      "cgroup2",
    "securityfs", "debugfs",  "tracefs",  "pstore",   "bpf",         "mqueue",
    "hugetlbfs",  "configfs", "fusectl",  "autofs",   "binfmt_misc", "efivarfs",
    "rpc_pipefs", "nsfs",     "squashfs", "selinuxfs"};

// /sys/class/block/<dev> leads to the disk or to a partition of it; the
// removable flag sits on the disk.
bool isRemovableDevice(const QByteArray& device) {
    if (!device.startsWith("/dev/"))
        return false;
    const QString real = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    const QString name =
        QFileInfo(real.isEmpty() ? QString::fromLocal8Bit(device) : real).fileName();
    const QString sys = QFileInfo("/sys/class/block/" + name).canonicalFilePath();
    if (sys.isEmpty())
        return false;
    for (const QString& candidate : {sys + "/removable", sys + "/../removable"}) {
        std::ifstream in(QDir::cleanPath(candidate).toStdString());
        char flag = 0;
        if (in >> flag)
            return flag == '1';
    }
    return false;
}

DriveKind kindOf(const QStorageInfo& storage) {
    if (!storage.isValid())
        return DriveKind::NoRootDir;
    const std::string type = storage.fileSystemType().toStdString();
    if (kRemote.count(type))
        return DriveKind::Remote;
    if (kOptical.count(type))
        return DriveKind::CdRom;
    if (kRam.count(type))
        return DriveKind::RamDisk;
    if (kPseudo.count(type))
        return DriveKind::Unknown;
    return isRemovableDevice(storage.device()) ? DriveKind::Removable : DriveKind::Fixed;
}

bool underSystemFolder(const QString& mountPoint) {
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/var/lib/docker"})
        if (mountPoint == system || mountPoint.startsWith(QString(system) + '/'))
            return true;
    return false;
}

} // namespace

DriveKind driveKindOf(const std::string& path) {
    if (path.empty() || !QFileInfo::exists(QString::fromLocal8Bit(path)))
        return DriveKind::NoRootDir;
    return kindOf(QStorageInfo(QString::fromLocal8Bit(path)));
}

std::vector<Volume> mountedVolumes() {
    std::vector<Volume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady())
            continue;
        const QString root = storage.rootPath();
        const DriveKind kind = kindOf(storage);
        // Bind mounts of single files (containers mount /etc/hosts so) are no volumes.
        if (kind == DriveKind::Unknown || kind == DriveKind::RamDisk || underSystemFolder(root) ||
            !QFileInfo(root).isDir())
            continue;
        volumes.push_back({root.toStdString(), storage.name().toStdString(), kind});
    }
    return volumes;
}

} // namespace platform
