// Closing the program while the real ExifTool writes: by the main window's
// close, or by Ctrl+Q in the console. The photographs in flight get their
// grace, the window goes within seconds, and the console closed afterwards
// reaches nothing that is gone. Also built under AddressSanitizer.
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "support/fakedialogs.h"
#include "support/programtools.h"
#include "ui/formconsole.h"
#include "ui/programwindows.h"
#include "ui/tmainform.h"

using namespace geovanta;
namespace fs = std::filesystem;

class ClosingWriteTest : public QObject {
    Q_OBJECT

    static constexpr int kPhotos = 150;

    // A trip of copies of one example photograph, all on the example track.
    static std::string trip(const QTemporaryDir& dir) {
        const std::string examples = std::string(GEOVANTA_TEST_DATA) + "/../../examples/";
        const std::string folder = dir.path().toStdString() + "/trip/";
        fs::create_directory(folder);
        for (int i = 0; i < kPhotos; ++i)
            fs::copy_file(examples + "photos/IMG_0002.JPG", folder + "P" + std::to_string(1000 + i) + ".JPG");
        return folder;
    }

    // Starts the write, waits for its first photographs, closes by `close`,
    // and checks the program ends within seconds, every photograph whole.
    void closeMidBatch(const std::function<void(ProgramWindows&)>& close) {
        QTemporaryDir dir;
        const std::string exe = dir.path().toStdString() + "/";
        QVERIFY(!SettingsFile::inFolder(exe).writeString(SettingsFile::kMapTilesKey, ""));
        const std::string folder = trip(dir);
        test::FakeDialogs dialogs;
        auto windows = std::make_unique<ProgramWindows>(SettingsFile::inFolder(exe), exe, test::programTools, &dialogs);
        TMainForm& form = windows->mainForm();
        form.setExifTool(std::string(GEOVANTA_BIN_DIR) + "/exiftool");
        form.show();
        form.loadArguments({std::string(GEOVANTA_TEST_DATA) + "/../../examples/walk.plt", folder});
        QVERIFY(QTest::qWaitFor([&] { return !form.jobs().busy(); }, 20000));

        form.writeAllTags();
        QVERIFY(form.tagWriteRunning());
        TFormConsole* console = form.console();
        QVERIFY(QTest::qWaitFor([&] { return console->progressBar->value() >= 3; }, 30000));
        QElapsedTimer closing;
        closing.start();
        close(*windows);
        QVERIFY2(console->progressBar->value() < kPhotos, "closed while photographs were still to come");
        QTRY_VERIFY_WITH_TIMEOUT(!form.tagWriteRunning(), 8000);
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 2000);
        qInfo("closed %lld ms after the close", static_cast<long long>(closing.elapsed()));
        QVERIFY(closing.elapsed() < 6000);
        QVERIFY(!form.document().busy());
        // What a quitting program does to its other windows: nothing of the
        // write is reached any more.
        console->close();
        QVERIFY(!console->isVisible());
        windows.reset();
        // No photograph is left half-written, nor ExifTool's temporary file.
        for (const auto& entry : fs::directory_iterator(folder)) {
            QVERIFY2(entry.path().extension() == ".JPG", entry.path().c_str());
            QVERIFY(fs::file_size(entry.path()) > 1000);
        }
    }

private slots:
    void closingTheMainWindow() {
        closeMidBatch([](ProgramWindows& w) { QVERIFY(!w.mainForm().close()); });
    }

    void ctrlQInTheConsole() {
        closeMidBatch([](ProgramWindows& w) {
            TFormConsole* console = w.mainForm().console();
            console->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(console));
            QSignalSpy quit(console, &TFormConsole::quitRequested);
            QTest::keyClick(console, Qt::Key_Q, Qt::ControlModifier);
            QCOMPARE(quit.count(), 1);
        });
    }
};

QTEST_MAIN(ClosingWriteTest)
#include "closingwrite_test.moc"
