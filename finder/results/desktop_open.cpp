// Files and folders handed to the desktop's handlers through xdg-open.
#include "results/desktop_open.h"

#include "results/companion_launcher.h"

#include <platform/spawn.h>

#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <new>

namespace finder {
namespace {

// One start of the opener per item (it takes one argument); nothing starts
// when the opener is not installed or memory runs out.
std::vector<int> openEach(const std::vector<std::string>& items) {
    std::vector<int> started;
    try {
        const QString opener = QStandardPaths::findExecutable(QString::fromUtf8(
            kDesktopOpener.data(), static_cast<qsizetype>(kDesktopOpener.size())));
        if (opener.isEmpty())
            return started;
        const std::string program = opener.toStdString();
        for (const std::string& item : items) {
            const platform::SpawnResult result = platform::spawnProgram({program, item});
            if (result.started)
                started.push_back(result.pid);
        }
    } catch (const std::bad_alloc&) {
    }
    return started;
}

} // namespace

std::vector<int> openWithDefaultApplication(const std::vector<RowTexts>& selected) {
    try {
        return openEach(CollectSelectedPaths(selected, kMaxCollectedPaths));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::vector<int> openContainingFolders(const std::vector<RowTexts>& selected) {
    std::vector<std::string> folders;
    try {
        for (const RowTexts& row : selected) {
            if (folders.size() == static_cast<std::size_t>(kMaxCollectedPaths))
                break;
            // "/data/" and "/data" are one folder; a row without a folder
            // text has its path in the root folder.
            std::string_view text = row.folder;
            while (text.size() > 1 && text.back() == '/')
                text.remove_suffix(1);
            std::string folder = text.empty() ? std::string(1, '/') : std::string(text);
            if (std::find(folders.begin(), folders.end(), folder) == folders.end())
                folders.push_back(std::move(folder));
        }
    } catch (const std::bad_alloc&) {
        return {};
    }
    return openEach(folders);
}

} // namespace finder
