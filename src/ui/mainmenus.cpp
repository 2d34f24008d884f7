#include "ui/mainmenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "ui/commandkeys.h"
#include "ui/handplacing.h"
#include "ui/languagemenu.h"
#include "ui/tmainform.h"

namespace geovanta {

MainMenus::MainMenus(TMainForm* window, HandPlacing* hand, Dialogs& dialogs, Document& document) : window_(window) {
    QMenuBar* bar = window->menuBar();
    bar->setObjectName("MainMenu");
    addLoadMenu(bar);
    addEditMenu(bar, hand);
    addViewMenu(bar);
    addOziMenu(bar);
    addLanguageMenu(bar, dialogs, document);
    QAction* about = bar->addAction(tr("&О программе"), window, &TMainForm::showAbout);
    about->setObjectName("HelpMenu");
    makePopup();
}

void MainMenus::addLoadMenu(QMenuBar* bar) {
    QMenu* load = bar->addMenu(tr("&Загрузить"));
    load->setObjectName("LoadMenu");
    QAction* a = load->addAction(tr("GPS &трек"), window_, &TMainForm::loadTrack);
    a->setObjectName("LTrack");
    a->setShortcut(kLoadTrackKey);
    tableActions_.push_back(a);
    a = load->addAction(tr("&Фотографии"), window_, &TMainForm::loadPhotos);
    a->setObjectName("LFoto");
    a->setShortcut(kLoadPhotosKey);
    tableActions_.push_back(a);
    load->addSeparator();
    a = load->addAction(tr("&Очистить таблицу"), window_, &TMainForm::clearTable);
    a->setObjectName("ClearTable");
    a->setShortcut(kClearKey);
    tableActions_.push_back(a);
    load->addSeparator();
    a = load->addAction(tr("&Выход"), window_, &QWidget::close);
    a->setObjectName("Quit");
    a->setShortcut(QKeySequence::Quit);
}

void MainMenus::addEditMenu(QMenuBar* bar, HandPlacing* hand) {
    QMenu* edit = bar->addMenu(tr("&Правка"));
    edit->setObjectName("EditMenu");
    hand->fillEditMenu(edit);
    edit->addSeparator();
    QAction* a = edit->addAction(tr("&Смещения времени…"), window_, &TMainForm::editOffsets);
    a->setObjectName("TimeOffsets");
    a->setShortcut(kOffsetsKey);
    tableActions_.push_back(a);
}

void MainMenus::addViewMenu(QMenuBar* bar) {
    QMenu* view = bar->addMenu(tr("&Вид"));
    view->setObjectName("ViewMenu");
    photosOnly_ = view->addAction(tr("Только &фото"));
    photosOnly_->setObjectName("PhotosOnly");
    photosOnly_->setCheckable(true);
    QObject::connect(photosOnly_, &QAction::toggled, window_, &TMainForm::setPhotosOnly);
    view->addSeparator();
    QAction* a = view->addAction(tr("&Следующее непривязанное фото"), window_, &TMainForm::nextUnplacedPhoto);
    a->setObjectName("NextUnplaced");
    a->setShortcut(QKeySequence(Qt::Key_F3));
    a = view->addAction(tr("&Предыдущее непривязанное фото"), window_, &TMainForm::previousUnplacedPhoto);
    a->setObjectName("PreviousUnplaced");
    a->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
}

void MainMenus::addOziMenu(QMenuBar* bar) {
    QMenu* ozi = bar->addMenu(tr("П&ередать в OziExplorer"));
    ozi->setObjectName("OziMenu");
    QAction* a = ozi->addAction(tr("&Путь"), window_, &TMainForm::sendTrackToOzi);
    a->setObjectName("OTrack");
    a->setShortcut(kSendTrackKey);
    a = ozi->addAction(tr("&Фотографии"), window_, &TMainForm::sendPhotosToOzi);
    a->setObjectName("OFoto");
    a->setShortcut(kSendPhotosKey);
}

void MainMenus::makePopup() {
    popup_ = new QMenu(window_);
    popup_->setObjectName("PopupMenu1");
    showPhoto_ = popup_->addAction(tr("&Показать фото"), window_, &TMainForm::openCurrentPhoto);
    showPhoto_->setObjectName("N1");
    writePhoto_ = popup_->addAction(tr("&Записать координаты в EXIF выбранного фото"), window_,
                                    &TMainForm::writeCurrentPhotoTags);
    writePhoto_->setObjectName("EXIF1");
    popup_->addSeparator();
    timeFromPhoto_ = popup_->addAction(tr("&Установить время по этой фотографии…"), window_,
                                       &TMainForm::setTimeFromPhoto);
    timeFromPhoto_->setObjectName("TimeFromPhoto");
}

}  // namespace geovanta
