#include "map/scalebar.h"

#include <cmath>

#include "table/messages.h"

namespace geovanta {

ScaleBar ScaleBar::forView(const Viewport& view, double maxPixels) {
    const double metresPerPixel = mercator::metresPerUnit(view.center().y) / view.scale();
    const double room = maxPixels * metresPerPixel;
    double metres = 1;
    if (room > 1) {
        const double power = std::pow(10.0, std::floor(std::log10(room)));
        metres = power;
        for (double step : {2.0, 5.0}) {
            if (step * power <= room) metres = step * power;
        }
    }
    ScaleBar bar;
    bar.metres = metres;
    bar.pixels = metres / metresPerPixel;
    const long long whole = std::llround(metres >= 1000 ? metres / 1000 : metres);
    bar.text = textOf(metres >= 1000 ? Msg::ScaleKilometres : Msg::ScaleMetres, {whole});
    return bar;
}

}  // namespace geovanta
