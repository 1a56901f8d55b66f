// File → Export Footprints of the main window: the footprints of the rows
// shown, written as a vector layer in the format the chosen name's extension
// names; File → Export STAC Catalog: a catalog of them in a folder.
#include "MainDialog.h"
#include "window_texts.h"

#include "finder/export/footprint_writer.h"
#include "finder/export/stac_facts.h"
#include "finder/search_status.h"
#include "results/result_list.h"

#include <platform/message_box.h>
#include <platform/paths.h>

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QRegularExpression>

namespace finder {
namespace {

const QStringList kFootprintFilters = {"GeoPackage (*.gpkg)", "GeoJSON (*.geojson)",
                                       "ESRI Shapefile (*.shp)", "FlatGeobuf (*.fgb)"};

// A save dialog that adds the extension of the chosen filter to a name
// typed without one.
QString chooseFootprintsFile(QWidget* owner, const QString& title, const QStringList& filters) {
    QFileDialog dialog(owner, title, QString::fromStdString(platform::desktopFolder()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    const auto suffixOf = [](const QString& filter) {
        return QRegularExpression(R"(\*\.(\w+))").match(filter).captured(1);
    };
    dialog.setDefaultSuffix(suffixOf(filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

// The rows shown, with the facts the search read of them.
std::vector<ExportRow> shownRows(const ResultList& results) {
    std::vector<ExportRow> rows;
    for (int row = 0; row < results.rowCount(); ++row)
        rows.push_back(results.exportRow(row));
    return rows;
}

} // namespace

void TFindMainDlg::buildExportMenu(QMenu* file) {
    footprintsPicker_ = chooseFootprintsFile;
    QAction* exportFootprints = file->addAction(tr("Export Footprints..."));
    exportFootprints->setObjectName("ExportFootprints1");
    connect(exportFootprints, &QAction::triggered, this, &TFindMainDlg::ExportFootprints1Click);
    QAction* exportStac = file->addAction(tr("Export STAC Catalog..."));
    exportStac->setObjectName("ExportStacCatalog1");
    connect(exportStac, &QAction::triggered, this, &TFindMainDlg::ExportStacCatalog1Click);
}

void TFindMainDlg::ExportFootprints1Click() {
    if (results_->rowCount() == 0 || !footprintsPicker_)
        return;
    const QString chosen = footprintsPicker_(this, tr("Export Footprints"), kFootprintFilters);
    if (chosen.isEmpty())
        return;
    const std::vector<ExportRow> rows = shownRows(*results_);
    const std::string file = chosen.toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FootprintExport result = exportFootprints(file, rows);
    QApplication::restoreOverrideCursor();
    if (result.error.empty())
        setStatus(footprintsWrittenText(result, file));
    else
        platform::messageBox(this, result.error, std::string(kAppTitle),
                             platform::MB_OK | platform::MB_ICONERROR);
}

void TFindMainDlg::ExportStacCatalog1Click() {
    if (results_->rowCount() == 0 || !folderPicker_)
        return;
    const QString chosen = folderPicker_(this, tr("Export STAC Catalog"));
    if (chosen.isEmpty())
        return;
    const std::string folder = chosen.toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const StacExport result = exportStacCatalog(folder, shownRows(*results_));
    QApplication::restoreOverrideCursor();
    if (result.error.empty())
        setStatus(stacWrittenText(result, folder));
    else
        platform::messageBox(this, result.error, std::string(kAppTitle),
                             platform::MB_OK | platform::MB_ICONERROR);
}

} // namespace finder
