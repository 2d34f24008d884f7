#include "ui/qtdialogs.h"

#include "ui/shottimedialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/tsetdeltadlg.h"

namespace geovanta {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString translated(const char* text) { return QCoreApplication::translate("geovanta::QtDialogs", text); }

}  // namespace

QStringList qtNameFilters(const std::string& filters) {
    const QStringList parts = qs(filters).split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty()) continue;
            if (!patterns.contains(pattern)) patterns << pattern;
            if (!patterns.contains(pattern.toLower())) patterns << pattern.toLower();
        }
        result << parts[i].trimmed() + " (" + patterns.join(' ') + ")";
    }
    return result;
}

void QtDialogs::showMessage(MessageKind kind, const std::string& text) {
    QMessageBox::Icon icon = QMessageBox::Critical;
    QString caption = QStringLiteral("Geovanta");
    switch (kind) {
        case MessageKind::Error: caption = translated(QT_TRANSLATE_NOOP("geovanta::QtDialogs", "Error")); break;
        case MessageKind::Information:
            caption = translated(QT_TRANSLATE_NOOP("geovanta::QtDialogs", "Information"));
            icon = QMessageBox::Information;
            break;
        case MessageKind::Plain: icon = QMessageBox::NoIcon; break;
        case MessageKind::Failure: break;
    }
    QMessageBox box(icon, caption, qs(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::askOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, "Geovanta", qs(text), QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

std::optional<Dialogs::FileChoice> QtDialogs::openFile(const std::string& startFolder, const std::string& filters,
                                                       int filterIndex, const std::string& fileName) {
    QFileDialog dialog(parent_, QString(), qs(startFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList names = qtNameFilters(filters);
    dialog.setNameFilters(names);
    if (filterIndex >= 1 && filterIndex <= names.size()) dialog.selectNameFilter(names[filterIndex - 1]);
    if (!fileName.empty()) dialog.selectFile(qs(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    FileChoice choice;
    choice.path = dialog.selectedFiles().first().toStdString();
    const auto selected = names.indexOf(dialog.selectedNameFilter());
    choice.filterIndex = selected >= 0 ? static_cast<int>(selected) + 1 : 1;
    return choice;
}

std::optional<PhotoFolderChoice> QtDialogs::askPhotoFolder(const PhotoFolderChoice& shown) {
    if (!photoFolderAsk_) return std::nullopt;
    return photoFolderAsk_(shown);
}

std::optional<OffsetFields> QtDialogs::askOffsets(const OffsetFields& fields) {
    if (!offsetsDialog_) return std::nullopt;
    return offsetsDialog_->ask(fields);
}

std::optional<int64_t> QtDialogs::askShotTime(const std::string& photoName, int64_t shownMs) {
    ShotTimeDialog dialog(parent_);
    return dialog.ask(qs(photoName), shownMs);
}

bool QtDialogs::openWithViewer(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

}  // namespace geovanta
