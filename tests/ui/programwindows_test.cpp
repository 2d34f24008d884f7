// The program started with files and folders as arguments, as a file manager
// or a shell starts it, on the example walk.
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "app/commands/argumentscommand.h"
#include "app/commands/trackloadcommand.h"
#include "support/fakedialogs.h"
#include "table/position.h"
#include "ui/programwindows.h"
#include "ui/qttranslations.h"
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
        ProgramWindows windows(SettingsFile::inFolder(folder), folder, &dialogs);
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
        QCOMPARE(dialogs.messages[0].text, ArgumentsCommand::kNotFoundMessage + folder + "missing.plt");
        QCOMPARE(dialogs.messages[1].text, TrackLoadCommand::kUnknownKindMessage + folder + "notes.txt");
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
            ProgramWindows windows(SettingsFile::inFolder(folder), folder, &dialogs);
            TMainForm& form = windows.mainForm();
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QVERIFY(form.width() >= 637 && form.height() >= 524);
            form.setGeometry(40, 50, 700, 560);
            left = form.geometry();
            form.close();
        }
        ProgramWindows again(SettingsFile::inFolder(folder), folder, &dialogs);
        QCOMPARE(again.mainForm().geometry(), left);
    }

    // A settings file that cannot be read is named once the window is up,
    // and turns no map tiles on.
    void settingsThatCannotBeReadAreReportedAtStart() {
        QTemporaryDir exe;
        const std::string folder = exe.path().toStdString() + "/";
        std::filesystem::create_directory(folder + "Geovanta.ini");
        test::FakeDialogs dialogs;
        ProgramWindows windows(SettingsFile::inFolder(folder), folder, &dialogs);
        QCOMPARE(windows.state().mapTiles, std::optional<std::string>(""));
        QTRY_COMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(dialogs.messages[0].kind, MessageKind::Failure);
        QCOMPARE(dialogs.messages[0].text, "Cannot read the settings file " + folder +
                                               "Geovanta.ini: Is a directory. The default settings apply, "
                                               "and the file is left as it is.");
    }

    void qtsOwnButtonsSpeakRussian() {
        installQtTranslations(*QCoreApplication::instance());
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Отмена"));
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "programwindows_test.moc"
