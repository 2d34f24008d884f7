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
#include "app/commands/photoloadcommand.h"
#include "app/commands/referencephotocommand.h"
#include "app/commands/tagcommands.h"
#include "app/placementtexts.h"
#include "binding/placement.h"
#include "map/tilesource.h"
#include "ui/commandkeys.h"
#include "ui/datagrid.h"
#include "ui/datatablemodel.h"
#include "ui/formconsole.h"
#include "ui/map/mapwidget.h"
#include "ui/taboutbox.h"
#include "ui/toolicons.h"

namespace geovanta {
namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TMainForm::TMainForm(ProgramState& state, SettingsFile settings, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      settings_(std::move(settings)),
      dialogs_(dialogs),
      gridCommands_(DataTable_, dialogs) {
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
    layout->addWidget(ToolBar1);
    layout->addWidget(panels_, 1);

    placeWindow();
}

void TMainForm::placeWindow() {
    const QByteArray saved = QByteArray::fromBase64(QByteArray::fromStdString(state_.windowGeometry));
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
    // Remembered quietly: a settings file that cannot be written is no
    // reason to keep the program from closing.
    state_.windowGeometry = saveGeometry().toBase64().toStdString();
    state_.mapPanel = panels_->saveState().toBase64().toStdString();
    settings_.writeString(SettingsFile::kWindowGeometryKey, state_.windowGeometry);
    settings_.writeString(SettingsFile::kMapPanelKey, state_.mapPanel);
    QMainWindow::closeEvent(event);
}

TMainForm::~TMainForm() {
    stopTagWrite();
    FormDestroy();
}

void TMainForm::FormDestroy() {
    // The model listens to the table, which goes before the window's children.
    DataGrid_->setModel(nullptr);
    delete model_;
    model_ = nullptr;
    oziTransfer_.shutdown();
}

QToolButton* TMainForm::toolButton(const char* name, const char* hint, ToolIcon icon, void (TMainForm::*handler)(),
                                   const QKeySequence& key) {
    auto* b = new QToolButton(ToolBar1);
    if (!key.isEmpty()) b->setShortcut(key);
    b->setObjectName(name);
    b->setToolTip(u(hint));
    b->setIcon(toolIcon(icon));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(39, 38);
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, handler);
    ToolBar1->addWidget(b);
    return b;
}

void TMainForm::buildToolBar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    toolButton("ToolButton1", "Загрузить GPS трек", ToolIcon::LoadTrack, &TMainForm::LTrackClick);
    toolButton("ToolButton2", "Загрузить фотографии", ToolIcon::LoadPhotos, &TMainForm::LFotoClick);
    ToolBar1->addSeparator()->setObjectName("ToolButton3");
    toolButton("ToolButton4", "Передать в OziExplorer путь", ToolIcon::SendTrack,
               &TMainForm::OTrackClick);
    toolButton("ToolButton5", "Передать в OziExplorer фотографии", ToolIcon::SendPhotos,
               &TMainForm::OFotoClick);
    ToolBar1->addSeparator()->setObjectName("ToolButton7");
    toolButton("ToolButton6", "Настроить смещение даты и времени", ToolIcon::TimeOffsets,
               &TMainForm::ToolButton6Click, kOffsetsKey);
    toolButton("ToolButton8", "Записать GPS координаты в файлы изображений", ToolIcon::WriteTags,
               &TMainForm::ToolButton8Click, kWriteTagsKey);
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    QMenu* load = bar->addMenu(u("Загрузить"));
    load->setObjectName("LoadMenu");
    QAction* a = load->addAction(u("GPS трек"), this, &TMainForm::LTrackClick);
    a->setObjectName("LTrack");
    a->setShortcut(kLoadTrackKey);
    a = load->addAction(u("Фотографии"), this, &TMainForm::LFotoClick);
    a->setObjectName("LFoto");
    a->setShortcut(kLoadPhotosKey);
    load->addSeparator();
    ClearTable = load->addAction(u("Очистить таблицу"), this, &TMainForm::ClearTableClick);
    ClearTable->setObjectName("ClearTable");
    ClearTable->setShortcut(kClearKey);
    QMenu* ozi = bar->addMenu(u("Передать в OziExplorer"));
    ozi->setObjectName("OziMenu");
    a = ozi->addAction(u("Путь"), this, &TMainForm::OTrackClick);
    a->setObjectName("OTrack");
    a->setShortcut(kSendTrackKey);
    a = ozi->addAction(u("Фотографии"), this, &TMainForm::OFotoClick);
    a->setObjectName("OFoto");
    a->setShortcut(kSendPhotosKey);
    a = bar->addAction(u("О программе"), this, &TMainForm::HelpMenuClick);
    a->setObjectName("HelpMenu");

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = PopupMenu1->addAction(u("Показать фото"), this, &TMainForm::DataGridDblClick);
    N1->setObjectName("N1");
    EXIF1 = PopupMenu1->addAction(u("Записать координаты в EXIF выбранного фото"), this, &TMainForm::EXIF1Click);
    EXIF1->setObjectName("EXIF1");
    PopupMenu1->addSeparator();
    TimeFromPhoto = PopupMenu1->addAction(u(ReferencePhotoCommand::kCaption), this, &TMainForm::TimeFromPhotoClick);
    TimeFromPhoto->setObjectName("TimeFromPhoto");
}

