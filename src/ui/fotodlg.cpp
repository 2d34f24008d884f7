#include "ui/fotodlg.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace geovanta {

TFotoDlg::TFotoDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Путь к фотографиям"));
    setFixedSize(313, 126);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 297, 49);

    DirectoryEdit = new QLineEdit(this);
    DirectoryEdit->setObjectName(QStringLiteral("DirectoryEdit"));
    DirectoryEdit->setGeometry(24, 24, 265, 21);
    DirectoryButton = DirectoryEdit->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    DirectoryButton->setToolTip(tr("Выбрать папку"));
    connect(DirectoryButton, &QAction::triggered, this, &TFotoDlg::DirectoryEditButtonClick);

    SubfoldersCheck = new QCheckBox(tr("Включая вложенные папки"), this);
    SubfoldersCheck->setObjectName(QStringLiteral("SubfoldersCheck"));
    SubfoldersCheck->setGeometry(24, 64, 265, 21);

    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(151, 92, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(231, 92, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    chooseFolder = [title = windowTitle()](QWidget* owner, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, title, start);
    };
}

std::optional<QString> TFotoDlg::ask(const QString& folder, bool withSubfolders) {
    FormShow(folder);
    SubfoldersCheck->setChecked(withSubfolders);
    DirectoryEdit->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return DirectoryEdit->text();
}

void TFotoDlg::FormShow(const QString& folder) { DirectoryEdit->setText(folder); }

bool TFotoDlg::subfoldersChecked() const { return SubfoldersCheck->isChecked(); }

QString TFotoDlg::chooserStartFolder() const {
    const QString typed = DirectoryEdit->text();
    if (!typed.isEmpty() && QDir(typed).exists()) return typed;
    return QDir::rootPath();
}

void TFotoDlg::DirectoryEditButtonClick() {
    const QString chosen = chooseFolder(this, chooserStartFolder());
    if (!chosen.isEmpty()) DirectoryEdit->setText(QDir::toNativeSeparators(chosen));
}

}  // namespace geovanta
