// The real message boxes: captions, icons and buttons, answered by a timer.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "ui/qtdialogs.h"

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
};

QTEST_MAIN(QtDialogsTest)
#include "qtdialogs_test.moc"
