// Long work off the window's thread: the window answers while a big track
// loads, says how far it has got, and a cancelled load leaves the table as
// it was.
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "app/document.h"
#include "input/ozifileheaders.h"
#include "support/fakedialogs.h"
#include "support/programtools.h"
#include "table/messages.h"
#include "ui/jobqueue.h"
#include "ui/jobstatus.h"
#include "ui/tmainform.h"

using namespace geovanta;

class JobQueueTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::string bigTrack_;
    static constexpr int kPoints = 1'000'000;

    static bool settled(TMainForm& form) {
        return QTest::qWaitFor([&] { return !form.jobs().busy(); }, 60000);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        bigTrack_ = dir_.filePath("big.plt").toStdString();
        std::ofstream out(bigTrack_, std::ios::binary);
        out << test::kPltHeader;
        char line[80];
        for (int i = 0; i < kPoints; ++i) {
            const int n = std::snprintf(line, sizeof line, "%.6f,%.6f,0,%d,%.8f,,\r\n", 64.1 + i * 1e-7,
                                        -21.9 + i * 1e-7, 100 + i % 50, 45000.5 + i / 86400.0);
            out.write(line, n);
        }
        QVERIFY(out.good());
    }

    void theWindowAnswersWhileABigTrackLoads() {
        Document document(ProgramState{}, SettingsFile(dir_.filePath("Geovanta.ini").toStdString()));
        test::FakeDialogs dialogs;
        TMainForm form(document, dialogs, test::programTools(document.table()));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            // Only while the read runs: taking the result in is the window's own work.
            if (!form.jobs().busy()) return;
            const qint64 now = clock.elapsed();
            if (ticks++ > 0) longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        ticker.start(10);
        form.loadArguments({bigTrack_});
        QVERIFY(form.jobs().busy());
        const auto* text = form.findChild<QLabel*>("JobText");
        QVERIFY(text);
        QVERIFY(QTest::qWaitFor([&] { return text->text().contains(QString::fromUtf8(" из ")); }, 20000));
        QVERIFY2(text->text().endsWith(QString::fromUtf8(" МБ")), qPrintable(text->text()));
        QVERIFY(settled(form));
        QCOMPARE(document.table().rowCount(), std::size_t(kPoints));
        QVERIFY2(ticks > 5, "the event loop turned while the file was read");
        // Generous: the machine may be busy with other work.
        QVERIFY2(longest < 500, qPrintable(QString("longest pause %1 ms").arg(longest)));
        QVERIFY(dialogs.messages.empty());
    }

    void aCancelledLoadLeavesTheTableAsItWas() {
        Document document(ProgramState{}, SettingsFile(dir_.filePath("Geovanta.ini").toStdString()));
        test::FakeDialogs dialogs;
        TMainForm form(document, dialogs, test::programTools(document.table()));
        form.loadArguments({std::string(GEOVANTA_TEST_DATA) + "/walk.plt"});
        QVERIFY(settled(form));
        const std::size_t rows = document.table().rowCount();
        QVERIFY(rows > 0);

        form.loadArguments({bigTrack_, std::string(GEOVANTA_TEST_DATA) + "/places.wpt"});
        QVERIFY(form.jobs().busy());
        form.jobs().cancel();
        QVERIFY(settled(form));
        QCOMPARE(document.table().rowCount(), rows);
        QCOMPARE(document.state().trackCounter, uint16_t{1});
        QCOMPARE(document.sources().size(), std::size_t{1});
        QVERIFY(dialogs.messages.empty());
    }

    // In the Russian window, the language its texts are written in.
    void countsReadAsPeopleCount() {
        setLanguage(Language::Russian);
        QCOMPARE(JobStatus::countText(ProgressUnit::Photos, 3412, 20000), QString::fromUtf8("3 412 из 20 000 фото"));
        QCOMPARE(JobStatus::countText(ProgressUnit::Photos, 7, 0), QString::fromUtf8("7 фото"));
        QCOMPARE(JobStatus::countText(ProgressUnit::Bytes, 12u << 20, (47u << 20) + 1), QString::fromUtf8("12 из 48 МБ"));
    }
};

QTEST_MAIN(JobQueueTest)
#include "jobqueue_test.moc"
