#include "ui/tmainform.h"

#include <QAction>
#include <QCloseEvent>
#include <QListView>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <chrono>

#include "app/commands/argumentscommand.h"
#include "app/commands/clearcommand.h"
#include "app/commands/dialogs.h"
#include "app/commands/offsetscommand.h"
#include "app/commands/referencephotocommand.h"
#include "app/commands/tagcommands.h"
#include "app/tagwrite.h"
#include "app/placementtexts.h"
#include "binding/placement.h"
#include "map/tilesource.h"
#include "ui/commandkeys.h"
#include "ui/datagrid.h"
#include "ui/datatablemodel.h"
#include "ui/elidedlabel.h"
#include "ui/formconsole.h"
#include "ui/handplacing.h"
#include "ui/jobstatus.h"
#include "ui/mainmenus.h"
#include "ui/map/mapcanvas.h"
#include "ui/map/mapwidget.h"
#include "ui/photorowsfilter.h"
#include "ui/screenfit.h"
#include "ui/taboutbox.h"
#include "ui/toolicons.h"
#include "ui/writemenu.h"

namespace geovanta {

TMainForm::TMainForm(Document& document, Dialogs& dialogs, std::shared_ptr<ProgramTools> tools, QWidget* parent)
    : QMainWindow(parent), document_(document), dialogs_(dialogs),
      tools_(std::move(tools)),
      gridCommands_(document, dialogs) {
    setObjectName("MainForm");
    setWindowTitle("Geovanta");
    auto* body = new QWidget(this);
    body->setObjectName("BodyPanel");
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(body);

    buildToolBar();
    buildGrid();
    buildStatusBar();
    buildMap();
    hand_ = new HandPlacing(document_, jobs_, dialogs_, map_, this);
    menus_ = std::make_unique<MainMenus>(this, hand_, dialogs_, document_,
                                         [this] { return gridCommands_.popupItems().writeExif; });
    hand_->addToPopup(menus_->popup());
    // After the menus, whose item shows the choice.
    setPhotosOnly(document_.state().photosOnly);
    connect(hand_, &HandPlacing::showRow, this, &TMainForm::showRow);
    connect(hand_, &HandPlacing::changed, this, &TMainForm::updateStatus);
    layout->addWidget(toolBar_);
    layout->addWidget(panels_, 1);

    connect(&jobs_, &JobQueue::busyChanged, this, [this](bool) { setCommandsAvailable(!busy()); });
    // A job may leave the cursor on the row it is about (the reference photograph).
    connect(&jobs_, &JobQueue::jobFinished, this, [this] {
        if (!document_.table().isEmpty()) showRow(document_.table().recNo());
    });
    connect(&jobs_, &JobQueue::failed, this, [this](const QString& message) {
        dialogs_.showMessage(MessageKind::Failure, failureText(message.toStdString()));
    });
    placeWindow();
}

void TMainForm::placeWindow() {
    // First start: most of today's screens, at least what the toolbar and
    // the columns need where the screen has room for it.
    placeOnScreen(this, QByteArray::fromBase64(QByteArray::fromStdString(document_.state().windowGeometry)),
                  QSize(1280, 760), QSize(637, 524));
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (tagWriteRunning()) {
        // Tags being written end first, within their grace; the window
        // closes as soon as they have.
        closeAfterTagWrite_ = true;
        tagWrite_.abort();
        event->ignore();
        return;
    }
    // A load or pass under way is stopped; its copy of the table goes with it.
    jobs_.cancel();
    // The console goes with the window it belongs to.
    if (console_) console_->close();
    // Remembered quietly: a settings file that cannot be written is no
    // reason to keep the program from closing.
    ProgramState& state = document_.state();
    state.windowGeometry = saveGeometry().toBase64().toStdString();
    state.mapPanel = panels_->saveState().toBase64().toStdString();
    document_.settings().writeString(SettingsFile::kWindowGeometryKey, state.windowGeometry);
    document_.settings().writeString(SettingsFile::kMapPanelKey, state.mapPanel);
    document_.settings().writeInteger(SettingsFile::kPhotosOnlyKey, state.photosOnly ? 1 : 0);
    QMainWindow::closeEvent(event);
}

TMainForm::~TMainForm() {
    stopTagWrite();
    // The model listens to the table, which outlives the window's children.
    grid_->setModel(nullptr);
    delete rows_;
    rows_ = nullptr;
    delete model_;
    model_ = nullptr;
}

void TMainForm::quit() { close(); }

QToolButton* TMainForm::toolButton(const char* name, const QString& hint, ToolIcon icon, void (TMainForm::*handler)(),
                                   const QKeySequence& key) {
    auto* b = new QToolButton(toolBar_);
    if (!key.isEmpty()) b->setShortcut(key);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setIcon(toolIcon(icon));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(39, 38);
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, handler);
    toolBar_->addWidget(b);
    return b;
}

