#include "ui/thumbnailcache.h"

#include <QFile>
#include <QImageReader>

#include "input/exifthumbnail.h"

namespace geovanta {
namespace {

QImage fitted(const QImage& image) {
    if (image.isNull() || (image.width() <= ThumbnailCache::kSide && image.height() <= ThumbnailCache::kSide))
        return image;
    return image.scaled(ThumbnailCache::kSide, ThumbnailCache::kSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

ThumbnailCache::ThumbnailCache(QObject* parent) : QObject(parent) {
    // One picture at a time: the newest wish is as good as the next.
    pool_.setMaxThreadCount(1);
}

ThumbnailCache::~ThumbnailCache() {
    pool_.clear();
    pool_.waitForDone();
}

std::optional<QImage> ThumbnailCache::get(const QByteArray& path) {
    if (const QImage* image = kept_.object(path)) return *image;
    if (pending_.contains(path)) return std::nullopt;
    pending_.insert(path);
    pool_.start([this, path] {
        const QImage image = load(path);
        QMetaObject::invokeMethod(this, [this, path, image] { arrived(path, image); }, Qt::QueuedConnection);
    });
    return std::nullopt;
}

void ThumbnailCache::arrived(const QByteArray& path, const QImage& image) {
    pending_.remove(path);
    kept_.insert(path, new QImage(image));
    emit ready(path);
}

QImage ThumbnailCache::load(const QByteArray& path) {
    const std::vector<unsigned char> bytes = ExifThumbnail::read(path.toStdString());
    if (!bytes.empty()) {
        QImage image;
        if (image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "JPEG")) return fitted(image);
    }
    // Decoded at the size wanted: a JPEG is scaled while it is read, far
    // cheaper than reading it whole.
    QImageReader reader(QFile::decodeName(path));
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kSide || size.height() > kSide))
        reader.setScaledSize(size.scaled(kSide, kSide, Qt::KeepAspectRatio).expandedTo({1, 1}));
    return fitted(reader.read());
}

}  // namespace geovanta
