#pragma once
// Where a window opens: where it was left, or centred at a size most screens
// have room for; either way inside the screen it opens on, title bar and all,
// whatever that screen's size and scale. A place saved on a larger screen,
// or on this one at another scale, would otherwise leave the menu or the
// status bar out of reach.

#include <QByteArray>
#include <QSize>

class QWidget;

namespace geovanta {

// Restores `saved` (QWidget::saveGeometry), or when there is none, centres
// the window at `first` bounded to most of the screen and widened to `least`
// where the screen has room; then fits it to the screen, and again when it
// is first shown.
void placeOnScreen(QWidget* window, const QByteArray& saved, QSize first, QSize least);

// Shrinks and moves the window into the available area of its screen, no
// smaller than its layout allows. Before the window is shown its frame is
// guessed at; called again once shown, it goes by the frame itself.
void fitScreen(QWidget* window);

}  // namespace geovanta