void TMainForm::buildGrid() {
    model_ = new DataTableModel(DataTable_, this);
    model_->setObjectName("DataSource");
    model_->setEditHandler([this](std::size_t row, FieldId field, const std::string& text) {
        return gridCommands_.setField(row, field, text);
    });
    model_->setToolTipSource([this](std::size_t row) { return photoRowToolTip(DataTable_, row, state_.tolerance); });
    DataGrid_ = new DataGrid(this);
    DataGrid_->setModel(model_);
    DataGrid_->fitColumns();
    DataGrid_->setEmptyHint(emptyGridHint());
    DataGrid_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(DataGrid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) gridCommands_.rowEntered(static_cast<std::size_t>(current.row()));
            });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (!DataTable_.isEmpty()) showRow(DataTable_.recNo());
    });
    connect(DataGrid_, &DataGrid::insertRequested, this, [this] {
        if (tableCommandsEnabled_) showRow(gridCommands_.insertRow());
    });
    connect(DataGrid_, &DataGrid::appendRequested, this, [this] {
        if (tableCommandsEnabled_) showRow(gridCommands_.appendRow());
    });
    connect(DataGrid_, &DataGrid::cancelRequested, this, [this] {
        if (!tableCommandsEnabled_) return;
        gridCommands_.cancelRow();
        if (!DataTable_.isEmpty()) showRow(DataTable_.recNo());
    });
    connect(DataGrid_, &DataGrid::deleteRequested, this, [this] {
        if (tableCommandsEnabled_ && gridCommands_.deleteCurrentRow() && !DataTable_.isEmpty()) showRow(DataTable_.recNo());
    });
    connect(DataGrid_, &QAbstractItemView::doubleClicked, this, &TMainForm::DataGridDblClick);
    connect(DataGrid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1Popup();
        PopupMenu1->popup(DataGrid_->viewport()->mapToGlobal(pos));
    });
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    StatusSummary = new QLabel(bar);
    StatusSummary->setObjectName("StatusSummary");
    // A long summary is cut at the window's edge rather than widening it; its
    // tooltip holds it whole.
    StatusSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusOffsets = new QLabel(bar);
    StatusOffsets->setObjectName("StatusOffsets");
    bar->addWidget(StatusSummary, 1);
    bar->addPermanentWidget(StatusOffsets);
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
    panels_->addWidget(DataGrid_);
    panels_->addWidget(map_);
    panels_->setChildrenCollapsible(true);
    panels_->setStretchFactor(0, 3);
    panels_->setStretchFactor(1, 2);
    const QByteArray saved = QByteArray::fromBase64(QByteArray::fromStdString(state_.mapPanel));
    if (saved.isEmpty() || !panels_->restoreState(saved)) panels_->setSizes({600, 450});
    map_->setTileTemplate(QString::fromStdString(TileSource::fromSetting(state_.mapTiles).urlTemplate()));

    // The map keeps its own copy of what it draws: a new one after every
    // pass (each ends with a model reset) and whenever rows come or go.
    const auto rebuild = [this] { map_->rebuild(DataTable_); };
    connect(model_, &QAbstractItemModel::modelReset, map_, rebuild);
    connect(model_, &QAbstractItemModel::rowsInserted, map_, rebuild);
    connect(model_, &QAbstractItemModel::rowsRemoved, map_, rebuild);
    connect(model_, &QAbstractItemModel::dataChanged, map_, rebuild);
    connect(DataGrid_->selectionModel(), &QItemSelectionModel::currentRowChanged, map_,
            [this](const QModelIndex& current) {
                map_->setCurrentRow(current.isValid() ? std::optional<std::size_t>(current.row()) : std::nullopt);
            });
    connect(map_, &MapWidget::rowActivated, this, [this](std::size_t row) { showRow(row); });
    rebuild();
}

