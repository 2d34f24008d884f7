// The console window, alone and driving a batch of the tag writer.
#include "ui/formconsole.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "output/photorows.h"
#include "app/commands/tagcommands.h"
#include "support/fakedialogs.h"
#include "support/fakerunner.h"
#include "table/datatable.h"

using namespace geovanta;

class FormConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void createdHiddenWithItsControls() {
        QWidget mainWindow;
        TFormConsole console(&mainWindow);
        QVERIFY(!console.isVisible());
        QVERIFY(console.windowFlags() & Qt::Tool);
        QCOMPARE(console.windowTitle(), QStringLiteral("EXIFtool>_"));
        QCOMPARE(console.size(), QSize(559, 420));
        QCOMPARE(console.Label1->text(), QStringLiteral("Информация:"));
        QCOMPARE(console.Label2->text(), QStringLiteral("Ошибки:"));
        QCOMPARE(console.Button1->text(), QStringLiteral("Прервать процесс"));
        QCOMPARE(console.Memo1->geometry(), QRect(1, 25, 557, 216));
        QCOMPARE(console.Memo2->geometry(), QRect(1, 270, 557, 89));
        QCOMPARE(console.ProgressBar1->minimum(), 0);
        QCOMPARE(console.ProgressBar1->maximum(), 100);
        QCOMPARE(console.ProgressBar1->value(), 0);
    }

    void everyWayOfClosingEnablesTheMainWindow() {
        QWidget mainWindow;
        mainWindow.show();
        TFormConsole console(&mainWindow);
        QPointer<TFormConsole> alive(&console);
        const auto closers = std::vector<std::function<void()>>{
            [&] { QTest::mouseClick(console.Button1, Qt::LeftButton); },
            [&] { console.close(); },  // the close box
            [&] { console.closeConsole(); },
        };
        for (const auto& closeIt : closers) {
            console.showConsole();
            QVERIFY(console.isVisible());
            QVERIFY(!mainWindow.isEnabled());
            QVERIFY(!console.abortRequested());
            closeIt();
            QVERIFY(!console.isVisible());
            QVERIFY(mainWindow.isEnabled());
            QVERIFY(console.abortRequested());
            QVERIFY(alive);
        }
    }

    void panesAppendAndReplace() {
        TFormConsole console;
        console.appendInfo({"a", "b"});
        console.appendInfo({});
        console.appendInfo({"\xcf\xf0\xe8"});  // Windows-1251 text shows as Cyrillic
        QCOMPARE(console.Memo1->toPlainText(), QStringLiteral("a\nb\n\nПри"));
        console.replaceInfo({"only"});
        QCOMPARE(console.Memo1->toPlainText(), QStringLiteral("only"));
        console.replaceErrors({"e1", "e2"});
        console.replaceErrors({"e3"});
        QCOMPARE(console.Memo2->toPlainText(), QStringLiteral("e3"));
        console.setProgressMaximum(3);
        console.stepProgress();
        console.stepProgress();
        QCOMPARE(console.ProgressBar1->value(), 2);
    }

    // A click on the abort button while the third photo is written waits in
    // the queue, as it does while ExifTool blocks the window, and stops the
    // batch after that photo.
    void abortButtonStopsABatchAfterTheCurrentPhoto() {
        QWidget mainWindow;
        mainWindow.show();
        TFormConsole console(&mainWindow);
        DataTable table;
        for (int i = 1; i <= 10; ++i) test::addPhoto(table, "/p/" + std::to_string(i) + ".jpg", 50 + i * 0.1, 30);
        test::FakeRunner runner;
        runner.onRun = [&](int call) {
            QCOMPARE(mainWindow.isEnabled(), false);
            QCOMPARE(console.ProgressBar1->maximum(), 10);
            if (call == 3) QMetaObject::invokeMethod(console.Button1, "click", Qt::QueuedConnection);
        };
        test::FakeDialogs dialogs;
        TagWriter writer(runner, "/x/exiftool");
        TagCommands(table, console, writer).writeAllPhotos(dialogs);
        QCOMPARE(runner.calls.size(), std::size_t(3));
        QVERIFY(mainWindow.isEnabled());
        QVERIFY(!console.isVisible());
        QCOMPARE(console.ProgressBar1->value(), 0);
        QCOMPARE(console.Memo1->toPlainText(), QStringLiteral("    1 image files updated\n    1 image files updated"));
        QVERIFY(dialogs.messages.empty());
        // The walk stops on the photo during which the abort came.
        QCOMPARE(table.recNo(), std::size_t(2));
        QVERIFY(!table.eof());
    }
};

QTEST_MAIN(FormConsoleTest)
#include "formconsole_test.moc"
