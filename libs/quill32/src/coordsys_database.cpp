// The database's groups, systems and datums as values over the records read
// from datora.dat, and the one copy of a file's records that every open of
// the unchanged file shares (the pickers open it around each fill).
#include "quill32/coordsys_database.h"

#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <system_error>

#include "database.h"

namespace quill32 {
namespace {

std::shared_ptr<const Database> loadDatabase(const std::string& path, std::string& error) {
    static std::mutex mutex;
    static std::string cachedPath;
    static std::uintmax_t cachedSize = 0;
    static std::filesystem::file_time_type cachedTime;
    static std::shared_ptr<const Database> cached;

    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::filesystem::file_time_type time;
    if (!ec)
        time = std::filesystem::last_write_time(path, ec);
    if (ec) {
        error = ec.message();
        return nullptr;
    }
    {
        std::lock_guard lock(mutex);
        if (cached && cachedPath == path && cachedSize == size && cachedTime == time)
            return cached;
    }
    auto db = std::make_shared<Database>();
    if (!db->read(path, error))
        return nullptr;
    std::lock_guard lock(mutex);
    cachedPath = path;
    cachedSize = size;
    cachedTime = time;
    cached = db;
    return db;
}

void checkIndex(std::size_t index, std::size_t count, const char* what) {
    if (index >= count)
        throw std::out_of_range(std::string("no ") + what + " " + std::to_string(index));
}

} // namespace

Datum::Datum(std::shared_ptr<const Database> data, std::size_t index)
    : data_(std::move(data)), index_(index) {}

const std::string& Datum::key() const {
    return data_->datums[index_].key;
}

const std::string& Datum::name() const {
    return data_->datums[index_].name;
}

CoordSys::CoordSys(std::shared_ptr<const Database> data, std::size_t group, std::size_t index)
    : data_(std::move(data)), group_(group), index_(index) {}

const std::string& CoordSys::key() const {
    return data_->groups[group_].systems[index_].key;
}

const std::string& CoordSys::name() const {
    return data_->groups[group_].systems[index_].name;
}

const std::string& CoordSys::units() const {
    return data_->groups[group_].systems[index_].units;
}

Datum CoordSys::datum() const {
    return Datum(data_, data_->groups[group_].systems[index_].datum);
}

CoordSysGroup::CoordSysGroup(std::shared_ptr<const Database> data, std::size_t index)
    : data_(std::move(data)), index_(index) {}

const std::string& CoordSysGroup::key() const {
    return data_->groups[index_].key;
}

const std::string& CoordSysGroup::name() const {
    return data_->groups[index_].name;
}

std::size_t CoordSysGroup::systemCount() const {
    return data_->groups[index_].systems.size();
}

CoordSys CoordSysGroup::system(std::size_t index) const {
    checkIndex(index, systemCount(), "system");
    return CoordSys(data_, index_, index);
}

std::optional<CoordSys> CoordSysGroup::findSystem(std::string_view nameOrKey) const {
    const int s = data_->findSystem(static_cast<int>(index_), nameOrKey);
    if (s < 0)
        return std::nullopt;
    return CoordSys(data_, index_, static_cast<std::size_t>(s));
}

bool CoordSysGroup::datumKeyValid(std::string_view datumKey) const {
    const int d = data_->findDatum(datumKey);
    return d >= 0 && data_->datums[d].key == datumKey &&
           data_->datumValidForGroup(static_cast<int>(index_), static_cast<std::uint32_t>(d));
}

CoordSysDatabase::CoordSysDatabase(std::shared_ptr<const Database> data) : data_(std::move(data)) {}

std::optional<CoordSysDatabase> CoordSysDatabase::open(const std::string& path,
                                                       std::string* error) {
    std::string why;
    auto data = loadDatabase(path, why);
    if (!data) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    return CoordSysDatabase(std::move(data));
}

std::size_t CoordSysDatabase::groupCount() const {
    return data_->groups.size();
}

CoordSysGroup CoordSysDatabase::group(std::size_t index) const {
    checkIndex(index, groupCount(), "group");
    return CoordSysGroup(data_, index);
}

std::optional<CoordSysGroup> CoordSysDatabase::findGroup(std::string_view nameOrKey) const {
    const int g = data_->findGroup(nameOrKey);
    if (g < 0)
        return std::nullopt;
    return CoordSysGroup(data_, static_cast<std::size_t>(g));
}

std::size_t CoordSysDatabase::datumCount() const {
    return data_->datums.size();
}

Datum CoordSysDatabase::datum(std::size_t index) const {
    checkIndex(index, datumCount(), "datum");
    return Datum(data_, index);
}

std::optional<Datum> CoordSysDatabase::findDatum(std::string_view keyOrName) const {
    const int d = data_->findDatum(keyOrName);
    if (d < 0)
        return std::nullopt;
    return Datum(data_, static_cast<std::size_t>(d));
}

} // namespace quill32
