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

RowTexts rowTexts(const FoundFile& file) {
    return foundRow(file).texts;
}

FoundRow foundRow(const FoundFile& file) {
    FoundRow found;
    RowTexts& row = found.texts;
    row.name = file.fileName;
    row.folder = file.folder;
    row.size = sizeText(file.size);
    FileType type = fileTypeOf(file.fileName, fullPathOfRow(file.folder, file.fileName));
    row.type = std::move(type.name);
    found.iconName = std::move(type.iconName);
    row.modified =
        DateUtil::dateText(file.lastWriteTime, DateUtil::DateTextMode::DateAndTime, false)
            .value_or(std::string());
    return found;
}

} // namespace finder
