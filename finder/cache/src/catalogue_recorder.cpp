// The recorder's thread: describes the folders the walk listed and writes
// them, committing whenever nothing more waits.
#include "finder/catalogue_recorder.h"

#include "finder/folder_entries.h"

#include <unistd.h>

namespace finder {

CatalogueRecorder::CatalogueRecorder(std::unique_ptr<CatalogueWriter> writer)
    : writer_(std::move(writer)), thread_([this] { work(); }) {}

CatalogueRecorder::~CatalogueRecorder() {
    finish();
}

void CatalogueRecorder::push(Job job) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < kMaxWaiting || closing_; });
    if (closing_) {
        if (job.fd >= 0)
            ::close(job.fd);
        return;
    }
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

void CatalogueRecorder::listed(std::string path, int folderFd, std::vector<std::string> names,
                               const FileStamp& stamp, std::int64_t listedNs) {
    push(Job{std::move(path), folderFd, std::move(names), stamp, listedNs, 0, 0, std::nullopt});
}

void CatalogueRecorder::met(std::int64_t folderId) {
    push(Job{{}, -1, {}, {}, 0, folderId, 0, std::nullopt});
}

void CatalogueRecorder::changed(std::int64_t folderId, CatalogueEntry entry, std::int64_t nowNs) {
    push(Job{{}, -1, {}, {}, nowNs, 0, folderId, std::move(entry)});
}

void CatalogueRecorder::gone(std::int64_t folderId, std::string name, std::int64_t nowNs) {
    push(Job{std::move(name), -1, {}, {}, nowNs, 0, folderId, std::nullopt});
}

void CatalogueRecorder::write(Job& job) {
    if (job.metFolder != 0) {
        writer_->touch(job.metFolder);
        return;
    }
    if (job.entryFolder != 0) {
        if (job.entry)
            writer_->putEntry(job.entryFolder, *job.entry, job.listedNs);
        else
            writer_->removeEntry(job.entryFolder, job.path, job.listedNs);
        return;
    }
    FolderRecord record{std::move(job.path), job.stamp, job.listedNs, {}};
    record.entries.reserve(job.names.size());
    for (const std::string& name : job.names) {
        if (auto entry = describeEntry(job.fd, name)) {
            entry->seq = static_cast<std::int64_t>(record.entries.size());
            record.entries.push_back(std::move(*entry));
        }
    }
    ::close(job.fd);
    job.fd = -1;
    writer_->record(record);
}

void CatalogueRecorder::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !jobs_.empty() || closing_; });
        if (jobs_.empty())
            break;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        changed_.notify_all();
        lock.unlock();
        // After a failure the folders are only let go.
        if (writer_->failure().empty())
            write(job);
        else if (job.fd >= 0)
            ::close(job.fd);
        lock.lock();
        if (jobs_.empty())
            writer_->commit(); // what was written becomes visible at once
    }
    writer_->commit();
}

std::string CatalogueRecorder::finish() {
    if (!finished_) {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable())
            thread_.join();
        finished_ = true;
    }
    return writer_->failure();
}

} // namespace finder
