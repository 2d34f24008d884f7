// The program started with files and folders as arguments, as a file manager
// or a shell starts it, on the example walk.
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <filesystem>

#include "support/fakedialogs.h"
#include "support/programtools.h"
#include "table/position.h"
#include "ui/programwindows.h"
#include "ui/qttranslations.h"
#include "ui/datatablemodel.h"
#include "ui/tmainform.h"

using namespace geovanta;

class ProgramWindowsTest : public QObject {
    Q_OBJECT

    // Tests never reach a tile server on the internet.
    static void noTiles(const std::string& folder) {
        QVERIFY(!SettingsFile::inFolder(folder).writeString(SettingsFile::kMapTilesKey, ""));
    }

private slots:
    void argumentsLoadInOrderAndBadOnesAreReported() {
        const std::string examples = std::string(GEOVANTA_TEST_DATA) + "/../../examples/";
        QTemporaryDir exe;
        const std::string folder = exe.path().toStdString() + "/";
        std::filesystem::copy_file(examples + "walk.wpt", folder + "notes.txt");
        noTiles(folder);
        test::FakeDialogs dialogs;
        ProgramWindows windows(SettingsFile::inFolder(folder), folder, test::programTools, &dialogs);
        TMainForm& form = windows.mainForm();
        form.show();

        form.loadArguments({folder + "missing.plt", examples + "walk.plt", examples + "photos", folder + "notes.txt"});
        QVERIFY(QTest::qWaitFor([&] { return !form.jobs().busy(); }, 10000));

        const DataTable& t = form.table();
        int points = 0, photos = 0, placed = 0;
        for (std::size_t row = 0; row < t.rowCount(); ++row) {
            if (t.stat(row) == 'T') ++points;
            if (!t.isPhoto(row)) continue;
            ++photos;
            if (hasPosition(t, row)) ++placed;
        }
        QCOMPARE(points, 76);
        QCOMPARE(photos, 10);
        QCOMPARE(placed, 8);  // one before the walk, one in its gap
        QCOMPARE(dialogs.messages.size(), std::size_t(2));
        QCOMPARE(dialogs.messages[0].text, "File or folder not found: " + folder + "missing.plt");
        QCOMPARE(dialogs.messages[1].text, "Unknown file type: " + folder + "notes.txt");
        // Remembered as the load commands remember them.
        const ProgramState saved = SettingsFile::inFolder(folder).read("<none>");
        QCOMPARE(saved.dataFolder, examples);
        QCOMPARE(saved.photoFolder, examples + "photos");
    }

    void theWindowComesBackWhereItWasLeft() {
        QTemporaryDir exe;
        const std::string folder = exe.path().toStdString() + "/";
        noTiles(folder);
        test::FakeDialogs dialogs;
        QRect left;
        {
            ProgramWindows windows(SettingsFile::inFolder(folder), folder, test::programTools, &dialogs);
            TMainForm& form = windows.mainForm();
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QVERIFY(form.width() >= 637 && form.height() >= 524);
            form.setGeometry(40, 50, 700, 560);
            left = form.geometry();
            form.close();
        }
        ProgramWindows again(SettingsFile::inFolder(folder), folder, test::programTools, &dialogs);
        QCOMPARE(again.mainForm().geometry(), left);
    }

    // A settings file that cannot be read is named once the window is up,
    // and turns no map tiles on.
    void settingsThatCannotBeReadAreReportedAtStart() {
        QTemporaryDir exe;
        const std::string folder = exe.path().toStdString() + "/";
        std::filesystem::create_directory(folder + "Geovanta.ini");
        test::FakeDialogs dialogs;
        ProgramWindows windows(SettingsFile::inFolder(folder), folder, test::programTools, &dialogs);
        QCOMPARE(windows.state().mapTiles, std::optional<std::string>(""));
        QTRY_COMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(dialogs.messages[0].kind, MessageKind::Failure);
        QCOMPARE(dialogs.messages[0].text, "Cannot read the settings file " + folder +
                                               "Geovanta.ini: Is a directory. The default settings apply, "
                                               "and the file is left as it is.");
    }

    // The window, the texts made below it and Qt's own buttons all in the
    // language the program starts in.
    void startsInEitherLanguage() {
        const struct {
            Language language;
            const char *menu, *tip, *column, *status, *kind, *cancel;
        } cases[] = {
            {Language::Russian, "Загрузить", "Загрузить GPS трек", "Имя", "5 точек, фотографий нет", "Трек", "Отмена"},
            {Language::English, "Load", "Load a GPS track", "Name", "5 points, no photos", "Track", "Cancel"},
        };
        for (const auto& c : cases) {
            installTranslations(*QCoreApplication::instance(), c.language);
            QTemporaryDir exe;
            const std::string folder = exe.path().toStdString() + "/";
            noTiles(folder);
            test::FakeDialogs dialogs;
            ProgramWindows windows(SettingsFile::inFolder(folder), folder, test::programTools, &dialogs);
            TMainForm& form = windows.mainForm();
            form.loadArguments({std::string(GEOVANTA_TEST_DATA) + "/walk.plt"});
            QVERIFY(QTest::qWaitFor([&] { return !form.jobs().busy(); }, 10000));

            QCOMPARE(form.findChild<QMenu*>("LoadMenu")->title().remove('&'), QString::fromUtf8(c.menu));
            QCOMPARE(form.findChild<QToolButton*>("ToolButton1")->toolTip(), QString::fromUtf8(c.tip));
            QCOMPARE(form.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8(c.column));
            QCOMPARE(form.findChild<QLabel*>("StatusSummary")->text(), QString::fromUtf8(c.status));
            QCOMPARE(form.model()->index(0, 0).data().toString(), QString::fromUtf8(c.kind));
            // Every menu item is reached with Alt and a letter of its own.
            QList<QList<QAction*>> menus = {form.menuBar()->actions()};
            for (const QMenu* menu : form.findChildren<QMenu*>()) menus << menu->actions();
            for (const QList<QAction*>& items : menus) {
                QString letters;
                for (const QAction* item : items) {
                    if (item->isSeparator()) continue;
                    const qsizetype mark = item->text().indexOf('&');
                    QVERIFY2(mark >= 0 && mark + 1 < item->text().size(), qPrintable(item->text()));
                    const QChar letter = item->text().at(mark + 1).toLower();
                    QVERIFY2(!letters.contains(letter), qPrintable(item->text()));
                    letters += letter;
                }
            }
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QString::fromUtf8(c.cancel));
        }
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "programwindows_test.moc"
