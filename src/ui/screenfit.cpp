#include "ui/screenfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace geovanta {
namespace {

// Fits the window again when it is first shown, when its frame may be
// known, and then goes.
class FirstShowFit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            fitScreen(static_cast<QWidget*>(watched));
            deleteLater();
            watched->removeEventFilter(this);
        }
        return false;
    }
};

}  // namespace

void placeOnScreen(QWidget* window, const QByteArray& saved, QSize first, QSize least) {
    if (saved.isEmpty() || !window->restoreGeometry(saved)) {
        QRect inner(QPoint(), first);
        if (const QScreen* screen = window->screen()) {
            const QRect area = screen->availableGeometry();
            inner.setSize(first.boundedTo(area.size() * 9 / 10).expandedTo(least.boundedTo(area.size())));
            inner.moveCenter(area.center());
        }
        window->setGeometry(inner);
    }
    fitScreen(window);
    if (!window->isVisible()) window->installEventFilter(new FirstShowFit(window));
}

void fitScreen(QWidget* window) {
    const QRect inner = window->geometry();
    const QScreen* screen = QGuiApplication::screenAt(inner.center());
    if (!screen) screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect outerNow = window->frameGeometry();
    QMargins frame(inner.left() - outerNow.left(), inner.top() - outerNow.top(), outerNow.right() - inner.right(),
                   outerNow.bottom() - inner.bottom());
    if (frame.isNull()) {
        const QStyle* style = window->style();
        const int side = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
        frame = QMargins(side, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), side, side);
    }
    const QSize room = area.size().shrunkBy(frame);
    const QSize size = inner.size().boundedTo(room).expandedTo(window->minimumSizeHint().boundedTo(room));
    QRect outer = QRect(inner.topLeft(), size).marginsAdded(frame);
    outer.moveLeft(std::clamp(outer.left(), area.left(), std::max(area.left(), area.right() - outer.width() + 1)));
    outer.moveTop(std::clamp(outer.top(), area.top(), std::max(area.top(), area.bottom() - outer.height() + 1)));
    if (const QRect fitted = outer.marginsRemoved(frame); fitted != inner) window->setGeometry(fitted);
}

}  // namespace geovanta