void TMainForm::buildToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("ToolBar1");
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(32, 32));
    tableButtons_.push_back(toolButton("ToolButton1", tr("Загрузить GPS трек"), ToolIcon::LoadTrack, &TMainForm::loadTrack));
    tableButtons_.push_back(
        toolButton("ToolButton2", tr("Загрузить фотографии"), ToolIcon::LoadPhotos, &TMainForm::loadPhotos));
    toolBar_->addSeparator()->setObjectName("ToolButton3");
    toolButton("ToolButton4", tr("Передать в OziExplorer путь"), ToolIcon::SendTrack, &TMainForm::sendTrackToOzi);
    toolButton("ToolButton5", tr("Передать в OziExplorer фотографии"), ToolIcon::SendPhotos, &TMainForm::sendPhotosToOzi);
    toolBar_->addSeparator()->setObjectName("ToolButton7");
    // Their keys are the menu items': one key on two controls would be
    // ambiguous and do nothing.
    tableButtons_.push_back(toolButton("ToolButton6", tr("Настроить смещение даты и времени"), ToolIcon::TimeOffsets,
                                       &TMainForm::editOffsets));
    tableButtons_.push_back(toolButton("ToolButton8", tr("Записать GPS координаты в файлы изображений"),
                                       ToolIcon::WriteTags, &TMainForm::writeAllTags));
}

void TMainForm::buildGrid() {
    const DataTable& table = document_.table();
    model_ = new DataTableModel(table, this);
    model_->setObjectName("DataSource");
    model_->setEditHandler([this](std::size_t row, FieldId field, const std::string& text) {
        return gridCommands_.setField(row, field, text);
    });
    model_->setToolTipSource(
        [this](std::size_t row) {
            const ProgramState& state = document_.state();
            return photoRowToolTip(document_.table(), row, bindingParams(state));
        });
    rows_ = new PhotoRowsFilter(table, model_, this);
    grid_ = new DataGrid(this);
    grid_->setModel(rows_);
    grid_->fitColumns();
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                // Whoever removes a row puts the grid on the table's cursor afterwards.
                if (model_->removingRow()) return;
                if (const auto row = tableRowOf(current)) gridCommands_.rowEntered(*row);
            });
    // After the grid's rows have followed the table.
    connect(rows_, &QAbstractItemModel::modelReset, this, [this] {
        if (!document_.table().isEmpty()) showRow(document_.table().recNo());
    });
    connect(model_, &QAbstractItemModel::modelReset, this, &TMainForm::updateEmptyHint);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &TMainForm::updateEmptyHint);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &TMainForm::updateEmptyHint);
    // A new row is no photograph, so the photographs alone have no place for it.
    connect(grid_, &DataGrid::insertRequested, this, [this] {
        if (!rows_->photosOnly()) showRow(gridCommands_.insertRow());
    });
    connect(grid_, &DataGrid::appendRequested, this, [this] {
        if (!rows_->photosOnly()) showRow(gridCommands_.appendRow());
    });
    connect(grid_, &DataGrid::cancelRequested, this, [this] {
        gridCommands_.cancelRow();
        if (!document_.table().isEmpty()) showRow(document_.table().recNo());
    });
    connect(grid_, &DataGrid::deleteRequested, this, [this] {
        if (gridCommands_.deleteCurrentRow() && !document_.table().isEmpty())
            showRow(document_.table().recNo());
    });
    connect(grid_, &QAbstractItemView::doubleClicked, this, &TMainForm::openCurrentPhoto);
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        updatePopupItems();
        menus_->popup()->popup(grid_->viewport()->mapToGlobal(pos));
    });
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    // Long texts end in "…" at the window's edge rather than widening it;
    // their tooltips hold them whole.
    statusSummary_ = new ElidedLabel(bar);
    statusSummary_->setObjectName("StatusSummary");
    statusOffsets_ = new ElidedLabel(bar);
    statusOffsets_->setObjectName("StatusOffsets");
    bar->addWidget(statusSummary_, 1);
    bar->addPermanentWidget(new JobStatus(jobs_, bar));
    bar->addPermanentWidget(statusOffsets_);
    // Every pass suspends the display and ends with a reset of the model, so
    // this follows every pass; a deleted row changes the counts too.
    connect(model_, &QAbstractItemModel::modelReset, this, &TMainForm::updateStatus);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &TMainForm::updateStatus);
    updateStatus();
}

