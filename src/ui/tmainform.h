#pragma once
// The main window: toolbar, menus and the grid over the record table. Each
// command is a slot that hands the work to a small class of its own.

#include <QKeySequence>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/commands/gridcommands.h"
#include "app/commands/ozicommands.h"
#include "app/commands/trackloadcommand.h"
#include "app/programpaths.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "output/ozitransfer.h"
#include "output/exiftoolsession.h"
#include "output/tagwriter.h"
#include "runtime/ozilibrary.h"
#include "runtime/keptprocess.h"
#include "table/datatable.h"
#include "ui/tagwritethread.h"
#include "ui/toolicons.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QSplitter;
class QToolButton;

namespace geovanta {

class DataGrid;
class MapWidget;
class DataTableModel;
class Dialogs;
class TFormConsole;
class TagCommands;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    TMainForm(ProgramState& state, SettingsFile settings, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TMainForm() override;

    DataTable& table() { return DataTable_; }
    DataTableModel* model() const { return model_; }
    DataGrid* grid() const { return DataGrid_; }
    MapWidget* map() const { return map_; }
    ProgramState& state() { return state_; }
    const SettingsFile& settings() const { return settings_; }
    Dialogs& dialogs() { return dialogs_; }
    // The console window of the tag writer; made on first use when none was given.
    void setConsole(TFormConsole* console) { FormConsole = console; }
    TFormConsole* console();
    // Loads files and folders named on the command line, in their order.
    void loadArguments(const std::vector<std::string>& paths);
    // Tags are written by this program instead of the ExifTool found beside
    // the program.
    void setExifTool(const std::string& program) { exifTool_ = ExifToolSessions(program, KeptProcess::maker()); }
    // True while GPS tags are written on a thread of their own.
    bool tagWriteRunning() const { return tagWrite_.running(); }
    // Aborts a running tag write and waits for its end, which comes within
    // its grace; the console must outlive it.
    void stopTagWrite();

public slots:
    void LTrackClick() { trackLoad_.run(); }
    void LFotoClick();
    void OTrackClick() { oziCommands_.sendTrack(); }
    void OFotoClick() { oziCommands_.sendPhotos(); }
    void ToolButton6Click();
    void ToolButton8Click();
    void EXIF1Click();
    void TimeFromPhotoClick();
    void HelpMenuClick();
    void DataGridDblClick();
    void PopupMenu1Popup();
    // "Очистить таблицу" (Ctrl+N): empties the table after asking.
    void ClearTableClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void placeWindow();
    void buildToolBar();
    void buildMenus();
    void buildGrid();
    void buildStatusBar();
    void buildMap();
    // The status bar after a pass: what was placed and why not, and the
    // offsets and tolerance in force.
    void updateStatus();
    void FormDestroy();
    QToolButton* toolButton(const char* name, const char* hint, ToolIcon icon, void (TMainForm::*handler)(),
                            const QKeySequence& key = {});
    // Puts the grid's current cell on `row`, keeping the column.
    void showRow(std::size_t row);
    // Runs the tag write of `commands`, begun on this thread, on a thread of
    // its own; `finish` follows on this thread.
    void startTagWrite(std::shared_ptr<TagCommands> commands, std::function<void()> finish);
    // The tag commands with this window's timeout and wording.
    std::shared_ptr<TagCommands> tagCommands();
    // The commands that change the table: off while tags are written, whose
    // results go back into the table at the end.
    void setTableCommandsEnabled(bool enabled);

    ProgramState& state_;
    SettingsFile settings_;
    Dialogs& dialogs_;
    DataTable DataTable_;
    GridCommands gridCommands_;
    TrackLoadCommand trackLoad_{dialogs_, DataTable_, state_, settings_};
    OziLibrary ozi_{defaultOziLibraryPath()};
    ExifToolSessions exifTool_{defaultExifToolPath(), KeptProcess::maker()};
    TagWriter tagWriter_{exifTool_};
    TagWriteThread tagWrite_{this};
    bool closeAfterTagWrite_ = false;
    bool tableCommandsEnabled_ = true;
    int gridEditTriggers_ = 0;  // the grid's own, while they are off
    TFormConsole* FormConsole = nullptr;
    std::unique_ptr<TFormConsole> ownConsole_;
    OziTransfer oziTransfer_{ozi_, DataTable_};
    OziCommands oziCommands_{oziTransfer_, dialogs_};
    DataTableModel* model_ = nullptr;
    DataGrid* DataGrid_ = nullptr;
    QSplitter* panels_ = nullptr;
    MapWidget* map_ = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QAction* EXIF1 = nullptr;
    QAction* TimeFromPhoto = nullptr;
    QAction* ClearTable = nullptr;
    QLabel* StatusSummary = nullptr;
    QLabel* StatusOffsets = nullptr;
};

}  // namespace geovanta
