#pragma once
// The main window: toolbar, menus, the grid and the map over the document.
// Each command is a slot that hands the work to a small class of its own;
// long work runs as jobs off the window's thread, and while one runs the
// commands that would change the table wait.

#include <QKeySequence>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/commands/gridcommands.h"
#include "app/commands/ozicommands.h"
#include "app/commands/photoloadcommand.h"
#include "app/commands/trackloadcommand.h"
#include "app/document.h"
#include "ui/jobqueue.h"
#include "app/programtools.h"
#include "ui/tagwritethread.h"
#include "ui/toolicons.h"

class QModelIndex;
class QToolBar;
class QSplitter;
class QToolButton;

namespace geovanta {

class DataGrid;
class ElidedLabel;
class HandPlacing;
class MainMenus;
class MapWidget;
class DataTableModel;
class PhotoRowsFilter;
class Dialogs;
class TFormConsole;
class TagWrite;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `tools` are the program's, made by its entry point.
    TMainForm(Document& document, Dialogs& dialogs, std::shared_ptr<ProgramTools> tools, QWidget* parent = nullptr);
    ~TMainForm() override;

    Document& document() { return document_; }
    const DataTable& table() const { return document_.table(); }
    // The table's rows, and the grid's: all of them or the photographs alone.
    DataTableModel* model() const { return model_; }
    PhotoRowsFilter* gridRows() const { return rows_; }
    DataGrid* grid() const { return grid_; }
    MapWidget* map() const { return map_; }
    HandPlacing* handPlacing() const { return hand_; }
    JobQueue& jobs() { return jobs_; }
    Dialogs& dialogs() { return dialogs_; }
    // The console window of the tag writer; made on first use when none was given.
    void setConsole(TFormConsole* console);
    TFormConsole* console();
    // Loads files and folders named on the command line, in their order.
    void loadArguments(const std::vector<std::string>& paths);
    // Tags are written by this program instead of the ExifTool found beside
    // the program.
    void setExifTool(const std::string& program) { tools_->setExifTool(program); }
    // True while GPS tags are written on a thread of their own.
    bool tagWriteRunning() const { return tagWrite_.running(); }
    // Aborts a running tag write and waits for its end, which comes within
    // its grace; the console must outlive it.
    void stopTagWrite();
    // Closing the window, Ctrl+Q in either window and a stop signal: a tag
    // write under way is aborted, its photographs in flight get their grace,
    // then the window closes and the program ends.
    void quit();

public slots:
    void loadTrack() { trackLoad_.run(); }
    void loadPhotos() { photoLoad_.run(); }
    void loadPhotoTrack() { trackLoad_.runPhotoTrack(); }
    void sendTrackToOzi() { oziCommands_.sendTrack(); }
    void sendPhotosToOzi() { oziCommands_.sendPhotos(); }
    void editOffsets();
    void writeAllTags();
    void writeCurrentPhotoTags();
    void setTimeFromPhoto();
    void showAbout();
    void openCurrentPhoto();
    // Enables the grid's popup items for the current row.
    void updatePopupItems();
    // "Очистить таблицу" (Ctrl+N): empties the table after asking.
    void clearTable();
    // "Только фото": the grid shows the photographs alone; the map still
    // shows everything.
    void setPhotosOnly(bool on);
    // F3 and Shift+F3: the next or previous photograph without a position,
    // round the table's end.
    void nextUnplacedPhoto() { jumpToUnplaced(true); }
    void previousUnplacedPhoto() { jumpToUnplaced(false); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void placeWindow();
    void buildToolBar();
    void buildGrid();
    void buildStatusBar();
    void buildMap();
    // The status bar after a pass: what was placed and why not, and the
    // offsets and tolerance in force.
    void updateStatus();
    // While a job runs or tags are written, the commands that change the
    // table are not offered; the document refuses them anyway.
    void setCommandsAvailable(bool available);
    bool busy() const { return jobs_.busy() || tagWriteRunning(); }
    QToolButton* toolButton(const char* name, const QString& hint, ToolIcon icon, void (TMainForm::*handler)(),
                            const QKeySequence& key = {});
    // Puts the grid's current cell on the table's `row`, keeping the column;
    // on the nearest row shown when the grid does not show that one.
    void showRow(std::size_t row);
    std::optional<std::size_t> tableRowOf(const QModelIndex& gridIndex) const;
    void jumpToUnplaced(bool forward);
    // The empty grid says what to do first, or why it shows nothing.
    void updateEmptyHint();
    // Begins a tag write, of every placed photograph or of the current one,
    // and runs it on a thread of its own; it finishes on this thread.
    void startTagWrite(bool currentOnly);
    // The console's Ctrl+Q quits as the window's does.
    void wireConsole();

    Document& document_;
    Dialogs& dialogs_;
    std::shared_ptr<ProgramTools> tools_;
    JobQueue jobs_{document_};
    GridCommands gridCommands_;
    TrackLoadCommand trackLoad_{dialogs_, document_, jobs_};
    PhotoLoadCommand photoLoad_{dialogs_, document_, jobs_};
    TagWriteThread tagWrite_{this};
    bool closeAfterTagWrite_ = false;
    TFormConsole* console_ = nullptr;
    std::unique_ptr<TFormConsole> ownConsole_;
    OziCommands oziCommands_{tools_->ozi(), dialogs_, document_};
    DataTableModel* model_ = nullptr;
    PhotoRowsFilter* rows_ = nullptr;
    DataGrid* grid_ = nullptr;
    QSplitter* panels_ = nullptr;
    MapWidget* map_ = nullptr;
    HandPlacing* hand_ = nullptr;
    std::unique_ptr<MainMenus> menus_;
    QToolBar* toolBar_ = nullptr;
    // The commands that change the table in the toolbar; the menus keep theirs.
    std::vector<QWidget*> tableButtons_;
    ElidedLabel* statusSummary_ = nullptr;
    ElidedLabel* statusOffsets_ = nullptr;
};

}  // namespace geovanta
