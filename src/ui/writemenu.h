#pragma once
// "Запись": the write of every placed photograph (Ctrl+S) and of the current
// one, and the choices the photographer makes before either: where the
// positions go, whether a photograph's own position is kept, and whether
// photographs no longer placed lose theirs. Each choice is ticked as the
// settings have it and saved the moment it changes; a write keeps the
// choices it began with, so they are not offered while one runs.

#include <QObject>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace geovanta {

class Dialogs;
class Document;

class WriteMenu : public QObject {
    Q_OBJECT
public:
    // Adds the menu to `bar`. `currentWritable` says whether the current row
    // is a photograph that can be written alone, asked each time the menu opens.
    WriteMenu(QMenuBar* bar, Document& document, Dialogs& dialogs, std::function<bool()> currentWritable,
              QObject* parent);

    QMenu* menu() const { return menu_; }
    QAction* writeAllAction() const { return writeAll_; }
    QAction* writeCurrentAction() const { return writeCurrent_; }
    // Off while a job runs or tags are written.
    void setAvailable(bool available);

signals:
    void writeAllRequested();
    void writeCurrentRequested();

private:
    void addChoices(Document& document, Dialogs& dialogs);

    QMenu* menu_ = nullptr;
    QAction* writeAll_ = nullptr;
    QAction* writeCurrent_ = nullptr;
    std::function<bool()> currentWritable_;
    std::vector<QAction*> choices_;
    bool available_ = true;
};

}  // namespace geovanta
