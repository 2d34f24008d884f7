#pragma once
// Small pictures of photographs for the map's previews: the EXIF thumbnail
// when the file has one, else a scaled copy of the photograph. Read on a
// thread of their own, so that a slow disk or a large photograph never
// holds up the window; the last few are kept.

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <optional>

namespace geovanta {

class ThumbnailCache : public QObject {
    Q_OBJECT
public:
    static constexpr int kSide = 160;  // pixels, the longer side at most
    static constexpr int kKept = 48;

    explicit ThumbnailCache(QObject* parent = nullptr);
    // Waits for the picture being read.
    ~ThumbnailCache() override;

    // The picture of the file `path` (bytes as the table holds them) when it
    // has been read: a null image for a file that has none. Otherwise asks
    // for it and returns nothing; `ready` follows.
    std::optional<QImage> get(const QByteArray& path);

    // Read on the calling thread.
    static QImage load(const QByteArray& path);

signals:
    void ready(const QByteArray& path);

private:
    void arrived(const QByteArray& path, const QImage& image);

    QThreadPool pool_;
    QCache<QByteArray, QImage> kept_{kKept};
    QSet<QByteArray> pending_;
};

}  // namespace geovanta
