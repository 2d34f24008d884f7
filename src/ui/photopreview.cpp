#include "ui/photopreview.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/thumbnailcache.h"

namespace geovanta {

PhotoPreview::PhotoPreview(QWidget* parent) : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName("PhotoPreview");
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    image_ = new QLabel(this);
    image_->setObjectName("PreviewImage");
    image_->setAlignment(Qt::AlignCenter);
    text_ = new QLabel(this);
    text_->setObjectName("PreviewText");
    text_->setAlignment(Qt::AlignCenter);
    layout->addWidget(image_);
    layout->addWidget(text_);
}

void PhotoPreview::showFor(const QByteArray& path, const QString& name, const QString& time,
                           const std::optional<QImage>& image, const QPoint& globalPos) {
    path_ = path;
    at_ = globalPos;
    text_->setText(time.isEmpty() ? name : name + "\n" + time);
    setImage(image);
    show();
}

void PhotoPreview::imageReady(const QByteArray& path, const QImage& image) {
    if (isVisible() && path == path_) setImage(image);
}

void PhotoPreview::setImage(const std::optional<QImage>& image) {
    image_->setVisible(!image || !image->isNull());
    if (!image) {
        // Keeps the preview's size while the picture is read, so it does not jump.
        image_->setPixmap({});
        image_->setText(QString::fromUtf8("…"));
        image_->setFixedSize(ThumbnailCache::kSide, ThumbnailCache::kSide * 3 / 4);
    } else {
        image_->setText({});
        image_->setPixmap(QPixmap::fromImage(*image));
        image_->setFixedSize(image->isNull() ? QSize(0, 0) : image->size());
    }
    adjustSize();
    // Below and to the right of the mouse, kept on its screen.
    QRect frame(at_ + QPoint(16, 16), size());
    if (const QScreen* screen = QGuiApplication::screenAt(at_)) {
        const QRect area = screen->availableGeometry();
        if (frame.right() > area.right()) frame.moveRight(at_.x() - 16);
        if (frame.bottom() > area.bottom()) frame.moveBottom(at_.y() - 16);
    }
    move(frame.topLeft());
}

QString PhotoPreview::text() const { return text_->text(); }

bool PhotoPreview::hasImage() const { return image_->pixmap().isNull() == false; }

}  // namespace geovanta
