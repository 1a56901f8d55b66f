// The exported entry points of the plug-in. Every export catches whatever is
// thrown below it and answers with a status code; nothing crosses to the host.
#include "rastrel/imdl.h"

#include "colour_table.h"
#include "dib_header.h"
#include "general_info.h"
#include "image_record.h"
#include "string_table.h"
#include "tile_reader.h"

#include "platform/c_boundary.h"
#include "platform/global_memory.h"

#include <algorithm>
#include <cstring>
#include <string_view>

using namespace rastrel;

namespace {

// String id of the last error recorded on this thread; 0 at thread start.
thread_local std::int32_t t_errorId = 0;

constexpr unsigned kRecordFlags = platform::GHND | platform::GMEM_SHARE;
constexpr std::string_view kVersionText = "ADRG File Reader V1.0";
constexpr std::size_t kVerifiedBytes = 99;

std::int32_t fail(std::int32_t status, std::int32_t errorId) {
    t_errorId = errorId;
    return status;
}

const HostFileProcs* procsOf(const ImageRecord& record) {
    return reinterpret_cast<const HostFileProcs*>(record.procs);
}

// Locks an image handle for the length of an export. A value that is not a
// live image record (a freed handle, another kind of block, any other number)
// is refused.
class RecordLock {
public:
    explicit RecordLock(std::uintptr_t handle) : handle_(handle) {
        auto* record = static_cast<ImageRecord*>(platform::GlobalLock(handle));
        if (!record)
            return;
        if (platform::GlobalSize(handle) == sizeof(ImageRecord) && record->tag == recordTag(handle))
            record_ = record;
        else
            platform::GlobalUnlock(handle);
    }
    ~RecordLock() { unlock(); }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    ImageRecord* operator->() const { return record_; }
    ImageRecord& operator*() const { return *record_; }
    explicit operator bool() const { return record_ != nullptr; }
    void unlock() {
        if (record_)
            platform::GlobalUnlock(handle_);
        record_ = nullptr;
    }

private:
    std::uintptr_t handle_;
    ImageRecord* record_ = nullptr;
};

// Runs an export body; an exception becomes the given status. The host
// reads string ids (IMDLerror_string), not the boundary's error text.
using Boundary = platform::CBoundary<>;

// Runs the body of an export that takes an image handle with the record
// locked; a value that is not a live image is refused with 8.
template <typename Body>
std::int32_t withRecord(std::uintptr_t image, std::int32_t onException, Body&& body) noexcept {
    return Boundary::run(onException, [&]() -> std::int32_t {
        RecordLock record(image);
        if (!record)
            return fail(kBadHandle, kInvalidHandle);
        return body(record);
    });
}

void closeFile(ImageRecord& record) {
    if (record.file == 0)
        return;
    const HostFileProcs* procs = procsOf(record);
    if (procs && procs->close)
        procs->close(record.file, 0, 0);
    record.file = 0;
    record.loadedTileRow = -1; // a reopened file is read afresh
}

} // namespace

