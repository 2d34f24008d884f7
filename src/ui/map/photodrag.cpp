#include "ui/map/photodrag.h"

#include <QCoreApplication>
#include <QMimeData>
#include <charconv>

namespace geovanta {
namespace {

// Rows mean something only to the process whose table they index: a drag
// from another running copy of the program is not taken.
QByteArray processMark() { return "pid " + QByteArray::number(QCoreApplication::applicationPid()); }

}  // namespace

QMimeData* photoRowsMime(const std::vector<std::size_t>& rows) {
    QByteArray text = processMark() + '\n';
    for (std::size_t row : rows) text += QByteArray::number(static_cast<qulonglong>(row)) + '\n';
    auto* mime = new QMimeData;
    mime->setData(kPhotoRowsMime, text);
    return mime;
}

std::vector<std::size_t> photoRowsOf(const QMimeData* mime) {
    std::vector<std::size_t> rows;
    if (!mime || !mime->hasFormat(kPhotoRowsMime)) return rows;
    const QList<QByteArray> lines = mime->data(kPhotoRowsMime).split('\n');
    if (lines.isEmpty() || lines.front() != processMark()) return rows;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        std::size_t row = 0;
        const auto [end, error] = std::from_chars(line.constData(), line.constData() + line.size(), row);
        if (!line.isEmpty() && error == std::errc() && end == line.constData() + line.size()) rows.push_back(row);
    }
    return rows;
}

}  // namespace geovanta
