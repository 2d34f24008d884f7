#include "ui/commandkeys.h"

#include <QCoreApplication>

namespace geovanta {
namespace {

QString keyText(const QKeySequence& key) { return key.toString(QKeySequence::NativeText); }

}  // namespace

const QKeySequence kLoadTrackKey(Qt::CTRL | Qt::Key_O);
const QKeySequence kLoadPhotosKey(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
const QKeySequence kSendTrackKey(Qt::CTRL | Qt::SHIFT | Qt::Key_T);
const QKeySequence kSendPhotosKey(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
const QKeySequence kOffsetsKey(Qt::CTRL | Qt::Key_T);
const QKeySequence kWriteTagsKey(Qt::CTRL | Qt::Key_S);
const QKeySequence kClearKey(Qt::CTRL | Qt::Key_N);

QString emptyGridHint() {
    return QCoreApplication::translate("geovanta::CommandKeys",
                                       "Как привязать фотографии к треку:\n\n"
                                       "1. Загрузите GPS трек (.plt, .wpt, .gpx) — %1\n"
                                       "2. Загрузите папку с фотографиями — %2\n"
                                       "3. Если часы камеры спешили или отставали, настройте смещение времени — %3\n"
                                       "4. Проверьте: привязанные фотографии зелёные, непривязанные красные\n"
                                       "5. Запишите координаты в фотографии — %4")
        .arg(keyText(kLoadTrackKey), keyText(kLoadPhotosKey), keyText(kOffsetsKey), keyText(kWriteTagsKey));
}

}  // namespace geovanta
