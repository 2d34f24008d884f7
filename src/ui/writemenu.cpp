#include "ui/writemenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "app/commands/tagcommands.h"
#include "app/document.h"
#include "ui/commandkeys.h"

namespace geovanta {

WriteMenu::WriteMenu(QMenuBar* bar, Document& document, Dialogs& dialogs, std::function<bool()> currentWritable,
                     QObject* parent)
    : QObject(parent), currentWritable_(std::move(currentWritable)) {
    menu_ = bar->addMenu(tr("Зап&ись"));
    menu_->setObjectName("WriteMenu");
    writeAll_ = menu_->addAction(tr("&Записать координаты"), this, &WriteMenu::writeAllRequested);
    writeAll_->setObjectName("WriteTags");
    writeAll_->setShortcut(kWriteTagsKey);
    writeCurrent_ =
        menu_->addAction(tr("Записать координаты &выбранного фото"), this, &WriteMenu::writeCurrentRequested);
    writeCurrent_->setObjectName("WriteCurrentTags");
    connect(menu_, &QMenu::aboutToShow, this,
            [this] { writeCurrent_->setEnabled(available_ && currentWritable_ && currentWritable_()); });
    addChoices(document, dialogs);
}

void WriteMenu::addChoices(Document& document, Dialogs& dialogs) {
    menu_->addSeparator();
    auto* where = new QActionGroup(menu_);
    const struct {
        const char* name;
        QString text;
        QString hint;
        WriteTarget target;
    } targets[] = {
        {"WriteIntoPhotos", tr("В &фото"), tr("Координаты записываются в сами фотографии"), WriteTarget::Photos},
        {"WriteIntoSidecars", tr("В файлы &XMP рядом с фото"),
         tr("Координаты записываются в IMG_0001.xmp рядом с IMG_0001.CR3 или IMG_0001.JPG, а сами фото не меняются"),
         WriteTarget::Sidecars},
        {"WriteRawIntoSidecars", tr("&Raw — в XMP, остальные — в фото"),
         tr("Raw-файлы (CR3, NEF, DNG, RAF…) не меняются, их координаты идут в файлы XMP рядом с ними; "
            "JPEG, HEIC и TIFF записываются сами"),
         WriteTarget::RawSidecars},
    };
    for (const auto& t : targets) {
        QAction* a = menu_->addAction(t.text);
        a->setObjectName(t.name);
        a->setToolTip(t.hint);
        a->setStatusTip(t.hint);
        a->setCheckable(true);
        a->setChecked(document.state().writeTarget == t.target);
        where->addAction(a);
        choices_.push_back(a);
        connect(a, &QAction::triggered, this,
                [&document, &dialogs, target = t.target] { chooseWriteTarget(document, dialogs, target); });
    }
    menu_->addSeparator();
    QAction* keep = menu_->addAction(tr("&Не заменять координаты, которые уже есть в фото"));
    keep->setObjectName("KeepExisting");
    keep->setStatusTip(tr("Фото, в котором при загрузке уже были координаты (например, снятое телефоном), "
                          "остаётся как есть и называется в итоге"));
    keep->setCheckable(true);
    keep->setChecked(document.state().keepExisting);
    connect(keep, &QAction::toggled, this, [&document, &dialogs](bool on) { chooseKeepExisting(document, dialogs, on); });
    QAction* clear = menu_->addAction(tr("&Удалять координаты у фото, которые больше не привязаны"));
    clear->setObjectName("ClearUnplaced");
    clear->setStatusTip(tr("У непривязанных фото (и в их файлах XMP, если они есть) удаляются только GPS-теги: "
                           "координаты, записанные до смены смещения, не остаются"));
    clear->setCheckable(true);
    clear->setChecked(document.state().clearUnplaced);
    connect(clear, &QAction::toggled, this,
            [&document, &dialogs](bool on) { chooseClearUnplaced(document, dialogs, on); });
    choices_.push_back(keep);
    choices_.push_back(clear);
}

void WriteMenu::setAvailable(bool available) {
    available_ = available;
    writeAll_->setEnabled(available);
    writeCurrent_->setEnabled(available);
    for (QAction* a : choices_) a->setEnabled(available);
}

}  // namespace geovanta