void TMainForm::buildMap() {
    panels_ = new QSplitter(Qt::Horizontal, this);
    panels_->setObjectName("Panels");
    map_ = new MapWidget(panels_);
    map_->setObjectName("Map");
    panels_->addWidget(grid_);
    panels_->addWidget(map_);
    panels_->setChildrenCollapsible(true);
    panels_->setStretchFactor(0, 3);
    panels_->setStretchFactor(1, 2);
    const QByteArray saved = QByteArray::fromBase64(QByteArray::fromStdString(document_.state().mapPanel));
    if (saved.isEmpty() || !panels_->restoreState(saved)) panels_->setSizes({600, 450});
    map_->setTileTemplate(
        QString::fromStdString(TileSource::fromSetting(document_.state().mapTiles).urlTemplate()));

    // The map keeps its own copy of what it draws: a new one after every
    // pass (each ends with a model reset); edits, inserts and deletes in
    // between change only their rows of it.
    const auto rebuild = [this] { map_->rebuild(document_.table()); };
    const auto row = [](int r) { return static_cast<std::size_t>(r); };
    connect(model_, &QAbstractItemModel::modelReset, map_, rebuild);
    connect(model_, &QAbstractItemModel::rowsInserted, map_, [this, row](const QModelIndex&, int first, int last) {
        map_->insertRows(document_.table(), row(first), row(last));
    });
    connect(model_, &QAbstractItemModel::rowsRemoved, map_,
            [this, row](const QModelIndex&, int first, int last) { map_->removeRows(row(first), row(last)); });
    connect(model_, &QAbstractItemModel::dataChanged, map_, [this, row](const QModelIndex& from, const QModelIndex& to) {
        map_->updateRows(document_.table(), row(from.row()), row(to.row()));
    });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, map_,
            [this](const QModelIndex& current) { map_->setCurrentRow(tableRowOf(current)); });
    connect(map_, &MapWidget::rowActivated, this, [this](std::size_t row) { showRow(row); });
    rebuild();
    // Tab goes on from the grid to the photographs under the map, then to
    // the map itself.
    setTabOrder(grid_, map_->tray());
    setTabOrder(map_->tray(), map_->canvas());
}

void TMainForm::updateStatus() {
    const PlacementSummary summary = summarisePlacements(document_.table(), document_.params());
    const QString text = QString::fromStdString(summaryStatusText(summary));
    statusSummary_->setText(text);
    statusOffsets_->setText(QString::fromStdString(offsetsStatusText(document_.params())));
}

void TMainForm::setCommandsAvailable(bool available) {
    for (QWidget* b : tableButtons_) b->setEnabled(available);
    for (QAction* a : menus_->tableActions()) a->setEnabled(available);
    menus_->write()->setAvailable(available);
    model_->setReadOnly(!available);
    hand_->setAvailable(available);
}

void TMainForm::clearTable() { ClearCommand(dialogs_, document_).run(); }

void TMainForm::showRow(std::size_t row) {
    if (row >= static_cast<std::size_t>(model_->rowCount())) return;
    const std::optional<int> shown = rows_->nearestGridRow(row);
    if (!shown) return;
    const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 1;
    grid_->setCurrentIndex(rows_->index(*shown, column));
    // The grid may have been on that row already, moved there while a row
    // went, with the table's cursor elsewhere.
    if (const auto current = tableRowOf(grid_->currentIndex()); current && *current != document_.table().recNo())
        gridCommands_.rowEntered(*current);
}

std::optional<std::size_t> TMainForm::tableRowOf(const QModelIndex& gridIndex) const {
    if (!gridIndex.isValid()) return std::nullopt;
    return rows_->tableRow(gridIndex.row());
}

