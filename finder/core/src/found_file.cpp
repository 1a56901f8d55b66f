#include "finder/found_file.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <mutex>
#include <optional>
#include <unordered_map>

namespace finder {
namespace {

// Types already looked up, by the part of the name that decides them: the
// text from the first "." ("tar.gz" and "gz" may differ), or the whole name.
// A name that several types claim (".mif": MapInfo or FrameMaker) is decided
// by the file's content each time, so only the fact that it is ambiguous is kept.
class FileTypeCache {
public:
    FileType lookup(std::string_view fileName, std::string_view fullPath) {
        const auto dot = fileName.find('.');
        std::string key(dot == std::string_view::npos ? fileName : fileName.substr(dot));
        {
            std::lock_guard lock(mutex_);
            if (auto it = types_.find(key); it != types_.end()) {
                if (it->second)
                    return *it->second;
                return byContent(fileName, fullPath);
            }
        }
        const QMimeDatabase database;
        const QString name = qText(fileName);
        std::optional<FileType> type;
        if (database.mimeTypesForFileName(name).size() <= 1)
            type =
                described(fileName, database.mimeTypeForFile(name, QMimeDatabase::MatchExtension));
        {
            std::lock_guard lock(mutex_);
            if (types_.size() >= MaxEntries)
                types_.clear();
            types_.emplace(std::move(key), type);
        }
        return type ? *type : byContent(fileName, fullPath);
    }

private:
    static constexpr std::size_t MaxEntries = 4096;

    static QString qText(std::string_view s) {
        return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    }

    static FileType described(std::string_view fileName, const QMimeType& mime) {
        if (!mime.isValid() || mime.isDefault() || mime.name() == QLatin1String("text/plain"))
            return FileType{fallbackTypeText(fileName), {}};
        return FileType{mime.comment().toStdString(), mime.iconName().toStdString()};
    }

    // Name and content together; without a path, the name alone.
    static FileType byContent(std::string_view fileName, std::string_view fullPath) {
        const QMimeDatabase database;
        if (fullPath.empty())
            return described(
                fileName, database.mimeTypeForFile(qText(fileName), QMimeDatabase::MatchExtension));
        return described(fileName, database.mimeTypeForFile(qText(fullPath)));
    }

    std::mutex mutex_;
    std::unordered_map<std::string, std::optional<FileType>> types_;
};

} // namespace

std::string sizeText(std::uint64_t bytes) {
    return std::to_string(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0)) + "KB";
}

std::string fallbackTypeText(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return "File";
    return std::string(fileName.substr(dot + 1)) + " File";
}

FileType fileTypeOf(std::string_view fileName, std::string_view fullPath) {
    static FileTypeCache cache;
    return cache.lookup(fileName, fullPath);
}

void FoundFile::place(std::string_view folderPath, std::string_view fileName) {
    path.assign(folderPath);
    folderSize = path.size();
    if (path.empty() || path.back() != '/')
        path += '/';
    nameStart = path.size();
    path += fileName;
}

DateUtil::FileTime fileTimeOf(FileClock::time_point time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time.time_since_epoch());
    const auto rest =
        std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch() - seconds);
    return DateUtil::fileTimeFromUnix(seconds.count(), rest.count());
}

FileClock::time_point timePointOf(std::int64_t unixSeconds, std::int64_t nanoseconds) {
    return FileClock::time_point(std::chrono::duration_cast<FileClock::duration>(
        std::chrono::seconds(unixSeconds) + std::chrono::nanoseconds(nanoseconds)));
}

FoundRow foundRow(FoundFile file) {
    FileType type = fileTypeOf(file.name(), file.path);
    return FoundRow{std::move(file), std::move(type)};
}

RowTexts rowTexts(const FoundFile& file, std::string typeName) {
    RowTexts row;
    row.name = file.name();
    row.folder = file.folder();
    row.size = sizeText(file.size);
    row.type = std::move(typeName);
    row.modified =
        DateUtil::dateText(fileTimeOf(file.modified), DateUtil::DateTextMode::DateAndTime, false)
            .value_or(std::string());
    return row;
}

RowTexts rowTexts(const FoundRow& row) {
    return rowTexts(row.file, row.type.name);
}

} // namespace finder
