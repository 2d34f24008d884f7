#pragma once
// The main window's menu bar and the grid's popup menu. Every item has a
// mnemonic of its own within its menu, so each is reached with Alt and a
// letter; the items call the window's slots, and the window turns off the
// ones that change the table while a job runs.

#include <QCoreApplication>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace geovanta {

class Dialogs;
class Document;
class HandPlacing;
class TMainForm;

class MainMenus {
    Q_DECLARE_TR_FUNCTIONS(geovanta::MainMenus)
public:
    // Fills the window's menu bar; undo and redo are `hand`'s.
    MainMenus(TMainForm* window, HandPlacing* hand, Dialogs& dialogs, Document& document);

    QMenu* popup() const { return popup_; }
    QAction* showPhoto() const { return showPhoto_; }
    QAction* writePhoto() const { return writePhoto_; }
    QAction* timeFromPhoto() const { return timeFromPhoto_; }
    QAction* photosOnly() const { return photosOnly_; }
    // The items that change the table.
    const std::vector<QAction*>& tableActions() const { return tableActions_; }

private:
    void addLoadMenu(QMenuBar* bar);
    void addEditMenu(QMenuBar* bar, HandPlacing* hand);
    void addViewMenu(QMenuBar* bar);
    void addOziMenu(QMenuBar* bar);
    void makePopup();

    TMainForm* window_;
    QMenu* popup_ = nullptr;
    QAction* showPhoto_ = nullptr;
    QAction* writePhoto_ = nullptr;
    QAction* timeFromPhoto_ = nullptr;
    QAction* photosOnly_ = nullptr;
    std::vector<QAction*> tableActions_;
};

}  // namespace geovanta