void TMainForm::updateStatus() {
    const PlacementSummary summary = summarisePlacements(DataTable_, state_.tolerance);
    const QString text = QString::fromStdString(summaryStatusText(summary));
    StatusSummary->setText(text);
    StatusSummary->setToolTip(text);
    StatusOffsets->setText(QString::fromStdString(offsetsStatusText(bindingParams(state_))));
}

void TMainForm::ClearTableClick() { ClearCommand(dialogs_, DataTable_, state_).run(); }

void TMainForm::showRow(std::size_t row) {
    if (row >= static_cast<std::size_t>(model_->rowCount())) return;
    const int column = DataGrid_->currentIndex().isValid() ? DataGrid_->currentIndex().column() : 1;
    DataGrid_->setCurrentIndex(model_->index(static_cast<int>(row), column));
}

void TMainForm::ToolButton6Click() { OffsetsCommand(DataTable_, state_, settings_, dialogs_).run(); }

void TMainForm::LFotoClick() { PhotoLoadCommand(dialogs_, DataTable_, state_, settings_).run(); }

void TMainForm::loadArguments(const std::vector<std::string>& paths) {
    PhotoLoadCommand photos(dialogs_, DataTable_, state_, settings_);
    ArgumentsCommand(dialogs_, trackLoad_, photos).load(paths);
}

TFormConsole* TMainForm::console() {
    if (!FormConsole) {
        ownConsole_ = std::make_unique<TFormConsole>();
        FormConsole = ownConsole_.get();
    }
    return FormConsole;
}

std::shared_ptr<TagCommands> TMainForm::tagCommands() {
    TagBatch::Settings settings;
    settings.answerWithin = std::chrono::seconds(state_.exifToolTimeout);
    auto commands = std::make_shared<TagCommands>(DataTable_, *console(), tagWriter_, settings);
    commands->setWording([seconds = state_.exifToolTimeout](const std::string& text) {
        return TFormConsole::windowWording(text, seconds);
    });
    return commands;
}

void TMainForm::ToolButton8Click() {
    if (tagWriteRunning()) return;
    std::shared_ptr<TagCommands> commands = tagCommands();
    if (!commands->beginAll()) return;
    startTagWrite(commands, [this, commands] {
        commands->finishAllPhotos(dialogs_);
        if (!DataTable_.isEmpty()) showRow(DataTable_.recNo());
    });
}

void TMainForm::EXIF1Click() {
    if (tagWriteRunning()) return;
    std::shared_ptr<TagCommands> commands = tagCommands();
    if (!commands->beginCurrent()) return;
    startTagWrite(commands, [this, commands] { commands->finishCurrent(dialogs_); });
}

void TMainForm::startTagWrite(std::shared_ptr<TagCommands> commands, std::function<void()> finish) {
    setTableCommandsEnabled(false);
    tagWrite_.start(std::move(commands), [this, finish = std::move(finish)] {
        setTableCommandsEnabled(true);
        // Closing: what the write came to is of no interest any more.
        if (closeAfterTagWrite_)
            close();
        else
            finish();
    });
}

void TMainForm::stopTagWrite() {
    tagWrite_.stop();
    setTableCommandsEnabled(true);
}

void TMainForm::setTableCommandsEnabled(bool enabled) {
    if (enabled == tableCommandsEnabled_) return;
    tableCommandsEnabled_ = enabled;
    ToolBar1->setEnabled(enabled);
    for (const char* name : {"LTrack", "LFoto", "ClearTable"})
        if (auto* action = findChild<QAction*>(name)) action->setEnabled(enabled);
    if (!enabled) gridEditTriggers_ = static_cast<int>(DataGrid_->editTriggers());
    DataGrid_->setEditTriggers(enabled ? QAbstractItemView::EditTriggers(gridEditTriggers_)
                                       : QAbstractItemView::NoEditTriggers);
}

void TMainForm::TimeFromPhotoClick() {
    ReferencePhotoCommand(DataTable_, state_, settings_, dialogs_).run();
    if (!DataTable_.isEmpty()) showRow(DataTable_.recNo());
}

void TMainForm::HelpMenuClick() {
    TAboutBox::ShowAboutBox(this, "Geovanta", "Version 5+",
                            u("Программа для привязки фотографий\nпо трекам GPS приемника"));
}

void TMainForm::DataGridDblClick() { gridCommands_.openCurrentPhoto(); }

void TMainForm::PopupMenu1Popup() {
    const PopupItems items = gridCommands_.popupItems();
    N1->setEnabled(items.showPhoto);
    EXIF1->setEnabled(items.writeExif && tableCommandsEnabled_);
    TimeFromPhoto->setEnabled(items.timeFromPhoto && tableCommandsEnabled_);
}

}  // namespace geovanta
