// File → Export Footprints in the real window: the rows shown, in their
// order, written where the picker says; cancelling writes nothing; a place
// that cannot be written is told in a box.
#include "window_fixture.h"

#include "results/result_list.h"
#include "temp_dir.h"

#include <QAction>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QStatusBar>
#include <filesystem>

namespace windowtest {
namespace {

class WindowExport : public WindowTest {
protected:
    // Every file of the samples' world folder, sorted by name.
    finder::ResultList* searchWorldSamples() {
        open();
        pickedFolder = QString(KAVREL_DATA_DIR) + "/samples/world";
        control<QPushButton>("BrowseButton")->click();
        control<QComboBox>("NameComboBox")->setEditText("*.*");
        control<QPushButton>("FindNowButton")->click();
        EXPECT_TRUE(waitForSearch());
        window->arrangeBy(0);
        window->setFootprintsPicker([this](QWidget*, const QString& title, const QStringList&) {
            pickerTitles.push_back(title);
            return exportTo;
        });
        return control<finder::ResultList>("ResultList");
    }
    QString status() { return control<QStatusBar>("StatusBar")->currentMessage(); }

    testsupport::TempDir out;
    QString exportTo;
};

TEST_F(WindowExport, footprints_of_the_rows_shown_are_written_in_their_order) {
    finder::ResultList* list = searchWorldSamples();
    exportTo = QString::fromStdString(out / "world.geojson");
    control<QAction>("ExportFootprints1")->trigger();
    EXPECT_EQ(pickerTitles.back(), "Export Footprints");

    const QJsonArray features =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(testsupport::TempDir::readFile(exportTo.toStdString())))
            .object()["features"]
            .toArray();
    QStringList written, placed;
    for (const QJsonValue& feature : features)
        written << feature["properties"]["name"].toString();
    for (int row = 0; row < list->rowCount(); ++row) {
        const QString name = list->rowTexts(row)[0];
        if (name.endsWith(".shp") || name.endsWith(".tab") || name.endsWith(".mif"))
            placed << name;
    }
    EXPECT_EQ(written, placed);
    EXPECT_EQ(status(),
              QString("Footprints of %1 file(s) written to %2; %3 file(s) without a known "
                      "extent left out")
                  .arg(placed.size())
                  .arg(exportTo)
                  .arg(list->rowCount() - placed.size()));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WindowExport, cancelling_writes_nothing_and_an_unwritable_place_is_told) {
    searchWorldSamples();
    const QString found = status();
    exportTo.clear();
    control<QAction>("ExportFootprints1")->trigger();
    EXPECT_EQ(status(), found);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));

    exportTo = QString::fromStdString(out / "no/such/folder/world.gpkg");
    control<QAction>("ExportFootprints1")->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Atlion Find");
    EXPECT_EQ(boxes[0].text.rfind("Cannot write " + exportTo.toStdString() + ": ", 0), 0u)
        << boxes[0].text;
    EXPECT_EQ(status(), found);
}

// File → Export STAC Catalog: the folder picked gets a catalog of the rows
// shown, one Item each, in their order; cancelling writes nothing.
TEST_F(WindowExport, a_stac_catalog_of_the_rows_shown_goes_to_the_folder_picked) {
    finder::ResultList* list = searchWorldSamples();
    const QString found = status();
    pickedFolder.clear();
    control<QAction>("ExportStacCatalog1")->trigger();
    EXPECT_EQ(pickerTitles.back(), "Export STAC Catalog");
    EXPECT_EQ(status(), found);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));

    pickedFolder = QString::fromStdString(out / "catalog");
    control<QAction>("ExportStacCatalog1")->trigger();
    const QJsonArray links =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(testsupport::TempDir::readFile(out / "catalog/catalog.json")))
            .object()["links"]
            .toArray();
    QStringList items, rows;
    for (const QJsonValue& link : links)
        if (link["rel"] == "item")
            items << link["href"].toString();
    for (int row = 0; row < list->rowCount(); ++row)
        rows << "./items/" + list->rowTexts(row)[0] + ".json";
    EXPECT_EQ(items, rows);
    EXPECT_TRUE(status().startsWith(QString("STAC catalog of %1 file(s) written to %2/catalog.json")
                                        .arg(list->rowCount())
                                        .arg(pickedFolder)))
        << status().toStdString();
    EXPECT_TRUE(boxes.empty());
}

} // namespace
} // namespace windowtest
