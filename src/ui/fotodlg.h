#pragma once
// The photo folder dialog: a folder field with a chooser button, a checkbox
// for the folders inside it, OK and Cancel.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QFrame;
class QLineEdit;
class QPushButton;
class QAction;
class QCheckBox;

namespace geovanta {

class TFotoDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFotoDlg(QWidget* parent = nullptr);

    // Shows the dialog modally with `folder` in the field and the checkbox
    // set as given; the field's text when closed with OK, nothing otherwise.
    std::optional<QString> ask(const QString& folder, bool withSubfolders = false);
    // The checkbox as the dialog was closed.
    bool subfoldersChecked() const;

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
    QCheckBox* SubfoldersCheck = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    QFrame* Bevel1 = nullptr;
};

}  // namespace geovanta
