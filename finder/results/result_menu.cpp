// ResultMenu: built for the selected rows each time it is shown.
#include "results/result_menu.h"

#include "results/desktop_open.h"
#include "results/open_with.h"

#include <QAction>
#include <QFileInfo>
#include <QIcon>
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

QIcon applicationIcon(const std::string& icon) {
    const QString name = QString::fromStdString(icon);
    if (name.isEmpty())
        return {};
    return QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
}

// "Open With": the applications of the first selected file's type, the
// default first, each opening the selected files of that type together;
// then "Other Application…", the desktop's chooser, disabled without one.
void addOpenWithMenu(QMenu* menu, const Rows& rows) {
    QMenu* openWith = menu->addMenu(qText(kOpenWithCaption));
    openWith->setObjectName("OpenWithMenu");
    const std::vector<std::string> paths = CollectSelectedPaths(*rows, kMaxCollectedPaths);
    const std::string type = paths.empty() ? std::string() : contentTypeOf(paths.front());
    auto sameType = std::make_shared<std::vector<std::string>>();
    for (const std::string& path : paths)
        if (path == paths.front() || contentTypeOf(path) == type)
            sameType->push_back(path);
    for (const OpenWithApplication& app : applicationsFor(type)) {
        QAction* action =
            openWith->addAction(applicationIcon(app.icon), QString::fromStdString(app.name));
        action->setData(QString::fromStdString(app.id));
        const std::string id = app.id;
        QObject::connect(action, &QAction::triggered, menu,
                         [id, sameType] { openWithApplication(id, *sameType); });
    }
    openWith->addSeparator();
    QAction* other = openWith->addAction(qText(kOtherApplicationCaption));
    other->setObjectName("OtherApplication");
    other->setEnabled(!paths.empty() && desktopChooserAvailable());
    const std::string first = paths.empty() ? std::string() : paths.front();
    QObject::connect(other, &QAction::triggered, menu, [first] { openWithDesktopChooser(first); });
}

} // namespace

std::unique_ptr<QMenu> buildResultMenu(QWidget* parent, const std::vector<RowTexts>& selected,
                                       const MapItem& mapItem) {
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
    addOpenWithMenu(menu.get(), rows);
    QObject::connect(menu->addAction(qText(kOpenContainingFolderCaption)), &QAction::triggered,
                     menu.get(), [rows] { openContainingFolders(*rows); });
    if (mapItem.show) {
        menu->addSeparator();
        QAction* show = menu->addAction(qText(kShowOnMapCaption));
        show->setObjectName("ShowOnMap1");
        show->setEnabled(mapItem.enabled);
        QObject::connect(show, &QAction::triggered, menu.get(), mapItem.show);
    }
    return menu;
}

void showResultMenu(QWidget* parent, const QPoint& globalPosition,
                    const std::vector<RowTexts>& selected, const MapItem& mapItem) {
    if (const std::unique_ptr<QMenu> menu = buildResultMenu(parent, selected, mapItem))
        menu->exec(globalPosition);
}

LaunchResult openInFullViewer(QWidget* parent, const std::vector<RowTexts>& selected) {
    return openFirstInFullViewer(selected, parent);
}

} // namespace finder