extern "C" {

std::uintptr_t IMDLget_ver() {
    return reinterpret_cast<std::uintptr_t>(kVersionText.data());
}

std::int32_t IMDLverify_img(std::uintptr_t head, std::uintptr_t, std::uintptr_t) {
    if (head == 0)
        return 0;
    // Only the first 99 bytes count, up to a zero byte; the host's buffer is
    // left as it is.
    const auto* bytes = reinterpret_cast<const char*>(head);
    std::string_view text(bytes, kVerifiedBytes);
    text = text.substr(0, text.find('\0'));
    const bool both = text.find("OVERVIEW_IMAGE_FILE") != std::string_view::npos &&
                      text.find("GEO_DATA_FILE") != std::string_view::npos;
    return both ? 0 : 1;
}

std::int32_t IMDLinit_image(std::uintptr_t path, std::uintptr_t handleOut, std::uintptr_t file,
                            std::uintptr_t hostValue, std::uintptr_t, std::uintptr_t procs) {
    return Boundary::run<std::int32_t>(kBadSet, [&]() -> std::int32_t {
        if (path == 0)
            return kBadSet;
        auto geometry = readGeneralInfo(reinterpret_cast<const char*>(path));
        if (!geometry)
            return kBadSet;

        platform::GlobalBlock map;
        if (geometry->hasTileMap) {
            map.reset(platform::GlobalAlloc(kRecordFlags, geometry->tileMap.size()));
            auto* bytes = static_cast<std::uint8_t*>(platform::GlobalLock(map.get()));
            if (!bytes)
                return kBadSet;
            std::copy(geometry->tileMap.begin(), geometry->tileMap.end(), bytes);
            platform::GlobalUnlock(map.get());
        }

        platform::GlobalBlock block(platform::GlobalAlloc(kRecordFlags, sizeof(ImageRecord)));
        auto* record = static_cast<ImageRecord*>(platform::GlobalLock(block.get()));
        if (!record || handleOut == 0) {
            const auto* host = reinterpret_cast<const HostFileProcs*>(procs);
            if (host && host->close && file != 0)
                host->close(file, 0, 0);
            return fail(kNoMemory, kNoMemoryText);
        }
        *record = ImageRecord{};
        record->path = path;
        record->file = file;
        record->procs = procs;
        record->hostValue = hostValue;
        record->currentRow = 0;
        record->width = geometry->width;
        record->height = geometry->height;
        record->tileRows = geometry->tileRows;
        record->tileColumns = geometry->tileColumns;
        record->tileMap = map.release();
        // Without a band, reads still succeed and deliver the fill index.
        record->band = platform::GlobalAlloc(platform::GHND, bandBlockSize(geometry->tileColumns));
        record->loadedTileRow = -1;
        record->tag = recordTag(block.get());
        sharedColourTable();
        platform::GlobalUnlock(block.get());
        *reinterpret_cast<std::uintptr_t*>(handleOut) = block.release();
        return kOk;
    });
}

std::int32_t IMDLopen(std::uintptr_t image, std::uintptr_t) {
    return withRecord(image, kOpenFailed, [](RecordLock& record) -> std::int32_t {
        if (record->file != 0)
            return kOk;
        const HostFileProcs* procs = procsOf(*record);
        if (!procs || !procs->open ||
            procs->open(record->path, 0, reinterpret_cast<std::uintptr_t>(&record->file)) != 1)
            return fail(kOpenFailed, kCannotOpen);
        record->loadedTileRow = -1;
        return kOk;
    });
}

std::int32_t IMDLbuildDIBhead(std::uintptr_t image, std::uintptr_t headRecord) {
    return withRecord(image, kNoMemory, [&](RecordLock& record) -> std::int32_t {
        auto* head = reinterpret_cast<DibHeadRecord*>(headRecord);
        const std::uintptr_t block = head ? platform::GlobalAlloc(kRecordFlags, kDibBlockSize) : 0;
        // Handed to the host locked; the plug-in never frees it.
        auto* bytes = static_cast<std::uint8_t*>(platform::GlobalLock(block));
        if (!bytes)
            return fail(kNoMemory, kNoMemoryText);
        writeDibBlock(bytes, record->width, record->height, sharedColourTable());
        head->word[1] = reinterpret_cast<std::uintptr_t>(bytes);
        head->word[2] = 0;
        head->word[3] = static_cast<std::uintptr_t>(record->width);
        head->word[4] = static_cast<std::uintptr_t>(record->height);
        return kOk;
    });
}

std::int32_t IMDLset_row(std::uintptr_t image, std::int32_t row) {
    return withRecord(image, kFailed, [row](RecordLock& record) {
        record->currentRow = row;
        return kOk;
    });
}

std::int32_t IMDLread_rows(std::uintptr_t image, std::uintptr_t buffer, std::int32_t rows,
                           std::int32_t bytesPerRow, std::int32_t firstColumn, std::uintptr_t) {
    return withRecord(image, kFailed, [&](RecordLock& record) -> std::int32_t {
        // Nothing to deliver: no rows, no bytes per row or no buffer.
        if (rows <= 0 || bytesPerRow <= 0 || buffer == 0)
            return fail(kFailed, kReadError);
        readRows(*record, reinterpret_cast<std::uint8_t*>(buffer), rows, bytesPerRow, firstColumn,
                 sharedColourTable());
        return kOk;
    });
}

std::int32_t IMDLimg_name(std::uintptr_t image, std::uintptr_t nameOut) {
    return withRecord(image, kFailed, [nameOut](RecordLock& record) {
        if (nameOut != 0)
            *reinterpret_cast<std::uintptr_t*>(nameOut) = record->path;
        return kOk;
    });
}

std::int32_t IMDLclose_keep(std::uintptr_t image) {
    return withRecord(image, kFailed, [](RecordLock& record) {
        closeFile(*record);
        return kOk;
    });
}

std::int32_t IMDLclose_image(std::uintptr_t image) {
    return withRecord(image, kFailed, [image](RecordLock& record) {
        closeFile(*record);
        platform::GlobalFree(record->tileMap);
        platform::GlobalFree(record->band);
        record->tag = 0;
        record.unlock();
        platform::GlobalFree(image);
        return kOk;
    });
}

std::int32_t IMDLerror_string(std::uintptr_t buffer, std::int32_t size) {
    platform::copyToBuffer(stringText(t_errorId), reinterpret_cast<char*>(buffer), size);
    return kOk;
}

std::int32_t IMDLset_ext(std::uintptr_t, std::uintptr_t) {
    return kOk;
}

std::int32_t IMDLescape(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    return kEscapeResult;
}

std::int32_t IMDLprint(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    return kPrintResult;
}

std::int32_t IMDLrender(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    return kFailed;
}

} // extern "C"
