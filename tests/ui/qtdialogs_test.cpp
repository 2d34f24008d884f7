// The real message boxes: captions, icons and buttons, answered by a timer.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include <QDateTimeEdit>

#include "table/datetime.h"
#include "ui/qtdialogs.h"
#include "ui/shottimedialog.h"

using namespace geovanta;

class QtDialogsTest : public QObject {
    Q_OBJECT

    struct Seen {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QMessageBox::StandardButton> buttons;
    };

    // Answers the next message box with `button` and reports what it showed.
    static void answerNextBox(Seen& seen, QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&seen, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen.caption = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* b : box->buttons()) seen.buttons << box->standardButton(b);
            box->button(button)->click();
        });
    }

private slots:
    void messageKinds() {
        const struct {
            MessageKind kind;
            const char* caption;
            QMessageBox::Icon icon;
        } cases[] = {
            {MessageKind::Error, "Error", QMessageBox::Critical},
            {MessageKind::Information, "Information", QMessageBox::Information},
            {MessageKind::Plain, "Geovanta", QMessageBox::NoIcon},
            {MessageKind::Failure, "Geovanta", QMessageBox::Critical},
        };
        QtDialogs dialogs;
        for (const auto& c : cases) {
            Seen seen;
            answerNextBox(seen, QMessageBox::Ok);
            dialogs.showMessage(c.kind, "Файл не найден.");
            QCOMPARE(seen.caption, QString(c.caption));
            QCOMPARE(seen.icon, c.icon);
            QCOMPARE(seen.text, QString("Файл не найден."));
            QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        }
    }

    void questionHasOkAndCancel() {
        QtDialogs dialogs;
        Seen seen;
        answerNextBox(seen, QMessageBox::Cancel);
        QVERIFY(!dialogs.askOkCancel("Delete record?"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.text, QString("Delete record?"));
        QCOMPARE(seen.buttons.size(), 2);
        QVERIFY(seen.buttons.contains(QMessageBox::Ok) && seen.buttons.contains(QMessageBox::Cancel));
        answerNextBox(seen, QMessageBox::Ok);
        QVERIFY(dialogs.askOkCancel("Delete record?"));
    }

    void shotTimeToTheSecond() {
        QtDialogs dialogs;
        const int64_t shown = *civilToMs({2023, 9, 16, 10, 35, 30, 0});
        // Summer-time changes do not exist for the table's times: 02:30 on the
        // night the clocks go forward is kept.
        const int64_t typed = *civilToMs({2024, 3, 31, 2, 30, 17, 0});
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<ShotTimeDialog*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QCOMPARE(dlg->timeEdit()->text(), QStringLiteral("16.09.2023 10:35:30"));
            dlg->timeEdit()->setDateTime(QDateTime(QDate(2024, 3, 31), QTime(2, 30, 17), Qt::UTC));
            dlg->accept();
        });
        QCOMPARE(dialogs.askShotTime("IMG_0008", shown), std::optional<int64_t>(typed));
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QCOMPARE(dialogs.askShotTime("IMG_0008", shown), std::nullopt);
    }
};

QTEST_MAIN(QtDialogsTest)
#include "qtdialogs_test.moc"
