#pragma once
// The drawn part of the map panel: paints the map, pans with the mouse (or
// the arrow keys), zooms with the wheel about the cursor (or + and - about
// the middle; Home fits everything), and reports a click on a mark or a
// track point. A button in its corner fits everything into view. Photographs
// dragged from the grid or the tray, or a photograph's mark dragged along
// the map, are dropped here to be placed by hand; while they are dragged the
// map shows where they will land.

#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "map/mapdata.h"
#include "map/viewport.h"
#include "ui/map/maprenderer.h"
#include "ui/map/tilefetcher.h"

class QToolButton;

namespace geovanta {

class MapCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr double kFitMargin = 24;  // pixels kept free around everything when fitting
    static constexpr double kHitRadius = 7;   // how far from a mark a click still takes it
    static constexpr double kZoomPerNotch = 0.5;

    explicit MapCanvas(QWidget* parent = nullptr);
    ~MapCanvas() override;

    // The view fits the new data when it is the first with a position, or
    // when it reaches beyond what was there before (a new track was loaded);
    // otherwise it stays where the user left it.
    void setData(MapData data);
    const MapData& data() const { return data_; }
    // Changes a few rows of the data in place. The view stays where it is,
    // unless this brings the first position of all.
    void changeData(const std::function<void(MapData&)>& change);

    // Highlights a row; when it is on the map but out of view, the view moves to it.
    void setCurrentRow(std::optional<std::size_t> row);
    std::optional<std::size_t> currentRow() const { return currentRow_; }

    // A new server starts with an empty memory; a disabled source fetches nothing.
    void setTileSource(const TileSource& source, const TileFetchOptions& options = {});
    TileFetcher* tileFetcher() const { return tiles_.get(); }

    void fitAll();
    const Viewport& viewport() const { return view_; }
    QToolButton* fitButton() const { return fitButton_; }

    // Whether photographs may be placed by hand now: dropped on the map, or
    // their marks dragged.
    void setPlacing(bool enabled);
    bool placing() const { return placing_; }
    // Where a drag would land, while one is over the map.
    std::optional<QPointF> dropTarget() const { return dropTarget_; }

signals:
    void rowClicked(std::size_t row);
    // Photographs (table rows) dropped at a place on the globe.
    void photosDropped(const std::vector<std::size_t>& rows, double lat, double lon);
    // The mouse rests on a placed photograph's mark, or has left it.
    void photoHovered(std::size_t row, const QPoint& globalPos);
    void photoHoverEnded();
    // A right click on a placed photograph's mark.
    void photoMenuRequested(std::size_t row, const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void fit();
    std::optional<std::size_t> photoAt(const QPointF& pos) const;
    bool acceptsDrag(const QDropEvent* event) const;
    // Shows where a drag at `pos` would land; false beside the map.
    bool showDropTarget(const QPointF& pos);
    void paintDropTarget(QPainter& painter);
    // A frame while the keys move the map.
    void paintFocus(QPainter& painter);
    void dragMark(std::size_t row);
    void endHover();

    MapData data_;
    Viewport view_;
    MapRenderer renderer_;
    std::unique_ptr<TileFetcher> tiles_;
    std::optional<std::size_t> currentRow_;
    QToolButton* fitButton_ = nullptr;
    // Set by a fit and kept until the user moves the map, so that the panel
    // stays fitted while the window around it is laid out.
    bool fitPending_ = false;
    QPoint pressPos_;
    QPoint lastPos_;
    bool pressed_ = false;
    bool dragging_ = false;
    bool placing_ = true;
    std::optional<std::size_t> pressedPhoto_;  // a mark pressed, to be dragged
    std::optional<std::size_t> hovered_;
    std::optional<QPointF> dropTarget_;
};

}  // namespace geovanta
