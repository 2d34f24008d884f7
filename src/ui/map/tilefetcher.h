#pragma once
// Fetches map tiles the way tile servers ask to be treated: a User-Agent
// naming the program and its version, no more than two requests at a time,
// only the tiles the view shows right now (the queue is replaced, never
// added to, so nothing is fetched ahead), and a disk cache in the user's
// cache folder that follows the server's Cache-Control and Expires headers.
// A server that is down, slow, overloaded or talking nonsense only leaves
// tiles out: the failed tile is not asked for again for a while, a server
// that cannot answer holds every request back for longer each time (and for
// as long as its Retry-After asks, up to an hour), a tile larger than the
// limit is given up as soon as that shows, no more than five redirects are
// followed, and a tile kept on disk is shown, out of date or not, when no
// fresh one comes.

#include <QByteArray>
#include <QCache>
#include <QElapsedTimer>
#include <QImage>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <unordered_map>
#include <vector>

#include "map/tilegrid.h"
#include "map/tilesource.h"

class QNetworkDiskCache;
class QNetworkReply;

namespace geovanta {

inline size_t qHash(const TileKey& key, size_t seed = 0) { return TileKeyHash()(key) ^ seed; }

struct TileFetchOptions {
    QString cacheFolder;                    // empty: "tiles" in the user's cache folder
    int timeoutMs = 20000;                  // a request still unanswered by then is given up
    qint64 maxTileBytes = 2 * 1024 * 1024;  // tiles are tens of kilobytes
    int retryAfterMs = 60000;               // a failed tile is not asked for again sooner
    int firstHoldMs = 2000;                 // after a dead connection; doubles each time
    int maxHoldMs = 5 * 60 * 1000;
};

class TileFetcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 2;

    explicit TileFetcher(const TileFetchOptions& options = {}, QObject* parent = nullptr);
    ~TileFetcher() override;

    // Forgets the tiles of the previous server; a disabled source fetches nothing.
    void setSource(const TileSource& source);
    const TileSource& source() const { return source_; }

    // The tiles the view needs now, most wanted first.
    void want(const std::vector<TileKey>& keys);
    // A tile ready to draw, or nullptr.
    const QImage* tile(const TileKey& key) const;

    int requestsInFlight() const { return static_cast<int>(replies_.size()); }
    static QByteArray userAgent();

signals:
    void tileReady(int z, int x, int y);
    void tileFailed(int z, int x, int y);

private:
    void pump();
    void dropReplies();
    void start(const TileKey& key);
    void finished(QNetworkReply* reply);
    // Decodes a tile's bytes; a null image for anything that is not a tile-sized picture.
    static QImage decode(const QByteArray& bytes);
    enum class Failure {
        Unavailable,  // no connection, no answer in time, overloaded (429) or broken (5xx)
        Refused,      // any other HTTP error status
        Garbage,      // an answer that is no tile
    };
    // Shows the copy on disk, out of date or not, when there is one.
    bool useStaleCopy(const TileKey& key, const QUrl& url);
    // `serverWaitMs`: how long the server asked to be left alone (Retry-After).
    void fail(const TileKey& key, const QUrl& url, Failure failure, qint64 serverWaitMs = 0);
    bool recentlyFailed(const TileKey& key) const;

    TileFetchOptions options_;
    TileSource source_;
    QNetworkAccessManager network_;
    QNetworkDiskCache* diskCache_ = nullptr;  // owned by network_
    QCache<TileKey, QImage> images_;
    std::deque<TileKey> queue_;
    std::unordered_map<QNetworkReply*, TileKey> replies_;
    std::unordered_map<TileKey, qint64, TileKeyHash> failedAt_;
    QElapsedTimer clock_;
    qint64 holdUntil_ = 0;
    int holdMs_ = 0;
    QTimer resume_;
};

}  // namespace geovanta
