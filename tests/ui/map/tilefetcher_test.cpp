// Tile fetching against a local server that behaves well, slowly, wrongly or
// not at all. Nothing here touches the internet.
#include <QElapsedTimer>
#include <QNetworkDiskCache>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/map/tilefetcher.h"
#include "tileserver.h"

using namespace geovanta;
using test::TileServer;

namespace {

constexpr const char* kLongAgo = "Thu, 01 Jan 2015 00:00:00 GMT";

std::vector<TileKey> row(int z, int y, int from, int count) {
    std::vector<TileKey> keys;
    for (int x = from; x < from + count; ++x) keys.push_back({z, x, y});
    return keys;
}

}  // namespace

class TileFetcherTest : public QObject {
    Q_OBJECT

    QTemporaryDir cache_;

    TileFetchOptions options() {
        TileFetchOptions o;
        o.cacheFolder = cache_.path();
        o.timeoutMs = 400;
        o.firstHoldMs = 300;
        o.maxTileBytes = 1024 * 1024;
        return o;
    }
    std::unique_ptr<TileFetcher> fetcher(const TileServer& server, TileFetchOptions o) {
        auto f = std::make_unique<TileFetcher>(o);
        f->setSource(TileSource(server.urlTemplate().toStdString()));
        return f;
    }
    std::unique_ptr<TileFetcher> fetcher(const TileServer& server) { return fetcher(server, options()); }

private slots:
    void init() { QVERIFY(cache_.isValid()); }
    void cleanup() { QDir(cache_.path()).removeRecursively(); }

    void fetchesTheVisibleTilesTwoAtATime() {
        TileServer server;
        server.delayMs = 30;
        auto f = fetcher(server);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        f->want(row(5, 10, 0, 12));
        QTRY_COMPARE_WITH_TIMEOUT(ready.size(), 12, 5000);
        QCOMPARE(server.requests.size(), 12);
        QCOMPARE(server.mostOpenConnections, 2);
        QCOMPARE(server.requests[0].path, QByteArray("/5/0/10.png"));
        for (const auto& r : server.requests) QCOMPARE(r.headers.value("user-agent"), QByteArray("Geovanta/5.0"));
        const QImage* tile = f->tile({5, 3, 10});
        QVERIFY(tile);
        QCOMPARE(tile->size(), QSize(256, 256));
        QCOMPARE(QColor(tile->pixel(100, 100)), server.color);
        // Tiles at hand are not asked for again.
        f->want(row(5, 10, 0, 12));
        QTest::qWait(100);
        QCOMPARE(server.requests.size(), 12);
    }

    void onlyTheTilesStillInViewAreFetched() {
        TileServer server;
        server.delayMs = 150;
        auto f = fetcher(server);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        f->want(row(8, 1, 0, 20));
        f->want({{8, 100, 100}});  // the user panned away at once
        QTRY_COMPARE_WITH_TIMEOUT(ready.size(), 3, 3000);
        QTest::qWait(300);
        // The two already asked for, and the one in view; nothing fetched ahead.
        QCOMPARE(server.requests.size(), 3);
        QVERIFY(f->tile({8, 100, 100}));
    }

    void diskCacheFollowsTheServersHeaders() {
        TileServer server;
        server.cacheControl = "max-age=3600";
        {
            auto f = fetcher(server);
            QSignalSpy ready(f.get(), &TileFetcher::tileReady);
            f->want({{3, 1, 2}});
            QTRY_COMPARE(ready.size(), 1);
        }
        // Fresh for an hour: a new start reads it from disk.
        {
            auto f = fetcher(server);
            QSignalSpy ready(f.get(), &TileFetcher::tileReady);
            f->want({{3, 1, 2}});
            QTRY_COMPARE(ready.size(), 1);
            QCOMPARE(server.requests.size(), 1);
        }
        // Out of date: asked again, with the date of the copy kept, and the
        // server's "not modified" is enough.
        server.cacheControl.clear();
        server.expires = kLongAgo;
        server.lastModified = "Tue, 01 Oct 2024 10:00:00 GMT";
        {
            auto f = fetcher(server);
            QSignalSpy ready(f.get(), &TileFetcher::tileReady);
            f->want({{3, 4, 4}});
            QTRY_COMPARE(ready.size(), 1);
        }
        auto f = fetcher(server);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        f->want({{3, 4, 4}});
        QTRY_COMPARE(ready.size(), 1);
        QCOMPARE(server.requests.size(), 3);
        QCOMPARE(server.requests.last().headers.value("if-modified-since"), server.lastModified);
        QVERIFY(f->tile({3, 4, 4}));
    }

    void aServerThatIsDownLeavesTilesOutQuietly() {
        TileServer server;
        server.close();
        auto f = fetcher(server);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        f->want(row(4, 4, 0, 6));
        QTRY_VERIFY(failed.size() >= 1);
        QTRY_COMPARE(f->requestsInFlight(), 0);
        QCOMPARE(ready.size(), 0);
        QVERIFY(!f->tile({4, 0, 4}));
    }

