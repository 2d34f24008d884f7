// The time offsets dialog on its own and through the real Dialogs.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QCheckBox>
#include <QtTest>

#include "ui/qtdialogs.h"
#include "ui/tsetdeltadlg.h"

using namespace geovanta;

class TSetDeltaDlgTest : public QObject {
    Q_OBJECT

    TSetDeltaDlg* dlg_ = nullptr;
    QSpinBox* spin(const char* name) { return dlg_->findChild<QSpinBox*>(name); }
    QLineEdit* editOf(const char* name) { return spin(name)->findChild<QLineEdit*>(); }
    const OffsetFields sample_{1, -6, 0, 0, -7, -12, 300};

private slots:
    void init() { dlg_ = new TSetDeltaDlg; }
    void cleanup() { delete dlg_; }

    void textsRangesAndTabOrder() {
        QCOMPARE(dlg_->windowTitle(), QString("Смещение даты и времени"));
        const struct {
            const char* name;
            int min, max;
        } ranges[] = {{"TDayEdit", -10, 10}, {"THourEdit", -12, 12}, {"TMinEdit", -59, 59}, {"FDayEdit", -10, 10},
                      {"FHourEdit", -12, 12}, {"FMinEdit", -59, 59}, {"TSecEdit", 1, 2147483647}};
        for (const auto& r : ranges) {
            QVERIFY2(spin(r.name), r.name);
            QCOMPARE(spin(r.name)->minimum(), r.min);
            QCOMPARE(spin(r.name)->maximum(), r.max);
        }
        auto text = [&](const char* name) { return dlg_->findChild<QLabel*>(name)->text(); };
        QCOMPARE(text("TrackLabel"), QString("Треки и точки"));
        QCOMPARE(text("FotoLabel"), QString("Фотографии"));
        QCOMPARE(text("Label1"), QString("Макс. допустимое \nотклонение от точки трека"));
        QCOMPARE(text("RxLabel1") + text("RxLabel2") + text("RxLabel3"), QString("днейчасовминут"));
        QCOMPARE(text("RxLabel4") + text("RxLabel5") + text("RxLabel6"), QString("днейчасовминут"));
        QCOMPARE(text("RxLabel7"), QString("секунд"));
        QVERIFY(dlg_->findChild<QLabel*>("TrackLabel")->font().bold());
        auto* ok = dlg_->findChild<QPushButton*>("OKBtn");
        QCOMPARE(ok->text(), QString("OK"));
        QVERIFY(ok->isDefault());
        QCOMPARE(dlg_->findChild<QPushButton*>("CancelBtn")->text(), QString("Cancel"));

        QStringList order;
        QWidget* w = ok;
        for (int i = 0; i < 10; ++i) {
            order << w->objectName();
            do w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty() ||
                   w->objectName().startsWith("qt_"));
        }
        QCOMPARE(order, QStringList({"OKBtn", "CancelBtn", "TDayEdit", "THourEdit", "TMinEdit", "FDayEdit",
                                     "FHourEdit", "FMinEdit", "PhotoZonesBox", "TSecEdit"}));
        QCOMPARE(dlg_->findChild<QCheckBox*>("PhotoZonesBox")->text(), QString("Учитывать часовой пояс из фото"));
    }

    void fieldsRoundTripAndAreLimited() {
        dlg_->setFields(sample_);
        QCOMPARE(dlg_->fields(), sample_);
        OffsetFields zones = sample_;
        zones.photoZones = true;
        dlg_->setFields(zones);
        QCOMPARE(dlg_->fields(), zones);
        dlg_->setFields(OffsetFields{11, 13, -60, -11, -13, 60, 0});
        QCOMPARE(dlg_->fields(), (OffsetFields{10, 12, -59, -10, -12, 59, 1}));
    }

    // An emptied or unreadable field keeps its previous value instead of
    // turning into the lower end of its range.
    void unreadableTextKeepsThePreviousValue() {
        dlg_->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg_));
        dlg_->setFields(sample_);
        editOf("TDayEdit")->clear();
        editOf("FMinEdit")->setText("-");
        editOf("TSecEdit")->clear();
        QCOMPARE(dlg_->fields(), sample_);
        QCOMPARE(editOf("TDayEdit")->text(), QString("1"));

        // Letters are refused as they are typed.
        spin("THourEdit")->setFocus();
        editOf("THourEdit")->selectAll();
        QTest::keyClicks(editOf("THourEdit"), "x5");
        QCOMPARE(dlg_->fields().trackHours, 5);
    }

    void askReturnsFieldsOnOkOnly() {
        QTimer::singleShot(0, [&] {
            spin("FHourEdit")->setValue(-1);
            dlg_->findChild<QPushButton*>("OKBtn")->click();
        });
        const auto ok = dlg_->ask(sample_);
        QVERIFY(ok.has_value());
        OffsetFields expected = sample_;
        expected.photoHours = -1;
        QCOMPARE(*ok, expected);

        // Each opening starts again from the values given, whatever was typed before.
        QTimer::singleShot(0, [&] {
            QCOMPARE(spin("FHourEdit")->value(), -7);
            spin("TDayEdit")->setValue(5);
            QTest::keyClick(dlg_, Qt::Key_Escape);
        });
        QVERIFY(!dlg_->ask(sample_).has_value());
    }

    void qtDialogsUsesTheDialog() {
        QtDialogs dialogs;
        QCOMPARE(dialogs.askOffsets(sample_), std::nullopt);  // none attached yet
        QCOMPARE(dialogs.askPhotoFolder({"/photos/", false}), std::nullopt);
        dialogs.setOffsetsDialog(dlg_);
        QTimer::singleShot(0, [&] { dlg_->findChild<QPushButton*>("OKBtn")->click(); });
        QCOMPARE(dialogs.askOffsets(sample_), std::optional<OffsetFields>(sample_));
        dialogs.setPhotoFolderDialog([](const PhotoFolderChoice& shown) {
            return std::optional<PhotoFolderChoice>({shown.folder + "x", !shown.withSubfolders});
        });
        QCOMPARE(dialogs.askPhotoFolder({"/photos/", false}), std::optional<PhotoFolderChoice>({"/photos/x", true}));
    }

    // Each camera's line comes back as shown, in order; a line without an
    // offset of its own follows the photo offset as it is typed.
    void cameraLinesRoundTripAndFollowThePhotoOffset() {
        OffsetFields f = sample_;
        f.writeZones = true;
        f.cameras = {{"Canon EOS R5 …1234", 4, true, 0, -1, -3, -20, false},
                     {"iPhone 15", 3, false, 0, -7, -12, 0, true}};
        dlg_->setFields(f);
        QCOMPARE(dlg_->fields(), f);
        QVERIFY(!spin("CameraHours1")->isEnabled());
        spin("FHourEdit")->setValue(-2);
        QCOMPARE(spin("CameraHours1")->value(), -2);
        QCOMPARE(spin("CameraHours0")->value(), -1);
        // Taking the offset away shows the photo offset again.
        dlg_->findChild<QCheckBox*>("CameraOwn0")->setChecked(false);
        QCOMPARE(spin("CameraSeconds0")->value(), 0);
        QCOMPARE(spin("CameraHours0")->value(), -2);
        QVERIFY(!dlg_->fields().cameras[0].ownOffset);
        // Fewer cameras next time: no line is left over.
        f.cameras.pop_back();
        dlg_->setFields(f);
        QCOMPARE(dlg_->fields().cameras.size(), std::size_t{1});
        QVERIFY(!dlg_->findChild<QSpinBox*>("CameraHours1"));
    }

    void fileFilterList() {
        QCOMPARE(qtNameFilters("Треки OziExplorer|*.PLT|Точки OziExplorer|*.WPT"),
                 QStringList({"Треки OziExplorer (*.PLT *.plt)", "Точки OziExplorer (*.WPT *.wpt)"}));
        QCOMPARE(qtNameFilters("Все|*.plt;*.WPT|Любые|*.*"), QStringList({"Все (*.plt *.WPT *.wpt)", "Любые (*.*)"}));
        QCOMPARE(qtNameFilters("Без шаблона"), QStringList());
        QCOMPARE(qtNameFilters(""), QStringList());
    }
};

QTEST_MAIN(TSetDeltaDlgTest)
#include "tsetdeltadlg_test.moc"
