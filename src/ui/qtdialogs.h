#pragma once
// The real Dialogs: Qt message boxes, the Qt open-file dialog, the desktop's
// associated viewer and the program's own dialogs.

#include <QPointer>
#include <QStringList>
#include <functional>

#include "app/commands/dialogs.h"
#include "ui/tsetdeltadlg.h"

class QWidget;

namespace geovanta {

// "Desc|*.PLT|Desc|*.WPT" as Qt name filters, "Desc (*.PLT *.plt)": patterns
// joined by ";" become blank-separated, and each pattern gains its lower-case
// twin because file names on this system are case-sensitive.
QStringList qtNameFilters(const std::string& filters);

class QtDialogs : public Dialogs {
public:
    using PhotoFolderAsk = std::function<std::optional<PhotoFolderChoice>(const PhotoFolderChoice& shown)>;

    // Boxes and dialogs are shown over this window.
    void setParentWindow(QWidget* window) { parent_ = window; }
    void setOffsetsDialog(TSetDeltaDlg* dialog) { offsetsDialog_ = dialog; }
    void setPhotoFolderDialog(PhotoFolderAsk ask) { photoFolderAsk_ = std::move(ask); }

    void showMessage(MessageKind kind, const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    std::optional<FileChoice> openFile(const std::string& startFolder, const std::string& filters, int filterIndex,
                                       const std::string& fileName) override;
    std::optional<PhotoFolderChoice> askPhotoFolder(const PhotoFolderChoice& shown) override;
    std::optional<OffsetFields> askOffsets(const OffsetFields& fields) override;
    std::optional<int64_t> askShotTime(const std::string& photoName, int64_t shownMs) override;
    bool openWithViewer(const std::string& path) override;

private:
    QPointer<QWidget> parent_;
    QPointer<TSetDeltaDlg> offsetsDialog_;
    PhotoFolderAsk photoFolderAsk_;
};

}  // namespace geovanta