    void aServerThatCannotAnswerHoldsEveryRequestBackForAWhile_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("no answer") << int(TileServer::Mode::Hangup);
        QTest::newRow("500") << int(TileServer::Mode::Error);
    }
    void aServerThatCannotAnswerHoldsEveryRequestBackForAWhile() {
        QFETCH(int, mode);
        TileServer server;
        server.mode = static_cast<TileServer::Mode>(mode);
        auto f = fetcher(server);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        f->want({{4, 1, 1}});
        QTRY_COMPARE(failed.size(), 1);
        // The next tiles wait out the hold instead of knocking at once.
        server.mode = TileServer::Mode::Tile;
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        QElapsedTimer clock;
        clock.start();
        const qsizetype before = server.requests.size();  // the network layer may have tried twice
        f->want({{4, 2, 1}});
        QTest::qWait(100);
        QCOMPARE(server.requests.size(), before);
        QTRY_COMPARE(ready.size(), 1);
        QVERIFY(clock.elapsed() >= 250);
    }

    // However long the server asks to be left alone, it is; a plain backoff
    // would have knocked again after 300 ms.
    void retryAfterIsHonoured() {
        TileServer server;
        server.mode = TileServer::Mode::Busy;
        server.retryAfter = "1";
        auto f = fetcher(server);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        f->want({{4, 1, 1}});
        QTRY_COMPARE(failed.size(), 1);
        QElapsedTimer clock;
        clock.start();
        server.mode = TileServer::Mode::Tile;
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        f->want({{4, 2, 1}});
        QTest::qWait(600);
        QCOMPARE(server.requests.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(ready.size(), 1, 3000);
        QVERIFY(clock.elapsed() >= 900);
    }

    void redirectsAreFollowedFiveTimesAtMost() {
        TileServer server;
        server.mode = TileServer::Mode::Redirect;
        server.redirects = 5;
        auto f = fetcher(server);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        f->want({{3, 1, 1}});
        QTRY_COMPARE(ready.size(), 1);
        QCOMPARE(server.requests.size(), 6);
        QCOMPARE(server.requests.last().path, QByteArray("/5/3/1/1.png"));

        server.redirects = -1;
        f->want({{3, 2, 2}});
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(server.requests.size(), 12);  // the first request and five redirects
        QCOMPARE(ready.size(), 1);
    }

    // A tile that announces more than the limit is given up as the header
    // comes, not when the time runs out.
    void anAnnouncedGiantIsGivenUpAtOnce() {
        TileServer server;
        server.mode = TileServer::Mode::Boasting;
        TileFetchOptions o = options();
        o.timeoutMs = 10000;
        auto f = fetcher(server, o);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        QElapsedTimer clock;
        clock.start();
        f->want({{5, 5, 5}});
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 3000);
        QVERIFY(clock.elapsed() < 3000);
        QCOMPARE(f->requestsInFlight(), 0);
    }

    void aSlowServerIsGivenUpOn() {
        TileServer server;
        server.mode = TileServer::Mode::Slow;
        auto f = fetcher(server);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        f->want(row(6, 6, 0, 2));
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 2, 3000);
        QCOMPARE(f->requestsInFlight(), 0);
    }

    void errorsAndGarbageAreNotRetriedAtOnceNorCached_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("500") << int(TileServer::Mode::Error);
        QTest::newRow("404") << int(TileServer::Mode::Missing);
        QTest::newRow("not a picture") << int(TileServer::Mode::Garbage);
        QTest::newRow("picture far larger than a tile") << int(TileServer::Mode::Giant);
        QTest::newRow("endless body") << int(TileServer::Mode::Endless);
    }
    void errorsAndGarbageAreNotRetriedAtOnceNorCached() {
        QFETCH(int, mode);
        TileServer server;
        server.mode = static_cast<TileServer::Mode>(mode);
        server.cacheControl = "max-age=3600";
        auto f = fetcher(server);
        QSignalSpy failed(f.get(), &TileFetcher::tileFailed);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        f->want({{7, 5, 5}});
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 3000);
        QCOMPARE(ready.size(), 0);
        // The failed tile waits; other tiles go on at once.
        server.mode = TileServer::Mode::Tile;
        f->want({{7, 5, 5}, {7, 6, 5}});
        QTRY_COMPARE(ready.size(), 1);
        QCOMPARE(server.requests.size(), 2);
        // Whatever came back is not on disk to be served again.
        auto next = fetcher(server);
        QSignalSpy nextReady(next.get(), &TileFetcher::tileReady);
        next->want({{7, 5, 5}});
        QTRY_COMPARE(nextReady.size(), 1);
        QCOMPARE(server.requests.size(), 3);
    }

    void anOutOfDateCopyServesWhenTheServerIsGone() {
        TileServer server;
        server.expires = kLongAgo;
        {
            auto f = fetcher(server);
            QSignalSpy ready(f.get(), &TileFetcher::tileReady);
            f->want({{9, 300, 150}});
            QTRY_COMPARE(ready.size(), 1);
        }
        server.close();
        auto f = fetcher(server);
        QSignalSpy ready(f.get(), &TileFetcher::tileReady);
        f->want({{9, 300, 150}});
        QTRY_COMPARE(ready.size(), 1);
        QVERIFY(f->tile({9, 300, 150}));
    }

    void aDisabledSourceFetchesNothing() {
        TileServer server;
        TileFetcher f(options());
        f.setSource(TileSource(""));
        f.want(row(2, 1, 0, 4));
        f.setSource(TileSource("file:///etc/{z}/{x}/{y}"));
        f.want(row(2, 1, 0, 4));
        QCOMPARE(f.requestsInFlight(), 0);
        QCOMPARE(server.requests.size(), 0);
    }
};

QTEST_MAIN(TileFetcherTest)
#include "tilefetcher_test.moc"
