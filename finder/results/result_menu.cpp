// ResultMenu: built for the selected rows each time it is shown.
#include "results/result_menu.h"

#include "results/desktop_open.h"

#include <QAction>
#include <QMenu>
#include <QString>

namespace finder {
namespace {

using Rows = std::shared_ptr<const std::vector<RowTexts>>;

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* addCompanionItem(QMenu* menu, const CompanionProgram& program, const Rows& rows) {
    QAction* action = menu->addAction(qText(program.caption));
    const Companion companion = program.companion;
    QObject::connect(action, &QAction::triggered, menu,
                     [companion, rows] { launchCompanion(companion, *rows); });
    return action;
}

} // namespace

std::unique_ptr<QMenu> buildResultMenu(QWidget* parent, const std::vector<RowTexts>& selected) {
    if (selected.empty())
        return nullptr;
    const auto rows = std::make_shared<const std::vector<RowTexts>>(selected);
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName("ResultMenu");
    const bool viewerRegistered = installFolderOf(kViewProgram.executable).has_value();
    if (viewerRegistered)
        menu->setDefaultAction(addCompanionItem(menu.get(), kViewProgram, rows));
    QAction* quickView = addCompanionItem(menu.get(), kQuickViewProgram, rows);
    addCompanionItem(menu.get(), kTranslateProgram, rows);
    if (!viewerRegistered) {
        menu->setDefaultAction(quickView);
        QAction* view = addCompanionItem(menu.get(), kViewProgram, rows);
        view->setEnabled(false);
        view->setVisible(false);
    }
    menu->addSeparator();
    QObject::connect(menu->addAction(qText(kOpenWithDefaultCaption)), &QAction::triggered,
                     menu.get(), [rows] { openWithDefaultApplication(*rows); });
    QObject::connect(menu->addAction(qText(kOpenContainingFolderCaption)), &QAction::triggered,
                     menu.get(), [rows] { openContainingFolders(*rows); });
    return menu;
}

void showResultMenu(QWidget* parent, const QPoint& globalPosition,
                    const std::vector<RowTexts>& selected) {
    if (const std::unique_ptr<QMenu> menu = buildResultMenu(parent, selected))
        menu->exec(globalPosition);
}

LaunchResult openInFullViewer(QWidget* parent, const std::vector<RowTexts>& selected) {
    return openFirstInFullViewer(selected, parent);
}

} // namespace finder
