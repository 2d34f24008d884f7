#include "ui/taboutbox.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/toolicons.h"

namespace geovanta {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(tr("О программе"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* picture = new QLabel(panel);
    picture->setObjectName("ProgramIcon");
    picture->setPixmap(programPicture(60, 70));
    picture->setFixedSize(60, 70);

    ProductName = new QLabel(panel);
    ProductName->setObjectName("ProductName");
    ProductVersion = new QLabel(panel);
    ProductVersion->setObjectName("ProductVersion");
    ProductVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Comments = new QLabel(panel);
    Comments->setObjectName("Comments");
    Comments->setWordWrap(true);
    Comments->setMinimumSize(273, 65);
    QFont bold = Comments->font();
    bold.setBold(true);
    Comments->setFont(bold);

    auto* grid = new QGridLayout(panel);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(ProductVersion, 0, 2);
    grid->addWidget(Comments, 1, 1, 1, 2);

    auto* ok = new QPushButton(tr("Да"), this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::setTexts(const QString& product, const QString& version, const QString& comments) {
    ProductName->setText(product);
    ProductVersion->setText(version);
    Comments->setText(comments);
}

void TAboutBox::ShowAboutBox(QWidget* parent, const QString& product, const QString& version, const QString& comments) {
    TAboutBox box(parent);
    box.setTexts(product, version, comments);
    box.exec();
}

}  // namespace geovanta
