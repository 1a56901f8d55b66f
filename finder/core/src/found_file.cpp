#include "finder/found_file.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <mutex>
#include <unordered_map>

namespace finder {
namespace {

// Types already looked up, by the part of the name that decides them: the
// text from the first "." ("tar.gz" and "gz" may differ), or the whole name.
class FileTypeCache {
public:
    FileType lookup(std::string_view fileName) {
        const auto dot = fileName.find('.');
        std::string key(dot == std::string_view::npos ? fileName : fileName.substr(dot));
        {
            std::lock_guard lock(mutex_);
            if (auto it = types_.find(key); it != types_.end())
                return it->second;
        }
        FileType type = fromDatabase(fileName);
        std::lock_guard lock(mutex_);
        if (types_.size() >= MaxEntries)
            types_.clear();
        types_.emplace(std::move(key), type);
        return type;
    }

private:
    static constexpr std::size_t MaxEntries = 4096;

    static FileType fromDatabase(std::string_view fileName) {
        const QMimeDatabase database;
        const QMimeType mime = database.mimeTypeForFile(
            QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())),
            QMimeDatabase::MatchExtension);
        if (!mime.isValid() || mime.isDefault() || mime.name() == QLatin1String("text/plain"))
            return FileType{fallbackTypeText(fileName), {}};
        return FileType{mime.comment().toStdString(), mime.iconName().toStdString()};
    }

    std::mutex mutex_;
    std::unordered_map<std::string, FileType> types_;
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

FileType fileTypeOf(std::string_view fileName) {
    static FileTypeCache cache;
    return cache.lookup(fileName);
}

std::string fullPathOfRow(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += fileName;
    return path;
}

RowTexts rowTexts(const FoundFile& file) {
    RowTexts row;
    row.name = file.fileName;
    row.folder = file.folder;
    row.size = sizeText(file.size);
    row.type = fileTypeOf(file.fileName).name;
    row.modified =
        DateUtil::dateText(file.lastWriteTime, DateUtil::DateTextMode::DateAndTime, false)
            .value_or(std::string());
    return row;
}

} // namespace finder
