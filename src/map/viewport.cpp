#include "map/viewport.h"

#include <algorithm>
#include <cmath>

namespace geovanta {

void Viewport::setSize(double width, double height) {
    // A hidden panel may be laid out at zero size; keep the arithmetic finite.
    width_ = std::max(1.0, width);
    height_ = std::max(1.0, height);
}

void Viewport::setCenter(WorldPoint center) {
    if (!std::isfinite(center.x) || !std::isfinite(center.y)) return;
    center_ = {std::clamp(center.x, 0.0, 1.0), std::clamp(center.y, 0.0, 1.0)};
}

void Viewport::setZoom(double zoom) {
    if (!std::isfinite(zoom)) return;
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    scale_ = mercator::scale(zoom_);
}

WorldRect Viewport::visibleRect() const {
    const WorldPoint tl = toWorld({0, 0});
    const WorldPoint br = toWorld({width_, height_});
    return {tl.x, tl.y, br.x, br.y};
}

std::optional<LatLon> Viewport::positionAt(ScreenPoint p) const {
    const WorldPoint w = toWorld(p);
    if (!(w.x >= 0 && w.x <= 1 && w.y >= 0 && w.y <= 1)) return std::nullopt;
    return mercator::unproject(w);
}

void Viewport::panBy(double dx, double dy) { setCenter({center_.x - dx / scale_, center_.y - dy / scale_}); }

void Viewport::zoomAbout(ScreenPoint anchor, double steps) {
    const WorldPoint held = toWorld(anchor);
    setZoom(zoom_ + steps);
    // Put the held point back under the anchor.
    setCenter({held.x - (anchor.x - width_ / 2) / scale_, held.y - (anchor.y - height_ / 2) / scale_});
}

void Viewport::fit(const WorldRect& rect, double margin) {
    const double w = width_ > 4 * margin ? width_ - 2 * margin : width_;
    const double h = height_ > 4 * margin ? height_ - 2 * margin : height_;
    double zoom = kMaxFitZoom;
    if (rect.width() > 0 || rect.height() > 0) {
        const double sx = rect.width() > 0 ? w / rect.width() : INFINITY;
        const double sy = rect.height() > 0 ? h / rect.height() : INFINITY;
        zoom = std::min(kMaxFitZoom, std::log2(std::min(sx, sy) / mercator::kTileSize));
    }
    setZoom(zoom);
    setCenter({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

}  // namespace geovanta
