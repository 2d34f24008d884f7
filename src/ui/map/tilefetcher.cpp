#include "ui/map/tilefetcher.h"

#include <QBuffer>
#include <QDateTime>
#include <QLocale>
#include <QImageReader>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <algorithm>
#include <memory>

namespace geovanta {
namespace {

constexpr int kMemoryTiles = 200;  // about 50 MB of decoded tiles
constexpr qint64 kDiskCacheBytes = qint64{200} << 20;
constexpr int kMaxTileSide = 1024;  // "retina" tiles are 512; anything bigger is not a tile
constexpr const char* kOversize = "geovantaOversize";
// A tile is one hop or two away behind a load balancer; a longer chain is a
// loop or a server sending us elsewhere than tiles.
constexpr int kMaxRedirects = 5;
// However long a server asks us to wait, an hour at most: the map must come
// back within a session.
constexpr qint64 kMaxRetryAfterMs = qint64{3600} * 1000;

// How long a server that cannot take us now asks us to wait (Retry-After, in
// seconds or as an HTTP date), at most an hour; 0 when it does not say.
qint64 retryAfterMs(const QNetworkReply* reply) {
    const QByteArray value = reply->rawHeader("Retry-After").trimmed();
    if (value.isEmpty()) return 0;
    if (std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        bool ok = false;
        const qlonglong seconds = value.toLongLong(&ok);
        // Too many digits for a number is far more than the cap as well.
        return !ok || seconds > kMaxRetryAfterMs / 1000 ? kMaxRetryAfterMs : seconds * 1000;
    }
    QDateTime when = QDateTime::fromString(QString::fromLatin1(value), Qt::RFC2822Date);
    if (!when.isValid()) {
        when = QLocale::c().toDateTime(QString::fromLatin1(value), "ddd, dd MMM yyyy hh:mm:ss 'GMT'");
        when.setTimeSpec(Qt::UTC);
    }
    if (!when.isValid()) return 0;
    return std::clamp(QDateTime::currentDateTimeUtc().msecsTo(when), qint64{0}, kMaxRetryAfterMs);
}

}  // namespace

TileFetcher::TileFetcher(const TileFetchOptions& options, QObject* parent)
    : QObject(parent), options_(options), images_(kMemoryTiles) {
    QString folder = options_.cacheFolder;
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tiles";
    diskCache_ = new QNetworkDiskCache(&network_);
    diskCache_->setCacheDirectory(folder);
    diskCache_->setMaximumCacheSize(kDiskCacheBytes);
    network_.setCache(diskCache_);
    clock_.start();
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, &TileFetcher::pump);
}

// The network manager goes after this body has run; its replies are stopped
// first so that their signals cannot reach a half-destroyed fetcher.
TileFetcher::~TileFetcher() { dropReplies(); }

void TileFetcher::dropReplies() {
    for (auto& [reply, key] : replies_) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    replies_.clear();
}

QByteArray TileFetcher::userAgent() { return QByteArrayLiteral("Geovanta/" GEOVANTA_VERSION); }

void TileFetcher::setSource(const TileSource& source) {
    if (source.urlTemplate() == source_.urlTemplate()) return;
    source_ = source;
    images_.clear();
    queue_.clear();
    failedAt_.clear();
    holdUntil_ = 0;
    holdMs_ = 0;
    dropReplies();  // answers still on their way belong to the old server
}

const QImage* TileFetcher::tile(const TileKey& key) const { return images_.object(key); }

bool TileFetcher::recentlyFailed(const TileKey& key) const {
    auto it = failedAt_.find(key);
    return it != failedAt_.end() && clock_.elapsed() - it->second < options_.retryAfterMs;
}

void TileFetcher::want(const std::vector<TileKey>& keys) {
    queue_.clear();
    if (!source_.enabled()) return;
    for (const TileKey& key : keys) {
        if (images_.contains(key) || recentlyFailed(key)) continue;
        const bool asked = std::any_of(replies_.begin(), replies_.end(), [&](const auto& r) { return r.second == key; });
        if (!asked) queue_.push_back(key);
    }
    pump();
}

