#pragma once
// A small HTTP tile server for the tests, on a free local port: answers
// "GET /z/x/y.png" with a one-colour PNG, or misbehaves as told. Counts
// requests and open connections and keeps the request headers.

#include <QBuffer>
#include <QColor>
#include <QDateTime>
#include <QLocale>
#include <QImage>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace geovanta::test {

class TileServer {
public:
    enum class Mode {
        Tile,     // 200 with a PNG tile
        Slow,     // reads the request and never answers
        Error,    // 500
        Missing,  // 404
        Garbage,  // 200 with bytes that are no picture
        Giant,    // 200 with a PNG far larger than a tile
        Endless,  // 200 with more bytes than any tile
        Hangup,   // closes the connection without a word
        Busy,     // 429, with retryAfter as its Retry-After header when set
        Boasting, // announces far more bytes than any tile, sends a few and keeps the line open
        Redirect, // 302 to another path, `redirects` times, then a tile; -1: for ever
    };

    struct Request {
        QByteArray path;
        QMap<QByteArray, QByteArray> headers;  // names in lower case
    };

    Mode mode = Mode::Tile;
    QByteArray cacheControl;    // sent when not empty
    QByteArray expires;         // sent when not empty
    QByteArray lastModified;    // sent when not empty; a request with If-Modified-Since then gets 304
    int delayMs = 0;            // before each answer
    QByteArray retryAfter;      // sent with Busy when not empty
    int redirects = -1;         // how many Redirect sends before the tile
    QColor color{10, 200, 30};

    QList<Request> requests;
    int openConnections = 0;
    int mostOpenConnections = 0;

    TileServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) accept(socket);
        });
    }

    quint16 port() const { return port_ ? port_ : server_.serverPort(); }
    QString urlTemplate() const { return QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(port()); }
    // Stops listening; the port then refuses connections.
    void close() {
        port_ = server_.serverPort();
        server_.close();
    }

    static QByteArray png(QSize size, QColor color) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

private:
    void accept(QTcpSocket* socket) {
        mostOpenConnections = std::max(mostOpenConnections, ++openConnections);
        auto* received = new QByteArray;
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket, received] {
            --openConnections;
            delete received;
            socket->deleteLater();
        });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            received->append(socket->readAll());
            const qsizetype end = received->indexOf("\r\n\r\n");
            if (end < 0) return;
            Request request = parse(received->left(end));
            received->remove(0, end + 4);
            requests.append(request);
            if (mode == Mode::Slow) return;
            QTimer::singleShot(delayMs, socket, [this, socket, request] { answer(socket, request); });
        });
    }

    static Request parse(const QByteArray& head) {
        Request r;
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        r.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) r.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
        }
        return r;
    }

    void answer(QTcpSocket* socket, const Request& request) {
        if (mode == Mode::Hangup) {
            socket->abort();
            return;
        }
        if (mode == Mode::Boasting) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: 104857600\r\n\r\n\x89PNG");
            return;
        }
        // Each hop adds one to the number in the path: /z/x/y.png, /1/z/x/y.png, ...
        const int hop = request.path.count('/') > 3 ? request.path.split('/').value(1).toInt() : 0;
        if (mode == Mode::Redirect && (redirects < 0 || hop < redirects)) {
            const QByteArray tile = hop ? request.path.mid(request.path.indexOf('/', 1)) : request.path;
            socket->write("HTTP/1.1 302 Found\r\nLocation: /" + QByteArray::number(hop + 1) + tile +
                          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        QByteArray status = "200 OK", body;
        switch (mode) {
        case Mode::Tile:
            body = png({256, 256}, color);
            if (!lastModified.isEmpty() && request.headers.contains("if-modified-since")) status = "304 Not Modified";
            break;
        case Mode::Error: status = "500 Internal Server Error", body = "<html>oops</html>"; break;
        case Mode::Busy: status = "429 Too Many Requests", body = "slow down"; break;
        case Mode::Redirect: body = png({256, 256}, color); break;
        case Mode::Missing: status = "404 Not Found", body = "no such tile"; break;
        case Mode::Garbage: body = QByteArray(5000, '\x5a').prepend("\x89PNG\r\n\x1a\n"); break;
        case Mode::Giant: body = png({3000, 3000}, color); break;
        case Mode::Endless: body = QByteArray(6 * 1024 * 1024, 'x'); break;
        default: break;
        }
        if (status.startsWith("304")) body.clear();
        QByteArray head = "HTTP/1.1 " + status + "\r\nContent-Type: image/png\r\nConnection: close\r\n";
        head += "Date: " + QLocale::c().toString(QDateTime::currentDateTimeUtc(), "ddd, dd MMM yyyy hh:mm:ss 'GMT'").toLatin1() + "\r\n";
        if (!status.startsWith("304")) head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        if (!cacheControl.isEmpty()) head += "Cache-Control: " + cacheControl + "\r\n";
        if (!expires.isEmpty()) head += "Expires: " + expires + "\r\n";
        if (!lastModified.isEmpty()) head += "Last-Modified: " + lastModified + "\r\n";
        if (mode == Mode::Busy && !retryAfter.isEmpty()) head += "Retry-After: " + retryAfter + "\r\n";
        socket->write(head + "\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    quint16 port_ = 0;
};

}  // namespace geovanta::test
