// Folders of a walk taken from the catalogue, or listed and recorded.
#include "catalogue_folders.h"

#include "finder/folder_entries.h"
#include "finder/qualification.h"
#include "finder/walk_result.h"

#include <platform/wildcard.h>

#include <fcntl.h>
#include <unistd.h>

namespace finder {
namespace {

// The status of an entry as the catalogue keeps it, for a folder vouched for.
struct stat statusOf(const CatalogueEntry& entry, const CatalogueFolder& folder) {
    struct stat info {};
    info.st_dev = static_cast<dev_t>(folder.stamp.device);
    info.st_ino = static_cast<ino_t>(entry.inode);
    info.st_mode = entry.kind == EntryKind::File ? S_IFREG : S_IFDIR;
    info.st_size = static_cast<off_t>(entry.size);
    info.st_mtim.tv_sec = static_cast<time_t>(entry.modifiedNs / 1'000'000'000);
    info.st_mtim.tv_nsec = static_cast<long>(entry.modifiedNs % 1'000'000'000);
    if (info.st_mtim.tv_nsec < 0) {
        info.st_mtim.tv_nsec += 1'000'000'000;
        --info.st_mtim.tv_sec;
    }
    return info;
}

unsigned char typeOf(EntryKind kind) {
    switch (kind) {
    case EntryKind::Subfolder:
        return DT_DIR;
    case EntryKind::LinkedFolder:
        return DT_LNK;
    case EntryKind::File:
        break;
    }
    return DT_REG;
}

} // namespace

CatalogueFolders::CatalogueFolders(Catalogue& catalogue, CatalogueRecorder& recorder,
                                   const std::vector<CatalogueFolder>& known, std::int64_t session,
                                   std::string pattern, std::uint16_t flags, std::int64_t today)
    : catalogue_(catalogue), recorder_(recorder), session_(session), pattern_(std::move(pattern)),
      flags_(flags), today_(today) {
    known_.reserve(known.size());
    for (const CatalogueFolder& folder : known)
        known_.emplace(folder.path, folder);
}

CatalogueFolders::~CatalogueFolders() {
    catalogue_.endRead();
}

void CatalogueFolders::adopt(const CatalogueFolder& folder, const FolderDescriptor& here,
                             bool vouched, FolderListing& listing) {
    listing.adopt(here);
    // One read of the catalogue for many folders, not one each; renewed so
    // that the file's log can still be folded in during a long walk. Without
    // a log, a long read would keep the recorder and the watcher waiting.
    if (catalogue_.readsBesideWriters() && adopted_ % kFoldersARead == 0) {
        catalogue_.endRead();
        catalogue_.beginRead();
    }
    // Only the entries the walk hands on or enters: candidates and folders.
    const std::vector<CatalogueEntry> entries = catalogue_.entries(folder.id);
    if (!catalogue_.failure().empty())
        throw SearchFailure(catalogue_.failure());
    const std::int64_t nowNs = wallClockNs();
    for (const CatalogueEntry& entry : entries) {
        // A file the name rules out is no candidate: not looked at (a walk
        // does not look at it either).
        if (entry.kind == EntryKind::File && (!platform::wildcardMatch(pattern_, entry.name) ||
                                              CandidateTest::nameFails(flags_, entry.name)))
            continue;
        if (vouched || entry.kind != EntryKind::File) {
            const struct stat known = statusOf(entry, folder);
            listing.add(entry.name, typeOf(entry.kind), vouched ? &known : nullptr);
            continue;
        }
        // A candidate is looked at: what it is now goes to the walk and,
        // when it changed, to the catalogue.
        auto now = describeEntry(listing.fd(), entry.name);
        if (!now) {
            recorder_.gone(folder.id, entry.name, nowNs);
            continue;
        }
        now->seq = entry.seq;
        if (*now != entry)
            recorder_.changed(folder.id, *now, nowNs);
        const CatalogueEntry& seen = *now;
        const struct stat known = statusOf(seen, folder);
        listing.add(seen.name, typeOf(seen.kind), &known);
    }
    if (folder.seenDay < today_)
        recorder_.met(folder.id);
    ++adopted_;
}

bool CatalogueFolders::list(const std::string& path, const FolderDescriptor& here,
                            FolderListing& listing) {
    const auto it = known_.find(path);
    if (it != known_.end() && it->second.vouchedBy(session_)) {
        adopt(it->second, here, true, listing);
        return true;
    }
    // The stamp first: a change made while the folder is listed shows in
    // the next search.
    struct stat info {};
    if (::fstat(here.fd(), &info) != 0)
        return false;
    const FileStamp stamp = stampOf(info);
    if (it != known_.end() && it->second.stamp == stamp && it->second.trusted()) {
        adopt(it->second, here, false, listing);
        return true;
    }
    const std::int64_t listedNs = wallClockNs();
    if (!listing.open(here))
        return false;
    const int held = ::fcntl(listing.fd(), F_DUPFD_CLOEXEC, 0);
    if (held >= 0)
        recorder_.listed(path, held, listing.names(), stamp, listedNs);
    ++listed_;
    return true;
}

} // namespace finder
