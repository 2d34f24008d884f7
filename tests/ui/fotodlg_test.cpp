#include "ui/fotodlg.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using geovanta::TFotoDlg;

class FotoDlgTest : public QObject {
    Q_OBJECT
private slots:
    void looksAsDesigned() {
        TFotoDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Путь к фотографиям"));
        QCOMPARE(dlg.size(), QSize(313, 126));
        QCOMPARE(dlg.OKBtn->text(), QStringLiteral("OK"));
        QCOMPARE(dlg.CancelBtn->text(), QStringLiteral("Cancel"));
        QVERIFY(dlg.OKBtn->isDefault());
    }

    void answersWithTheFieldOnOkOnly() {
        TFotoDlg dlg;
        // Each showing starts from the folder given, whatever was typed before.
        QString shown;
        QTimer::singleShot(0, &dlg, [&] {
            shown = dlg.DirectoryEdit->text();
            dlg.DirectoryEdit->setText(QStringLiteral("/typed"));
            QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(dlg.ask(QStringLiteral("/photos/")), std::optional<QString>(QStringLiteral("/typed")));
        QCOMPARE(shown, QStringLiteral("/photos/"));

        QTimer::singleShot(0, &dlg, [&] {
            shown = dlg.DirectoryEdit->text();
            dlg.DirectoryEdit->setText(QStringLiteral("/other"));
            QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
        });
        QVERIFY(!dlg.ask(QStringLiteral("/photos/")));
        QCOMPARE(shown, QStringLiteral("/photos/"));

        QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(dlg.DirectoryEdit, Qt::Key_Escape); });
        QVERIFY(!dlg.ask(QStringLiteral("/photos/")));

        QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(dlg.DirectoryEdit, Qt::Key_Return); });
        QCOMPARE(dlg.ask(QStringLiteral("/photos/")), std::optional<QString>(QStringLiteral("/photos/")));
    }

    void subfolderCheckboxShowsTheChoiceAndAnswersIt() {
        TFotoDlg dlg;
        QCOMPARE(dlg.SubfoldersCheck->text(), QStringLiteral("Включая вложенные папки"));
        for (const bool given : {true, false}) {
            bool shown = !given;
            QTimer::singleShot(0, &dlg, [&] {
                shown = dlg.SubfoldersCheck->isChecked();
                QTest::mouseClick(dlg.SubfoldersCheck, Qt::LeftButton);
                QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
            });
            QVERIFY(dlg.ask(QStringLiteral("/photos/"), given));
            QCOMPARE(shown, given);
            QCOMPARE(dlg.subfoldersChecked(), !given);
        }
    }

    void chooserStartsAtTheFieldsFolderAndReplacesIt() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TFotoDlg dlg;
        QString startedAt;
        QString answer = dir.path() + "/chosen";
        dlg.chooseFolder = [&](QWidget*, const QString& start) {
            startedAt = start;
            return answer;
        };

        dlg.FormShow(dir.path());
        dlg.DirectoryButton->trigger();
        QCOMPARE(startedAt, dir.path());
        QCOMPARE(dlg.DirectoryEdit->text(), dir.path() + "/chosen");

        // A folder that does not exist: the chooser opens at the root.
        dlg.FormShow(dir.path() + "/missing");
        answer.clear();  // cancelled: the field keeps its text
        dlg.DirectoryButton->trigger();
        QCOMPARE(startedAt, QDir::rootPath());
        QCOMPARE(dlg.DirectoryEdit->text(), dir.path() + "/missing");
    }
};

QTEST_MAIN(FotoDlgTest)
#include "fotodlg_test.moc"
