#include "ui/tmainform.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
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
#include "ui/formconsole.h"
#include "ui/handplacing.h"
#include "ui/jobstatus.h"
#include "ui/languagemenu.h"
#include "ui/map/mapwidget.h"
#include "ui/taboutbox.h"
#include "ui/toolicons.h"
#include "ui/writemenu.h"

namespace geovanta {

TMainForm::TMainForm(Document& document, Dialogs& dialogs, std::shared_ptr<ProgramTools> tools, QWidget* parent)
    : QMainWindow(parent), document_(document), dialogs_(dialogs),
      tools_(tools ? std::move(tools) : std::make_shared<ProgramTools>(document.table())),
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
    buildMenus();
    buildGrid();
    buildStatusBar();
    buildMap();
    hand_ = new HandPlacing(document_, jobs_, dialogs_, map_, this);
    hand_->fillEditMenu(editMenu_);
    hand_->addToPopup(popupMenu_);
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
    const QByteArray saved = QByteArray::fromBase64(QByteArray::fromStdString(document_.state().windowGeometry));
    if (!saved.isEmpty() && restoreGeometry(saved)) return;
    // First start: most of today's screens, centred, never smaller than the
    // window needs for its toolbar and columns.
    QSize size(1280, 760);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size() * 9 / 10).expandedTo(QSize(637, 524));
        QRect frame(QPoint(), size);
        frame.moveCenter(area.center());
        resize(size);
        move(frame.topLeft());
        return;
    }
    resize(size);
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
    QMainWindow::closeEvent(event);
}

TMainForm::~TMainForm() {
    stopTagWrite();
    // The model listens to the table, which outlives the window's children.
    grid_->setModel(nullptr);
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
    tableButtons_.push_back(toolButton("ToolButton6", tr("Настроить смещение даты и времени"), ToolIcon::TimeOffsets,
                                       &TMainForm::editOffsets, kOffsetsKey));
    // Its key belongs to the "Запись" menu, beside the choices made before it.
    tableButtons_.push_back(toolButton("ToolButton8", tr("Записать GPS координаты в файлы изображений"),
                                       ToolIcon::WriteTags, &TMainForm::writeAllTags));
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    QMenu* load = bar->addMenu(tr("Загрузить"));
    load->setObjectName("LoadMenu");
    QAction* a = load->addAction(tr("GPS трек"), this, &TMainForm::loadTrack);
    a->setObjectName("LTrack");
    a->setShortcut(kLoadTrackKey);
    tableActions_.push_back(a);
    a = load->addAction(tr("Фотографии"), this, &TMainForm::loadPhotos);
    a->setObjectName("LFoto");
    a->setShortcut(kLoadPhotosKey);
    tableActions_.push_back(a);
    load->addSeparator();
    a = load->addAction(tr("Очистить таблицу"), this, &TMainForm::clearTable);
    a->setObjectName("ClearTable");
    a->setShortcut(kClearKey);
    tableActions_.push_back(a);
    load->addSeparator();
    a = load->addAction(tr("Выход"), this, &QWidget::close);
    a->setObjectName("Quit");
    a->setShortcut(QKeySequence::Quit);
    editMenu_ = bar->addMenu(tr("Правка"));
    editMenu_->setObjectName("EditMenu");
    QMenu* ozi = bar->addMenu(tr("Передать в OziExplorer"));
    ozi->setObjectName("OziMenu");
    a = ozi->addAction(tr("Путь"), this, &TMainForm::sendTrackToOzi);
    a->setObjectName("OTrack");
    a->setShortcut(kSendTrackKey);
    a = ozi->addAction(tr("Фотографии"), this, &TMainForm::sendPhotosToOzi);
    a->setObjectName("OFoto");
    a->setShortcut(kSendPhotosKey);
    writeMenu_ = new WriteMenu(bar, document_, dialogs_, [this] { return gridCommands_.popupItems().writeExif; }, this);
    connect(writeMenu_, &WriteMenu::writeAllRequested, this, &TMainForm::writeAllTags);
    connect(writeMenu_, &WriteMenu::writeCurrentRequested, this, &TMainForm::writeCurrentPhotoTags);
    addLanguageMenu(bar, dialogs_, document_);
    a = bar->addAction(tr("О программе"), this, &TMainForm::showAbout);
    a->setObjectName("HelpMenu");

    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName("PopupMenu1");
    showPhotoAction_ = popupMenu_->addAction(tr("Показать фото"), this, &TMainForm::openCurrentPhoto);
    showPhotoAction_->setObjectName("N1");
    writePhotoAction_ = popupMenu_->addAction(tr("Записать координаты в EXIF выбранного фото"), this,
                                              &TMainForm::writeCurrentPhotoTags);
    writePhotoAction_->setObjectName("EXIF1");
    popupMenu_->addSeparator();
    timeFromPhotoAction_ =
        popupMenu_->addAction(tr("Установить время по этой фотографии…"), this, &TMainForm::setTimeFromPhoto);
    timeFromPhotoAction_->setObjectName("TimeFromPhoto");
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
            return photoRowToolTip(document_.table(), row, state.tolerance, state.photoZones);
        });
    grid_ = new DataGrid(this);
    grid_->setModel(model_);
    grid_->fitColumns();
    grid_->setEmptyHint(emptyGridHint());
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) gridCommands_.rowEntered(static_cast<std::size_t>(current.row()));
            });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (!document_.table().isEmpty()) showRow(document_.table().recNo());
    });
    connect(grid_, &DataGrid::insertRequested, this, [this] { showRow(gridCommands_.insertRow()); });
    connect(grid_, &DataGrid::appendRequested, this, [this] { showRow(gridCommands_.appendRow()); });
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
        popupMenu_->popup(grid_->viewport()->mapToGlobal(pos));
    });
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    statusSummary_ = new QLabel(bar);
    statusSummary_->setObjectName("StatusSummary");
    // A long summary is cut at the window's edge rather than widening it; its
    // tooltip holds it whole.
    statusSummary_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusOffsets_ = new QLabel(bar);
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
            [this](const QModelIndex& current) {
                map_->setCurrentRow(current.isValid() ? std::optional<std::size_t>(current.row()) : std::nullopt);
            });
    connect(map_, &MapWidget::rowActivated, this, [this](std::size_t row) { showRow(row); });
    rebuild();
}

void TMainForm::updateStatus() {
    const PlacementSummary summary = summarisePlacements(document_.table(), document_.state().tolerance);
    const QString text = QString::fromStdString(summaryStatusText(summary));
    statusSummary_->setText(text);
    statusSummary_->setToolTip(text);
    statusOffsets_->setText(QString::fromStdString(offsetsStatusText(document_.params())));
}

void TMainForm::setCommandsAvailable(bool available) {
    for (QWidget* b : tableButtons_) b->setEnabled(available);
    for (QAction* a : tableActions_) a->setEnabled(available);
    writeMenu_->setAvailable(available);
    model_->setReadOnly(!available);
    hand_->setAvailable(available);
}

void TMainForm::clearTable() { ClearCommand(dialogs_, document_).run(); }

void TMainForm::showRow(std::size_t row) {
    if (row >= static_cast<std::size_t>(model_->rowCount())) return;
    const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 1;
    grid_->setCurrentIndex(model_->index(static_cast<int>(row), column));
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
    showPhotoAction_->setEnabled(items.showPhoto);
    writePhotoAction_->setEnabled(items.writeExif && !busy());
    timeFromPhotoAction_->setEnabled(items.timeFromPhoto && !busy());
    hand_->updateRelease();
}

}  // namespace geovanta
