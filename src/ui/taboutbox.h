#pragma once
#include <QDialog>

class QLabel;

namespace geovanta {

// "О программе": product name, version and description under the program's
// picture. A new box is made for every showing.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    void setTexts(const QString& product, const QString& version, const QString& comments);

    // Creates a box, fills it and shows it modally; it is gone when this returns.
    static void ShowAboutBox(QWidget* parent, const QString& product, const QString& version, const QString& comments);

private:
    QLabel* ProductName;
    QLabel* ProductVersion;
    QLabel* Comments;
};

}  // namespace geovanta
