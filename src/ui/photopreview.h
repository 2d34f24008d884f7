#pragma once
// The small window a photograph's mark on the map shows while the mouse
// rests on it: the photograph's picture, its name and its time. The picture
// may come later than the rest, when it has been read.

#include <QByteArray>
#include <QFrame>
#include <QImage>
#include <optional>

class QLabel;

namespace geovanta {

class PhotoPreview : public QFrame {
    Q_OBJECT
public:
    explicit PhotoPreview(QWidget* parent = nullptr);

    // Shows the preview beside `globalPos`; a null `image` leaves room for
    // none, a missing one says it is on its way.
    void showFor(const QByteArray& path, const QString& name, const QString& time, const std::optional<QImage>& image,
                 const QPoint& globalPos);
    // The picture of `path` has been read: shown when it is the one on show.
    void imageReady(const QByteArray& path, const QImage& image);
    const QByteArray& path() const { return path_; }
    QString text() const;
    bool hasImage() const;

private:
    void setImage(const std::optional<QImage>& image);

    QLabel* image_ = nullptr;
    QLabel* text_ = nullptr;
    QByteArray path_;
    QPoint at_;
};

}  // namespace geovanta