void TMainForm::setPhotosOnly(bool on) {
    // The menu item shows the choice; checking it brings the call back here.
    if (menus_->photosOnly()->isChecked() != on) {
        menus_->photosOnly()->setChecked(on);
        return;
    }
    document_.state().photosOnly = on;
    if (rows_->photosOnly() == on) {
        updateEmptyHint();
        return;
    }
    // The table's cursor follows the grid, so it names the row to come back
    // to; the rows going and coming must not move it meanwhile.
    const std::size_t current = document_.table().recNo();
    const bool hadCurrent = grid_->currentIndex().isValid();
    grid_->selectionModel()->clearCurrentIndex();
    rows_->setPhotosOnly(on);
    updateEmptyHint();
    if (hadCurrent && !document_.table().isEmpty()) showRow(current);
}

void TMainForm::jumpToUnplaced(bool forward) {
    const DataTable& table = document_.table();
    // With no row current yet, F3 starts at the first row and Shift+F3 at the last.
    const std::size_t from = grid_->currentIndex().isValid() ? table.recNo() : forward ? table.rowCount() - 1 : 0;
    const std::optional<std::size_t> row = findUnplacedPhoto(table, from, forward);
    if (!row) {
        statusBar()->showMessage(tr("Непривязанных фотографий нет"), 4000);
        return;
    }
    showRow(*row);
}

void TMainForm::updateEmptyHint() {
    const bool hidden = rows_->photosOnly() && !document_.table().isEmpty();
    grid_->setEmptyHint(hidden ? tr("Фотографий в таблице нет. Включено «Только фото» (меню «Вид»): "
                                    "точки треков скрыты.")
                               : emptyGridHint());
}

void TMainForm::editOffsets() { OffsetsCommand(document_, dialogs_, jobs_).run(); }

void TMainForm::loadArguments(const std::vector<std::string>& paths) {
    ArgumentsCommand(dialogs_, trackLoad_, photoLoad_).load(paths);
}

void TMainForm::setConsole(TFormConsole* console) {
    console_ = console;
    wireConsole();
}

TFormConsole* TMainForm::console() {
    if (!console_) {
        ownConsole_ = std::make_unique<TFormConsole>();
        console_ = ownConsole_.get();
        wireConsole();
    }
    return console_;
}

void TMainForm::wireConsole() { connect(console_, &TFormConsole::quitRequested, this, &TMainForm::quit); }

void TMainForm::writeAllTags() { startTagWrite(false); }

void TMainForm::writeCurrentPhotoTags() { startTagWrite(true); }

void TMainForm::startTagWrite(bool currentOnly) {
    TagCommands commands(document_, *console(), dialogs_, tools_->exifTool());
    const std::shared_ptr<TagWrite> write = commands.begin(currentOnly ? TagWrite::Scope::Current : TagWrite::Scope::All);
    if (!write) return;
    setCommandsAvailable(false);
    tagWrite_.start(write, [this, write] {
        // Closing: what the write came to is of no interest any more, but the
        // table learns what ExifTool rewrote all the same.
        if (closeAfterTagWrite_) {
            write->finish();
            setCommandsAvailable(!busy());
            close();
            return;
        }
        TagCommands(document_, *console(), dialogs_, tools_->exifTool()).finish(*write);
        setCommandsAvailable(!busy());
        if (!document_.table().isEmpty()) showRow(document_.table().recNo());
    });
}

void TMainForm::stopTagWrite() {
    tagWrite_.stop();
    setCommandsAvailable(!busy());
}

void TMainForm::setTimeFromPhoto() { ReferencePhotoCommand(document_, dialogs_, jobs_).run(); }

void TMainForm::showAbout() {
    TAboutBox::ShowAboutBox(this, "Geovanta", tr("Version 5+"),
                            tr("Программа для привязки фотографий\nпо трекам GPS приемника"));
}

void TMainForm::openCurrentPhoto() { gridCommands_.openCurrentPhoto(); }

void TMainForm::updatePopupItems() {
    const PopupItems items = gridCommands_.popupItems();
    menus_->showPhoto()->setEnabled(items.showPhoto);
    menus_->writePhoto()->setEnabled(items.writeExif && !busy());
    menus_->timeFromPhoto()->setEnabled(items.timeFromPhoto && !busy());
    hand_->updateRelease();
}

}  // namespace geovanta
