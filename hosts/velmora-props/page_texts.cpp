// Reading a file's pages as texts, one sheet at a time per process.
#include "page_texts.h"

#include <mutex>

namespace velmorahost {

int pressAllButtons(const PropertySession& session) {
    int pressed = -1;
    for (std::size_t i = 0; i < session.pages().size(); ++i) {
        const platform::HWND dialog = session.pages()[i].dialog;
        for (const int id : pageButtons(dialog)) {
            pressButton(dialog, id);
            pressed = static_cast<int>(i);
        }
    }
    return pressed;
}

std::vector<PageTexts> readPages(const PropertySession& session) {
    std::vector<PageTexts> pages;
    for (const SheetPage& page : session.pages())
        pages.push_back({page.title, pageRows(page.dialog), !pageButtons(page.dialog).empty()});
    return pages;
}

std::optional<std::vector<PageTexts>> readSheet(const std::string& serverPath,
                                                const std::vector<std::string>& files, bool press,
                                                std::string& error) {
    static std::mutex oneSheetAtATime;
    std::lock_guard lock(oneSheetAtATime);
    PropertySession session(serverPath);
    if (!session.open(files)) {
        error = session.error();
        return std::nullopt;
    }
    if (press)
        pressAllButtons(session);
    std::vector<PageTexts> pages = readPages(session);
    session.close();
    return pages;
}

} // namespace velmorahost
