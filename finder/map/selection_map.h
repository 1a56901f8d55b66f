#pragma once
// The world map of the Geographic Area page: made by the map-view library
// inside the SelectionMap panel, it turns a left-button drag into the four
// corner texts and zooms onto the dragged area, offers Zoom In and Zoom Out
// on the right button and the wheel, shows the position under the mouse in
// GeoCoords, and outlines the area the corner boxes hold.
#include <strand32/map.h>

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <string>

class QFrame;
class QMenu;
class QWidget;

namespace finder {

class AreaPage;
class AreaOutline;

class SelectionMap : public QObject {
    Q_OBJECT
public:
    // The panel is the page's SelectionMap frame; nothing is drawn until
    // CreateSelectionMap succeeds.
    explicit SelectionMap(AreaPage* page);
    // Closes the map and deletes its temporary document files.
    ~SelectionMap() override;

    // Makes the map once: the world from `worldTable`, the document at
    // `tempBase` + ".zvm". True when a map now exists from this call; every
    // failure leaves a blank panel and no message.
    bool CreateSelectionMap(const std::string& databaseFile, const std::string& worldTable,
                            const std::string& tempBase);
    // The map, null while there is none.
    strand32::Map* map() const { return map_.get(); }

    // The panel's mouse, in panel pixels.
    void SelectionMapMouseDown(QPoint pixel, Qt::MouseButton button);
    void SelectionMapMouseMove(QPoint pixel);
    void SelectionMapMouseUp(QPoint pixel, Qt::MouseButton button);
    void ZoomInClick();
    void ZoomOutClick();
    void ZoomMapBy(double factor);
    // Back to the first view; ZoomCenter and ZoomScale stay.
    void resetView();
    // The map follows its panel's size.
    void followPanel();
    // The four corner texts, NorthwestX first.
    using CornerTexts = std::array<QString, 4>;
    CornerTexts cornerTexts() const;
    // Ends a drag begun by a press without zooming and puts `corners` back:
    // the press was a click on something drawn on the map.
    void cancelDrag(const CornerTexts& corners);
    // Centres the view on `area` and zooms so that all of it shows, with a
    // margin; kept as the last zoom. Nothing without a map.
    void zoomOnto(const MaporaExtent& area);

    // The view of the last zoom, kept with a saved search.
    MaporaPoint zoomCenter() const { return zoomCenter_; }
    double zoomScale() const { return zoomScale_; }
    void setZoom(MaporaPoint center, double scale);
    // Shows the view of ZoomCenter and ZoomScale when the scale is not 0.
    void showZoomedView();
    MaporaPoint initialViewCenter() const { return initialCenter_; }
    double initialViewScale() const { return initialScale_; }
    bool dragActive() const { return dragActive_; }
    QMenu* zoomMenu() const { return zoomMenu_; }

    // Pixel of the panel under a longitude/latitude, and the reverse.
    std::optional<QPointF> pixelOf(MaporaPoint point) const;
    std::optional<MaporaPoint> pointOf(QPoint pixel) const;
    // The drawing rectangle of the map: the panel inset by 2 pixels.
    QRect mapRect() const;
    QFrame* panel() const { return panel_; }

signals:
    // CreateSelectionMap made the map.
    void mapCreated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint clamped(QPoint pixel) const;
    void wheelZoom(QPoint pixel, int steps);
    void redrawOutline();

    AreaPage* page_;
    QFrame* panel_;
    AreaOutline* outline_;
    QMenu* zoomMenu_;
    std::unique_ptr<strand32::Map> map_;
    bool mapCreated_ = false;
    std::string tempBase_;
    MaporaPoint initialCenter_{0, 0};
    double initialScale_ = 0;
    MaporaPoint zoomCenter_{0, 0};
    double zoomScale_ = 0;
    MaporaPoint zoomPoint_{0, 0}; // where the zoom menu was opened
    bool dragActive_ = false;
    QPoint dragAnchorPixel_;
    QPoint dragCornerPixel_;
    MaporaPoint dragAnchor_{0, 0};
};

} // namespace finder
