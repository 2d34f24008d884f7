#pragma once
// The photo folder dialog: a folder field with a chooser button, OK and Cancel.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QFrame;
class QLineEdit;
class QPushButton;
class QAction;

namespace geovanta {

class TFotoDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFotoDlg(QWidget* parent = nullptr);

    // Shows the dialog modally with `folder` in the field; the field's text
    // when closed with OK, nothing otherwise.
    std::optional<QString> ask(const QString& folder);

    // Sets the field from the photo folder; done each time the dialog shows.
    void FormShow(const QString& folder);

    // Where the folder chooser opens: the field's folder when it exists,
    // else the root folder.
    QString chooserStartFolder() const;

    // Opens the folder chooser; a confirmed folder replaces the field's text.
    void DirectoryEditButtonClick();

    // The chooser itself: start folder in, chosen folder out (empty when
    // cancelled). Replaceable so that the dialog can be driven without one.
    std::function<QString(QWidget* parent, const QString& start)> chooseFolder;

    QLineEdit* DirectoryEdit = nullptr;
    QAction* DirectoryButton = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    QFrame* Bevel1 = nullptr;
};

}  // namespace geovanta