void TileFetcher::pump() {
    const qint64 now = clock_.elapsed();
    if (now < holdUntil_) {
        if (!resume_.isActive()) resume_.start(static_cast<int>(holdUntil_ - now));
        return;
    }
    while (static_cast<int>(replies_.size()) < kMaxConnections && !queue_.empty()) {
        const TileKey key = queue_.front();
        queue_.pop_front();
        start(key);
    }
}

void TileFetcher::start(const TileKey& key) {
    QNetworkRequest request(QUrl(QString::fromStdString(source_.url(key))));
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    // The default: a cached tile is used while the server's headers call it
    // fresh, revalidated once they call it stale.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    QNetworkReply* reply = network_.get(request);
    replies_.emplace(reply, key);
    // A server that trickles bytes never trips the transfer timeout; this does.
    QTimer::singleShot(options_.timeoutMs, reply, [reply] { reply->abort(); });
    // Too big is given up at once: as soon as the header announces it, or
    // as soon as more has come than it announced.
    auto oversize = [this, reply](qint64 bytes) {
        if (bytes <= options_.maxTileBytes) return;
        reply->setProperty(kOversize, true);
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, oversize] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) oversize(length.toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [oversize](qint64 received, qint64) { oversize(received); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

QImage TileFetcher::decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    // Check the header's size before decoding, so a small file cannot claim a giant picture.
    if (!size.isValid() || size.width() > kMaxTileSide || size.height() > kMaxTileSide) return {};
    QImage image = reader.read();
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TileFetcher::finished(QNetworkReply* reply) {
    auto it = replies_.find(reply);
    if (it == replies_.end()) return;
    const TileKey key = it->second;
    replies_.erase(it);
    reply->deleteLater();
    const QUrl url = reply->url();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);

    if (reply->property(kOversize).toBool()) {
        fail(key, url, Failure::Garbage);
    } else if (reply->error() != QNetworkReply::NoError) {
        // "Too many requests" and the 500s say the server cannot take us now.
        const int code = status.toInt();
        fail(key, url, !status.isValid() || code == 429 || code >= 500 ? Failure::Unavailable : Failure::Refused,
             retryAfterMs(reply));
    } else if (QImage image = decode(reply->readAll()); !image.isNull()) {
        holdMs_ = 0;
        failedAt_.erase(key);
        images_.insert(key, new QImage(std::move(image)));
        emit tileReady(key.z, key.x, key.y);
    } else {
        fail(key, url, Failure::Garbage);
    }
    pump();
}

bool TileFetcher::useStaleCopy(const TileKey& key, const QUrl& url) {
    std::unique_ptr<QIODevice> cached(diskCache_->data(url));
    if (!cached) return false;
    QImage image = decode(cached->readAll());
    if (image.isNull()) return false;
    images_.insert(key, new QImage(std::move(image)));
    emit tileReady(key.z, key.x, key.y);
    return true;
}

void TileFetcher::fail(const TileKey& key, const QUrl& url, Failure failure, qint64 serverWaitMs) {
    if (failure == Failure::Unavailable) {
        // The network or the server is away or overloaded. Hold everything
        // back, longer each time, rather than knock again for every tile,
        // and at least as long as the server asked.
        holdMs_ = holdMs_ == 0 ? options_.firstHoldMs : std::min(options_.maxHoldMs, holdMs_ * 2);
        holdUntil_ = clock_.elapsed() + std::max<qint64>(holdMs_, serverWaitMs);
    }
    if (failure == Failure::Garbage) {
        // Keep it out of the cache so that it is not served again.
        diskCache_->remove(url);
    } else if (useStaleCopy(key, url)) {
        return;
    }
    failedAt_[key] = clock_.elapsed();
    emit tileFailed(key.z, key.x, key.y);
}

}  // namespace geovanta
