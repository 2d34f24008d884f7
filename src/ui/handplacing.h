#pragma once
// The main window's part in placing photographs by hand: photographs dropped
// on the map, the "Правка" menu's undo and redo, "Вернуть автоматическую
// привязку" on a photo row and on a photograph's mark, and the preview a
// mark shows under the mouse. The work is HandPlacementCommands'; while a
// job works on a copy of the table, nothing is placed.

#include <QObject>
#include <cstddef>
#include <vector>

#include "app/commands/handplacementcommands.h"
#include "ui/thumbnailcache.h"

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace geovanta {

class Dialogs;
class Document;
class JobQueue;
class MapWidget;
class PhotoPreview;

class HandPlacing : public QObject {
    Q_OBJECT
public:
    HandPlacing(Document& document, JobQueue& jobs, Dialogs& dialogs, MapWidget* map, QWidget* window);

    // Undo (Ctrl+Z) and redo (Ctrl+Shift+Z) into the "Правка" menu.
    void fillEditMenu(QMenu* menu);
    // "Вернуть автоматическую привязку" for the grid's current row.
    void addToPopup(QMenu* popup);
    // Offers the release for the current row when it was placed by hand.
    void updateRelease();
    // Off while a job runs.
    void setAvailable(bool available);

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    QAction* releaseAction() const { return release_; }
    PhotoPreview* preview() const { return preview_; }

public slots:
    void drop(const std::vector<std::size_t>& rows, double lat, double lon);
    void undo();
    void redo();
    void releaseCurrent();

signals:
    // The row to make current: the photograph just placed, moved or given back.
    void showRow(std::size_t row);
    // Photographs were placed or given back: the counts changed.
    void changed();

private:
    void hover(std::size_t row, const QPoint& globalPos);
    void markMenu(std::size_t row, const QPoint& globalPos);
    void updateActions();
    void done(const HandPlacementCommands::Outcome& outcome);

    Document& document_;
    JobQueue& jobs_;
    Dialogs& dialogs_;
    MapWidget* map_;
    HandPlacementCommands commands_;
    ThumbnailCache thumbnails_;
    PhotoPreview* preview_ = nullptr;
    QMenu* markMenu_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* release_ = nullptr;
    bool available_ = true;
};

}  // namespace geovanta
