#pragma once
// The keys of the main window's commands, and the hint on the empty grid
// that names them, so the two cannot drift apart.

#include <QKeySequence>
#include <QString>

namespace geovanta {

extern const QKeySequence kLoadTrackKey;
extern const QKeySequence kLoadPhotosKey;
extern const QKeySequence kSendTrackKey;
extern const QKeySequence kSendPhotosKey;
extern const QKeySequence kOffsetsKey;
extern const QKeySequence kWriteTagsKey;
extern const QKeySequence kClearKey;

// What to do first, step by step, with the keys.
QString emptyGridHint();

}  // namespace geovanta
