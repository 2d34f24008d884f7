#include "ui/handplacing.h"

#include <QAction>
#include <QMenu>

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "table/datatable.h"
#include "ui/jobqueue.h"
#include "ui/map/mapwidget.h"
#include "ui/photopreview.h"

namespace geovanta {
HandPlacing::HandPlacing(Document& document, JobQueue& jobs, Dialogs& dialogs, MapWidget* map, QWidget* window)
    : QObject(window), document_(document), jobs_(jobs), dialogs_(dialogs), map_(map), commands_(document, jobs) {
    undo_ = new QAction(tr("&Отменить"), this);
    undo_->setObjectName("Undo");
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = new QAction(tr("&Повторить"), this);
    redo_->setObjectName("Redo");
    redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    release_ = new QAction(tr("&Вернуть автоматическую привязку"), this);
    release_->setObjectName("ReleaseHand");
    connect(undo_, &QAction::triggered, this, &HandPlacing::undo);
    connect(redo_, &QAction::triggered, this, &HandPlacing::redo);
    connect(release_, &QAction::triggered, this, &HandPlacing::releaseCurrent);

    markMenu_ = new QMenu(window);
    markMenu_->setObjectName("MarkMenu");
    markMenu_->addAction(release_);
    preview_ = new PhotoPreview(window);

    connect(map_, &MapWidget::photosDropped, this, &HandPlacing::drop);
    connect(map_, &MapWidget::photoHovered, this, &HandPlacing::hover);
    connect(map_, &MapWidget::photoHoverEnded, preview_, &QWidget::hide);
    connect(map_, &MapWidget::photoMenuRequested, this, &HandPlacing::markMenu);
    connect(&thumbnails_, &ThumbnailCache::ready, this, [this](const QByteArray& path) {
        if (const auto image = thumbnails_.get(path)) preview_->imageReady(path, *image);
    });
    updateActions();
}

void HandPlacing::fillEditMenu(QMenu* menu) {
    menu->addAction(undo_);
    menu->addAction(redo_);
    connect(menu, &QMenu::aboutToShow, this, &HandPlacing::updateActions);
}

void HandPlacing::addToPopup(QMenu* popup) {
    popup->addSeparator();
    popup->addAction(release_);
}

void HandPlacing::updateRelease() {
    const DataTable& table = document_.table();
    const std::size_t row = table.recNo();
    release_->setEnabled(available_ && row < table.rowCount() && table.isPhoto(row) && table.placedByHand(row));
}

void HandPlacing::setAvailable(bool available) {
    available_ = available;
    map_->setPlacing(available);
    updateActions();
    updateRelease();
}

void HandPlacing::updateActions() {
    undo_->setEnabled(available_ && commands_.canUndo());
    redo_->setEnabled(available_ && commands_.canRedo());
}

void HandPlacing::drop(const std::vector<std::size_t>& rows, double lat, double lon) {
    preview_->hide();
    done(commands_.place(rows, lat, lon));
}

void HandPlacing::undo() { done(commands_.undo()); }

void HandPlacing::redo() { done(commands_.redo()); }

void HandPlacing::releaseCurrent() { done(commands_.release(document_.table().recNo())); }

void HandPlacing::done(const HandPlacementCommands::Outcome& outcome) {
    if (outcome.refusal) dialogs_.showMessage(MessageKind::Failure, failureText(*outcome.refusal));
    // A pass that was started shows the photograph itself when it ends.
    if (outcome.row && !jobs_.busy()) emit showRow(*outcome.row);
    updateActions();
    emit changed();
}

void HandPlacing::hover(std::size_t row, const QPoint& globalPos) {
    const DataTable& table = document_.table();
    if (row >= table.rowCount() || !table.isPhoto(row)) return;
    const QByteArray path = QByteArray::fromStdString(std::string(table.text(row, FieldId::FileName)));
    const std::optional<QImage> image = path.isEmpty() ? std::optional(QImage()) : thumbnails_.get(path);
    preview_->showFor(path, QString::fromStdString(table.displayText(row, FieldId::Name)),
                      QString::fromStdString(table.displayText(row, FieldId::VTime)), image, globalPos);
}

void HandPlacing::markMenu(std::size_t row, const QPoint& globalPos) {
    preview_->hide();
    emit showRow(row);
    updateRelease();
    markMenu_->popup(globalPos);
}

}  // namespace geovanta
