// The main window driven as a person would, with a scripted Dialogs.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QtTest>

#include "ui/datagrid.h"
#include "ui/handplacing.h"
#include "ui/photopreview.h"
#include "ui/formconsole.h"
#include "ui/map/mapcanvas.h"
#include "ui/map/mapwidget.h"
#include "ui/map/photodrag.h"
#include "ui/datatablemodel.h"
#include "ui/taboutbox.h"
#include "ui/tmainform.h"
#include "app/document.h"
#include "binding/calcpositions.h"
#include "support/documentrows.h"
#include "support/fakedialogs.h"
#include "support/programtools.h"
#include "table/messages.h"

using namespace geovanta;

namespace {

void addRow(DataTable& t, const char* stat, const char* name, double time, std::optional<double> lat,
            const char* file = "") {
    t.append();
    t.field(FieldId::Stat).setAsString(stat);
    t.field(FieldId::Name).setAsString(name);
    t.field(FieldId::Time).setAsDateTime(time);
    if (lat) {
        t.field(FieldId::Lat).setAsFloat(*lat);
        t.field(FieldId::Lon).setAsFloat(37.5);
    }
    t.field(FieldId::FileName).setAsString(file);
    t.post();
}

}  // namespace

class TMainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Document> document_;
    test::FakeDialogs* dialogs_ = nullptr;
    TMainForm* form_ = nullptr;

    ProgramState& state() { return document_->state(); }
    // Waits for the loads and passes the last command handed to the window's jobs.
    bool settled() { return QTest::qWaitFor([this] { return !form_->jobs().busy(); }, 10000); }

    // The table's rows, and the grid's (the photographs alone with "Только фото").
    DataTableModel* model() { return form_->model(); }
    QAbstractItemModel* view() { return grid()->model(); }
    DataGrid* grid() { return form_->grid(); }
    QAction* action(const char* name) { return form_->findChild<QAction*>(name); }
    // A menu item's text without its mnemonic's mark.
    QString caption(const char* name) { return action(name)->text().remove('&'); }
    void selectRow(int row) { grid()->setCurrentIndex(view()->index(row, 1)); }
    QVariant cell(int row, int column, int role = Qt::DisplayRole) {
        return model()->data(model()->index(row, column), role);
    }
    std::size_t rows() { return form_->table().rowCount(); }
    QString status(const char* label) { return form_->findChild<QLabel*>(label)->text(); }
    // A window whose settings file can be written, so that commands run to their end.
    void reopenWithSettingsIn(const QTemporaryDir& dir) {
        delete form_;
        document_ = std::make_unique<Document>(document_->state(),
                                               SettingsFile(dir.filePath("Geovanta.ini").toStdString()));
        form_ = new TMainForm(*document_, *dialogs_, test::programTools(document_->table()));
    }
    // Track point, unplaced photo, placed photo, photo placed on the equator.
    void loadFixture() {
        DataTable& t = test::rowsOf(*document_);
        addRow(t, "T", "T01-0001", 40513.50, 55.75);
        addRow(t, "F", "IMG_0001.JPG", 40513.51, std::nullopt, "/photos/IMG_0001.JPG");
        addRow(t, "F", "IMG_0002.JPG", 40513.52, 55.76, "/photos/IMG_0002.JPG");
        addRow(t, "F", "IMG_0003.JPG", 40513.53, 0.0, "/photos/IMG_0003.JPG");
    }

private slots:
    // The window in Russian: no translation is installed, so
    // its own texts are the Russian they are written in.
    void initTestCase() { setLanguage(Language::Russian); }

    void init() {
        document_ = std::make_unique<Document>(ProgramState{}, SettingsFile("/nonexistent/Geovanta.ini"));
        dialogs_ = new test::FakeDialogs;
        form_ = new TMainForm(*document_, *dialogs_, test::programTools(document_->table()));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }
    void cleanup() {
        delete form_;
        delete dialogs_;
    }

    void windowAndCommands() {
        QCOMPARE(form_->windowTitle(), QString("Geovanta"));
        // The first size fills most of the screen, never less than the window needs.
        const QSize area = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY(form_->width() >= 637 && form_->height() >= 524);
        QVERIFY(form_->width() <= std::max(637, area.width()) && form_->height() <= std::max(524, area.height()));
        QVERIFY(!form_->grid()->emptyHint().isEmpty());
        const auto* bar = form_->findChild<QToolBar*>("ToolBar1");
        QVERIFY(bar);
        QStringList order, hints;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator()) {
                order << a->objectName();
                continue;
            }
            auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            QVERIFY(b);
            order << b->objectName();
            hints << b->toolTip();
            QCOMPARE(b->iconSize(), QSize(32, 32));
            QVERIFY(!b->icon().isNull());
        }
        QCOMPARE(order, QStringList({"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4", "ToolButton5",
                                     "ToolButton7", "ToolButton6", "ToolButton8"}));
        QCOMPARE(hints, QStringList({"Загрузить GPS трек", "Загрузить фотографии", "Передать в OziExplorer путь",
                                     "Передать в OziExplorer фотографии", "Настроить смещение даты и времени",
                                     "Записать GPS координаты в файлы изображений"}));
        QStringList menus;
        for (QAction* a : form_->menuBar()->actions()) menus << a->text().remove('&');
        QCOMPARE(menus, QStringList({"Загрузить", "Правка", "Вид", "Передать в OziExplorer", "Запись", "Места",
                                     "Язык", "О программе"}));
        QVERIFY(!action("HelpMenu")->menu());
        QCOMPARE(caption("LTrack"), QString("GPS трек"));
        QCOMPARE(caption("LFoto"), QString("Фотографии"));
        QCOMPARE(caption("OTrack"), QString("Путь"));
        QCOMPARE(caption("OFoto"), QString("Фотографии"));
        QCOMPARE(caption("N1"), QString("Показать фото"));
        QCOMPARE(caption("EXIF1"), QString("Записать координаты в EXIF выбранного фото"));
    }

    // New, or placed as saved on a larger screen, the window lies within the
    // screen it opens on, its menu and status bar too, at any scale: ctest
    // runs this again under QT_SCALE_FACTOR=2.
    void windowFitsTheScreen() {
        const QRect area = form_->screen()->availableGeometry();
        const auto within = [&] {
            const QRect frame = form_->frameGeometry();
            return area.contains(frame) ? QByteArray()
                                        : QString("frame %1,%2 %3x%4 outside %5,%6 %7x%8")
                                              .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                                              .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())
                                              .toUtf8();
        };
        QVERIFY2(within().isEmpty(), within().constData());
        QWidget larger;
        larger.setGeometry(area.x() + 50, area.y() + 40, area.width() * 2, area.height() * 2);
        state().windowGeometry = larger.saveGeometry().toBase64().toStdString();
        delete form_;
        form_ = new TMainForm(*document_, *dialogs_, test::programTools(document_->table()));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        QVERIFY2(within().isEmpty(), within().constData());
    }

    void columnTitlesOrderAndWidths() {
        QStringList titles;
        for (int c = 0; c < model()->columnCount(); ++c)
            titles << model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(titles, QStringList({" ", "Имя", "Дата Время", "Широта", "Долгота", "Высота", "Дистанция", "Скорость", "Камера",
                                      "Город", "Регион", "Страна", "Код"}));
        auto headerAlign = [&](int c) {
            return model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        };
        QVERIFY(headerAlign(0) & Qt::AlignLeft);
        for (int c = 1; c < 8; ++c) QVERIFY(headerAlign(c) & Qt::AlignHCenter);
        // The set widths are the least; a wider font widens a column until its values fit.
        QVERIFY(grid()->columnWidth(1) >= 117);
        QVERIFY(grid()->columnWidth(3) >= 72);
        QVERIFY(grid()->columnWidth(4) >= 72);
        QVERIFY(grid()->columnWidth(5) >= 50);
        const QFontMetrics fm(grid()->font());
        QVERIFY(grid()->columnWidth(2) > fm.horizontalAdvance("01.12.2010 10:00:00"));
        QVERIFY(grid()->columnWidth(4) > fm.horizontalAdvance("122 25.1640 W"));

        loadFixture();
        QCOMPARE(cell(0, 0).toString(), QString("Трек"));
        QCOMPARE(cell(0, 1).toString(), QString("T01-0001"));
        QCOMPARE(cell(0, 3).toString(), QString("55 45.0000 N"));
        QVERIFY(cell(0, 1, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
        QVERIFY(cell(0, 2, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        // Only the stored fields shown can be edited.
        QStringList editable;
        for (int c = 0; c < 8; ++c)
            if (model()->flags(model()->index(0, c)) & Qt::ItemIsEditable) editable << titles[c];
        QCOMPARE(editable, QStringList({"Имя", "Дата Время", "Дистанция", "Скорость"}));
    }

    void photoColours() {
        loadFixture();
        auto colour = [&](int row) { return cell(row, 1, Qt::ForegroundRole); };
        QVERIFY(!colour(0).isValid());
        for (int c = 0; c < 8; ++c) QCOMPARE(cell(1, c, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(colour(2).value<QColor>(), QColor(0, 128, 0));
        QCOMPARE(colour(3).value<QColor>(), QColor(0, 128, 0));  // the equator is a place like any other
        QCOMPARE(cell(3, 3).toString(), QString("0 00.0000 N"));
        // A photograph whose file carried a position is marked by its name,
        // the position in its tooltip; no other row, nor another column.
        test::rowsOf(*document_).setPhotoFacts(2, {{}, PhotoGps{55.5, 37.25, std::nullopt, std::nullopt}});
        QVERIFY(!cell(2, 1, Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(!cell(2, 2, Qt::DecorationRole).isValid());
        QVERIFY(!cell(1, 1, Qt::DecorationRole).isValid());
        QVERIFY(cell(2, 4, Qt::ToolTipRole).toString().endsWith("В фото уже были координаты: 55 30.0000 N, 37 15.0000 E"));
    }

    void popupRule() {
        form_->updatePopupItems();
        QVERIFY(!action("N1")->isEnabled());
        QVERIFY(!action("EXIF1")->isEnabled());
        loadFixture();
        const struct {
            int row;
            bool show, exif;
        } cases[] = {{0, false, false}, {1, true, false}, {2, true, true}, {3, true, true}};
        for (const auto& c : cases) {
            selectRow(c.row);
            form_->updatePopupItems();
            QCOMPARE(action("N1")->isEnabled(), c.show);
            QCOMPARE(action("EXIF1")->isEnabled(), c.exif);
        }
        // A right click makes the row under the mouse current before the menu opens.
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, grid()->visualRect(view()->index(2, 1)).center());
        QCOMPARE(form_->table().recNo(), std::size_t{2});
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, grid()->visualRect(view()->index(2, 1)).center());
    }

    void doubleClickOpensThePhoto() {
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(dialogs_->viewed.empty());
        loadFixture();
        const QRect trackRow = grid()->visualRect(view()->index(0, 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, trackRow.center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, trackRow.center());
        QVERIFY(dialogs_->viewed.empty());
        const QRect photoRow = grid()->visualRect(view()->index(2, 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, photoRow.center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, photoRow.center());
        QCOMPARE(dialogs_->viewed, std::vector<std::string>{"/photos/IMG_0002.JPG"});
        // A double click does not start an editor: that is F2 or typing.
        QVERIFY(!grid()->findChild<QLineEdit*>());
    }

    void ctrlDeleteAsks() {
        loadFixture();
        selectRow(1);
        dialogs_->okCancelAnswers = {false, true};
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(rows(), std::size_t{4});
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(rows(), std::size_t{3});
        QCOMPARE(dialogs_->questions, (std::vector<std::string>{"Удалить запись?", "Удалить запись?"}));
        QCOMPARE(cell(1, 1).toString(), QString("IMG_0002.JPG"));
        // The row that followed is current, in the grid and the table alike,
        // also after the first row.
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(form_->table().recNo(), std::size_t{1});
        QTest::keyClick(grid(), Qt::Key_Delete);  // without Ctrl nothing is deleted
        QCOMPARE(rows(), std::size_t{3});
        selectRow(0);
        dialogs_->okCancelAnswers = {true};
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(cell(grid()->currentIndex().row(), 1).toString(), QString("IMG_0002.JPG"));
        QCOMPARE(form_->table().recNo(), std::size_t{0});
    }

    void insertAppendAndEditThroughKeys() {
        loadFixture();
        selectRow(2);
        QTest::keyClick(grid(), Qt::Key_Insert);
        QCOMPARE(rows(), std::size_t{5});
        QCOMPARE(grid()->currentIndex().row(), 2);
        QCOMPARE(cell(2, 1).toString(), QString());
        // Leaving the untouched new row drops it.
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(rows(), std::size_t{4});
        QCOMPARE(cell(grid()->currentIndex().row(), 1).toString(), QString("IMG_0002.JPG"));

        selectRow(3);
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(rows(), std::size_t{5});
        QCOMPARE(grid()->currentIndex().row(), 4);
        QTest::keyClick(grid(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText("Мост");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(cell(4, 1).toString(), QString("Мост"));
        QTest::keyClick(grid(), Qt::Key_Up);
        QCOMPARE(rows(), std::size_t{5});
        QCOMPARE(cell(4, 1).toString(), QString("Мост"));
        QCOMPARE(cell(4, 0).toString(), QString());  // no kind, no type text
        QVERIFY(dialogs_->messages.empty());

        // A bad number is reported with the table's own message.
        grid()->setCurrentIndex(view()->index(0, 6));
        QTest::keyClick(grid(), Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText("12,5");
        QTest::keyClick(editor, Qt::Key_Return);  // the delegate commits on its next event round
        QTRY_COMPARE(dialogs_->messages.size(), std::size_t{1});
        QCOMPARE(dialogs_->messages[0].kind, MessageKind::Failure);
        QCOMPARE(dialogs_->messages[0].text, std::string("'12,5' — недопустимое дробное число для поля 'Dist'"));
    }

    void aboutBoxIsFreshEachTime() {
        QList<QPointer<QDialog>> seen;
        QStringList texts;
        auto closeBox = [&] {
            auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen << box;
            texts << box->windowTitle() << box->findChild<QLabel*>("ProductName")->text()
                  << box->findChild<QLabel*>("ProductVersion")->text() << box->findChild<QLabel*>("Comments")->text();
            box->findChild<QPushButton*>("OKButton")->click();
        };
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, closeBox);
            action("HelpMenu")->trigger();
        }
        QCOMPARE(seen.size(), 2);
        QVERIFY(seen[0].isNull());
        QVERIFY(seen[1].isNull());
        const QStringList once = {"О программе", "Geovanta", "Version 5+",
                                  "Программа для привязки фотографий\nпо трекам GPS приемника"};
        QCOMPARE(texts, once + once);
    }

    void offsetsButtonRunsTheCommand() {
        state().photoOffset = 0.75;
        dialogs_->offsetsAnswers.push_back(std::nullopt);
        form_->findChild<QToolButton*>("ToolButton6")->click();
        QCOMPARE(dialogs_->offsetsShown.size(), std::size_t{1});
        QCOMPARE(dialogs_->offsetsShown[0].photoDays, 1);
        QCOMPARE(dialogs_->offsetsShown[0].photoHours, -6);
    }

    // A bound table as after loading a track and a photo folder; when
    // GEOVANTA_SCREENSHOT names a file the window is saved there as PNG
    // (docs/screenshot.png is made this way under Xvfb).
    void showsABoundTable() {
        DataTable& t = test::rowsOf(*document_);
        const double start = 40513.0 + 9.0 / 24;  // 01.12.2010 09:00
        for (int i = 0; i < 18; ++i) {
            const double time = start + i * 60.0 / 86400;
            t.append();
            t.field(FieldId::Stat).setAsString("T");
            t.field(FieldId::Name).setAsString(QString("T01-%1").arg(i + 1, 4, 10, QChar('0')).toStdString());
            t.field(FieldId::Time).setAsDateTime(time);
            t.field(FieldId::Lat).setAsFloat(55.7520 + i * 0.0011);
            t.field(FieldId::Lon).setAsFloat(37.6175 + i * 0.0017 - (i % 3) * 0.0004);
            t.field(FieldId::Elev).setAsFloat(480 + i * 3);
            t.post();
        }
        const double photoMinutes[] = {-3.0, 2.5, 5.2, 9.75, 13.1};
        for (int i = 0; i < 5; ++i) {
            const std::string name = QString("IMG_%1.JPG").arg(4711 + i).toStdString();
            addRow(t, "F", name.c_str(), start + photoMinutes[i] * 60 / 86400, std::nullopt, ("/photos/" + name).c_str());
        }
        CalcPositions(t, BindingParams{0, 0, 300});
        QCOMPARE(rows(), std::size_t{23});
        int placed = 0, unplaced = 0;
        for (int r = 0; r < model()->rowCount(); ++r) {
            const QColor c = cell(r, 1, Qt::ForegroundRole).value<QColor>();
            placed += c == QColor(0, 128, 0);
            unplaced += c == QColor(255, 0, 0);
        }
        QCOMPARE(placed, 4);
        QCOMPARE(unplaced, 1);  // taken three minutes before the first point
        QCOMPARE(status("StatusSummary"), QString("18 точек, 5 фото: привязано 4, не привязано 1 (до трека 1)"));
        QCOMPARE(status("StatusOffsets"), QString("Смещение: трек 0:00, фото 0:00; допуск 300 с"));
        // Each photo row tells why in its tooltip; track points have none.
        QCOMPARE(cell(0, 1, Qt::ToolTipRole).toString(),
                 QString("Не привязано: снято за 180 с (0:03:00) до начала трека\nВремя съёмки из EXIF"));
        QCOMPARE(cell(0, 5, Qt::ToolTipRole), cell(0, 1, Qt::ToolTipRole));
        QCOMPARE(cell(4, 1).toString(), QString("IMG_4712.JPG"));
        QCOMPARE(cell(4, 1, Qt::ToolTipRole).toString(),
                 QString("Привязано: до ближайшей точки трека 30 с\nВремя съёмки из EXIF"));
        QVERIFY(!cell(1, 1, Qt::ToolTipRole).isValid());

        // The map beside the grid follows every pass and the current row, both ways.
        const MapCanvas* canvas = form_->map()->canvas();
        QCOMPARE(canvas->data().tracks.size(), std::size_t{1});
        QCOMPARE(canvas->data().photos.size(), std::size_t{4});
        QCOMPARE(canvas->data().unplaced.size(), std::size_t{1});
        selectRow(4);
        QCOMPARE(canvas->currentRow(), std::optional<std::size_t>(4));
        emit form_->map()->rowActivated(7);
        QCOMPARE(grid()->currentIndex().row(), 7);
        QCOMPARE(form_->table().recNo(), std::size_t{7});
        selectRow(0);
        const QImage shot = form_->grab().toImage();
        QVERIFY(!shot.isNull());
        if (const QByteArray path = qgetenv("GEOVANTA_SCREENSHOT"); !path.isEmpty())
            QVERIFY(shot.save(QString::fromLocal8Bit(path), "PNG"));
    }

    // The status bar shows the offsets in force from the start, and after
    // every pass what was placed; deleting a row counts too.
    void statusBarFollowsEveryPass() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        state().photoOffset = 1.0 / 24;  // as a settings file saved it
        reopenWithSettingsIn(dir);
        QCOMPARE(status("StatusSummary"), QString("0 точек, фотографий нет"));
        QCOMPARE(status("StatusOffsets"), QString("Смещение: трек 0:00, фото +1:00; допуск 300 с"));

        DataTable& t = test::rowsOf(*document_);
        const double start = 40513.5;
        addRow(t, "T", "T01-0001", start, 55.75);
        addRow(t, "T", "T01-0002", start + 600.0 / 86400, 55.76);
        addRow(t, "F", "gap", start + 360.0 / 86400, std::nullopt, "/p/gap.jpg");
        addRow(t, "F", "near", start + 60.0 / 86400, std::nullopt, "/p/near.jpg");
        t.moveTo(3);
        t.edit();
        t.field(FieldId::TimeSource).setAsString("M");
        t.post();
        OffsetFields answer;
        answer.toleranceSeconds = 120;
        dialogs_->offsetsAnswers.push_back(answer);
        form_->findChild<QToolButton*>("ToolButton6")->click();
        QVERIFY(settled());
        QVERIFY(dialogs_->messages.empty());
        QCOMPARE(status("StatusSummary"),
                 QString("2 точки, 2 фото: привязано 1, не привязано 1 (в разрывах 1), по дате файла 1"));
        QCOMPARE(status("StatusOffsets"), QString("Смещение: трек 0:00, фото 0:00; допуск 120 с"));
        QCOMPARE(cell(2, 1).toString(), QString("gap"));
        QCOMPARE(cell(2, 1, Qt::ToolTipRole).toString(),
                 QString("Не привязано: разрыв в треке, до ближайшей точки 240 с (0:04:00), допуск 120 с\n"
                         "Время съёмки из EXIF"));
        QVERIFY(cell(1, 1, Qt::ToolTipRole).toString().endsWith("Время съёмки взято из даты файла JPEG: в EXIF его нет"));
        // The photographs' own zones: the status bar and each reason say so.
        answer.photoZones = true;
        dialogs_->offsetsAnswers.push_back(answer);
        form_->findChild<QToolButton*>("ToolButton6")->click();
        QVERIFY(settled());
        QCOMPARE(status("StatusOffsets"), QString("Смещение: трек 0:00, фото 0:00; допуск 120 с; часовой пояс из фото"));
        QVERIFY(cell(2, 1, Qt::ToolTipRole).toString().endsWith("Время съёмки из EXIF; пояса в фото нет, только смещение фото"));

        selectRow(2);
        dialogs_->okCancelAnswers = {true};
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(status("StatusSummary"), QString("2 точки, 1 фото: привязано 1, по дате файла 1"));
    }

    // "Очистить таблицу" asks, then empties the table and numbers the next
    // track from 1 again, so a second trip needs no restart.
    void clearEmptiesTheTableAfterAsking() {
        QCOMPARE(caption("ClearTable"), QString("Очистить таблицу"));
        QCOMPARE(action("ClearTable")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QVERIFY(form_->findChild<QMenu*>("LoadMenu")->actions().contains(action("ClearTable")));
        const std::string track = std::string(GEOVANTA_TEST_DATA) + "/walk.plt";
        dialogs_->fileAnswers.push_back(Dialogs::FileChoice{track, 1});
        action("LTrack")->trigger();
        QVERIFY(settled());
        loadFixture();
        QCOMPARE(state().trackCounter, uint16_t{1});

        dialogs_->okCancelAnswers = {false, true};
        action("ClearTable")->trigger();
        QVERIFY(rows() > 4);
        QCOMPARE(dialogs_->questions,
                 std::vector<std::string>{"Убрать из таблицы все точки и фотографии? Файлы на диске не изменятся."});
        action("ClearTable")->trigger();
        QCOMPARE(rows(), std::size_t{0});
        QCOMPARE(model()->rowCount(), 0);
        QCOMPARE(state().trackCounter, uint16_t{0});
        QCOMPARE(status("StatusSummary"), QString("0 точек, фотографий нет"));
        // An empty table has nothing to lose: no question.
        action("ClearTable")->trigger();
        QCOMPARE(dialogs_->questions.size(), std::size_t{2});

        dialogs_->fileAnswers.push_back(Dialogs::FileChoice{track, 1});
        action("LTrack")->trigger();
        QVERIFY(settled());
        QCOMPARE(cell(0, 1).toString(), QString("T01-0001"));
    }

    void modelFollowsTheTable() {
        QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        loadFixture();
        DataTable& t = test::rowsOf(*document_);
        QCOMPARE(model()->rowCount(), 4);
        QCOMPARE(model()->rowCount(model()->index(0, 0)), 0);
        QCOMPARE(model()->columnCount(model()->index(0, 0)), 0);
        QVERIFY(!model()->data(model()->index(4, 0), Qt::DisplayRole).isValid());

        // Bulk work: the view keeps the count it was told and repaints once at the end.
        QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
        QSignalSpy changes(model(), &QAbstractItemModel::dataChanged);
        t.suspendDisplay();
        t.suspendDisplay();
        t.moveTo(3);
        t.deleteRow();
        t.moveTo(2);
        t.deleteRow();
        addRow(t, "T", "T01-0002", 40513.6, 55.8);
        QCOMPARE(model()->rowCount(), 4);
        QVERIFY(!model()->data(model()->index(3, 1), Qt::DisplayRole).isValid());
        t.resumeDisplay();
        QCOMPARE(resets.count(), 0);
        t.resumeDisplay();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(model()->rowCount(), 3);

        CalcPositions(t, BindingParams{});
        QCOMPARE(resets.count(), 2);
        QCOMPARE(grid()->currentIndex().row(), 0);
        t.clear();
        QCOMPARE(model()->rowCount(), 0);
    }

    // The window's OziExplorer commands go through the real library loader to
    // the logging stand-in beside the test program; closing the window closes
    // the API once.
    void oziCommandsAndShutdown() {
        const QString log = QDir::temp().filePath(QString("geovanta-ozi-%1.log").arg(QCoreApplication::applicationPid()));
        QFile::remove(log);
        qputenv("GEOVANTA_OZIAPI_LOG", log.toLocal8Bit());
        loadFixture();
        form_->findChild<QToolButton*>("ToolButton4")->click();
        action("OFoto")->trigger();
        delete form_;
        form_ = nullptr;
        qunsetenv("GEOVANTA_OZIAPI_LOG");
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList calls = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QStringList names;
        for (const QString& c : calls) names << c.section(' ', 0, 0);
        QCOMPARE(names, QStringList({"oziFindOzi", "oziClearTrack", "oziCreateTrackPoint", "oziShowAllTracks",
                                     "oziFindOzi", "oziDeleteWpByName", "oziCreateWPex", "oziShowAllTracks",
                                     "oziCloseApi"}));
        QCOMPARE(dialogs_->messages.size(), std::size_t(2));
        QCOMPARE(dialogs_->messages[0].text, std::string("Путь передан в OziExplorer"));
        QCOMPARE(dialogs_->messages[1].text, std::string("Координаты фотографий переданы в OziExplorer"));
        QFile::remove(log);
    }

    // A track with photographs among its points: rows 1 and 5 unplaced, 3 placed.
    void loadPhotosAmongPoints() {
        DataTable& t = test::rowsOf(*document_);
        addRow(t, "T", "T01-0001", 40513.50, 55.75);
        addRow(t, "F", "IMG_0001.JPG", 40513.51, std::nullopt, "/photos/IMG_0001.JPG");
        addRow(t, "T", "T01-0002", 40513.52, 55.76);
        addRow(t, "F", "IMG_0002.JPG", 40513.53, 55.77, "/photos/IMG_0002.JPG");
        addRow(t, "T", "T01-0003", 40513.54, 55.78);
        addRow(t, "F", "IMG_0003.JPG", 40513.55, std::nullopt, "/photos/IMG_0003.JPG");
        addRow(t, "T", "T01-0004", 40513.56, 55.79);
    }
    QStringList gridNames() {
        QStringList names;
        for (int r = 0; r < view()->rowCount(); ++r) names << view()->index(r, 1).data().toString();
        return names;
    }
    std::size_t mapRow() { return form_->map()->canvas()->currentRow().value_or(999); }

    // "Только фото" shows the photo rows alone, and every road between the
    // grid's rows and the table's (the cursor, edits, deletes, the map both
    // ways, a drag) goes by the table's rows; the map keeps everything, and
    // the choice is kept for the next start.
    void photosOnlyView() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        reopenWithSettingsIn(dir);
        loadPhotosAmongPoints();
        const std::size_t marks = form_->map()->canvas()->data().photos.size();
        selectRow(4);  // a track point, hidden once the view changes
        action("PhotosOnly")->trigger();
        QVERIFY(action("PhotosOnly")->isChecked());
        QCOMPARE(gridNames(), QStringList({"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
        QCOMPARE(form_->map()->canvas()->data().tracks.size(), std::size_t{1});
        QCOMPARE(form_->map()->canvas()->data().photos.size(), marks);
        // The nearest photograph after the hidden row becomes current.
        QCOMPARE(grid()->currentIndex().row(), 2);
        QCOMPARE(form_->table().recNo(), std::size_t{5});
        QCOMPARE(mapRow(), std::size_t{5});

        selectRow(1);
        QCOMPARE(form_->table().recNo(), std::size_t{3});
        QCOMPARE(mapRow(), std::size_t{3});
        emit form_->map()->rowActivated(5);
        QCOMPARE(grid()->currentIndex().row(), 2);
        emit form_->map()->rowActivated(2);  // a track point: the next photograph
        QCOMPARE(grid()->currentIndex().row(), 1);
        QVERIFY(view()->setData(view()->index(2, 1), "Мост", Qt::EditRole));
        QCOMPARE(form_->table().text(5, FieldId::Name), std::string("Мост"));
        QCOMPARE(gridNames().size(), 3);
        const std::unique_ptr<QMimeData> mime(view()->mimeData({view()->index(2, 1)}));
        QCOMPARE(photoRowsOf(mime.get()), std::vector<std::size_t>{5});

        // A new row is no photograph: Insert makes none here.
        QTest::keyClick(grid(), Qt::Key_Insert);
        QCOMPARE(rows(), std::size_t{7});
        selectRow(0);
        dialogs_->okCancelAnswers = {true};
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(rows(), std::size_t{6});
        QCOMPARE(form_->table().text(1, FieldId::Name), std::string("T01-0002"));
        QCOMPARE(gridNames(), QStringList({"IMG_0002.JPG", "Мост"}));
        QCOMPARE(form_->table().recNo(), std::size_t{2});

        // A pass keeps the view; leaving it keeps the row.
        CalcPositions(test::rowsOf(*document_), BindingParams{});
        QCOMPARE(gridNames(), QStringList({"IMG_0002.JPG", "Мост"}));
        selectRow(1);
        action("PhotosOnly")->trigger();
        QCOMPARE(view()->rowCount(), 6);
        QCOMPARE(grid()->currentIndex().row(), 4);
        QCOMPARE(form_->table().recNo(), std::size_t{4});

        action("PhotosOnly")->trigger();
        QVERIFY(form_->close());
        QFile ini(dir.filePath("Geovanta.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("PhotosOnly=1"));
        QVERIFY(document_->settings().read("/").photosOnly);
        reopenWithSettingsIn(dir);
        QVERIFY(action("PhotosOnly")->isChecked());
        loadPhotosAmongPoints();
        QCOMPARE(gridNames(), QStringList({"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    }

    // F3 and Shift+F3 go round the unplaced photographs, in either view;
    // letters typed find a row by its name, starting no editor.
    void findingPhotosByKey() {
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        loadPhotosAmongPoints();
        grid()->setFocus();
        const auto f3 = [&](Qt::KeyboardModifiers mods = {}) {
            QTest::keyClick(grid(), Qt::Key_F3, mods);
            return form_->table().recNo();
        };
        QCOMPARE(f3(), std::size_t{1});  // from no row at all: the first
        QCOMPARE(f3(), std::size_t{5});
        QCOMPARE(f3(), std::size_t{1});  // round the end
        QCOMPARE(f3(Qt::ShiftModifier), std::size_t{5});
        QCOMPARE(mapRow(), std::size_t{5});
        action("PhotosOnly")->trigger();
        QCOMPARE(f3(Qt::ShiftModifier), std::size_t{1});
        QCOMPARE(grid()->currentIndex().row(), 0);
        QCOMPARE(f3(), std::size_t{5});
        QCOMPARE(grid()->currentIndex().row(), 2);
        action("PhotosOnly")->trigger();

        QTest::keyClicks(grid(), "t01-0003");
        QCOMPARE(form_->table().recNo(), std::size_t{4});
        QVERIFY(!grid()->findChild<QLineEdit*>());
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(grid(), "img_0002");
        QCOMPARE(form_->table().recNo(), std::size_t{3});

        // With every photograph placed F3 stays where it is and says why.
        DataTable& t = test::rowsOf(*document_);
        for (const std::size_t row : {1, 5}) {
            t.moveTo(row);
            t.edit();
            t.field(FieldId::Lat).setAsFloat(55.7);
            t.post();
        }
        selectRow(2);
        QCOMPARE(f3(), std::size_t{2});
        QCOMPARE(form_->statusBar()->currentMessage(), QString("Непривязанных фотографий нет"));
    }

    // Tab leaves the grid for the tray of unplaced photographs and the map;
    // Ctrl+T, the key of the offsets button and of its menu item, opens the
    // offsets once.
    void keysReachThePanelsAndTheOffsets() {
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        loadPhotosAmongPoints();
        CalcPositions(test::rowsOf(*document_), BindingParams{});
        QVERIFY(form_->map()->tray()->isVisible());
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form_->map()->tray());
        QTest::keyClick(form_->map()->tray(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form_->map()->canvas());

        dialogs_->offsetsAnswers.push_back(std::nullopt);
        QTest::keyClick(form_, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(dialogs_->offsetsShown.size(), std::size_t{1});
        QVERIFY(form_->findChild<QMenu*>("EditMenu")->actions().contains(action("TimeOffsets")));
    }

    // "Фотографии" asks for the folder, saves it and scans it into the grid.
    void photoLoadThroughTheMenu() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* name : {"b.JPG", "a.nef", "notes.txt"}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a photograph");
        }
        const std::string settingsPath = dir.filePath("Geovanta.ini").toStdString();
        delete form_;
        document_ = std::make_unique<Document>(document_->state(), SettingsFile(settingsPath));
        form_ = new TMainForm(*document_, *dialogs_, test::programTools(document_->table()));
        dialogs_->photoFolderAnswers.push_back(dir.path().toStdString());
        action("LFoto")->trigger();
        QVERIFY(settled());
        QCOMPARE(dialogs_->photoFolderShown.size(), std::size_t(1));
        QCOMPARE(model()->rowCount(), 2);
        QCOMPARE(form_->table().lastScanPhotoCount(), 2);
        QCOMPARE(state().photoFolder, dir.path().toStdString());
        QVERIFY(QFile::exists(dir.filePath("Geovanta.ini")));
        QVERIFY(dialogs_->messages.empty());
    }

    // The popup's tag command runs the real ExifTool on the grid's photo and
    // reports a photo it could not write, naming it, instead of a confirmation.
    void exifCommandReportsAFailureForThatPhoto() {
        loadFixture();
        selectRow(2);  // IMG_0002.JPG, placed, whose file does not exist
        form_->updatePopupItems();
        QVERIFY(action("EXIF1")->isEnabled());
        action("EXIF1")->trigger();
        QTRY_COMPARE(dialogs_->messages.size(), std::size_t(1));
        QCOMPARE(dialogs_->messages[0].kind, MessageKind::Failure);
        QVERIFY2(dialogs_->messages[0].text.find("/photos/IMG_0002.JPG") != std::string::npos,
                 dialogs_->messages[0].text.c_str());
        QVERIFY(form_->isEnabled());
    }

    // "Запись" holds the write and the choices made before it, each ticked
    // as the settings have it and saved as it changes; while a write or a
    // job runs, none is offered.
    void writeMenuHoldsTheChoicesBeforeAnyWrite() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        state().writeTarget = WriteTarget::RawSidecars;
        state().clearUnplaced = true;
        reopenWithSettingsIn(dir);
        QCOMPARE(action("WriteTags")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(action("WriteRawIntoSidecars")->isChecked());
        QVERIFY(!action("WriteIntoPhotos")->isChecked());
        QVERIFY(!action("KeepExisting")->isChecked());
        QVERIFY(action("ClearUnplaced")->isChecked());
        action("KeepExisting")->trigger();
        action("ClearUnplaced")->trigger();
        action("WriteIntoPhotos")->trigger();
        QVERIFY(!action("WriteRawIntoSidecars")->isChecked());
        QCOMPARE(state().writeTarget, WriteTarget::Photos);
        QVERIFY(state().keepExisting);
        QVERIFY(!state().clearUnplaced);
        const ProgramState saved = document_->settings().read("/");
        QCOMPARE(saved.writeTarget, WriteTarget::Photos);
        QVERIFY(saved.keepExisting);
        QVERIFY(!saved.clearUnplaced);
        QVERIFY(dialogs_->messages.empty());
    }

    // The menu's choice sends the next write's positions into an XMP file
    // beside the photograph, which ExifTool never opens; it is saved.
    void menuChoiceSendsPositionsIntoXmpFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        reopenWithSettingsIn(dir);
        const QString photo = dir.filePath("IMG_0002.CR3");
        QFile file(photo);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no image at all");
        file.close();
        addRow(test::rowsOf(*document_), "F", "IMG_0002", 40513.52, 55.76, photo.toUtf8().constData());
        QVERIFY(action("WriteIntoPhotos")->isChecked());
        action("WriteIntoSidecars")->trigger();
        QCOMPARE(state().writeTarget, WriteTarget::Sidecars);
        QFile ini(dir.filePath("Geovanta.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("WriteSidecars=1"));

        selectRow(0);
        form_->updatePopupItems();
        action("EXIF1")->trigger();
        QTRY_COMPARE(dialogs_->messages.size(), std::size_t(1));
        QCOMPARE(dialogs_->messages[0].text, std::string("Координаты записаны"));
        QVERIFY(QFile::exists(dir.filePath("IMG_0002.xmp")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("no image at all"));
    }

    // Tags written by an ExifTool that never answers: the window's own
    // thread goes on meanwhile with only the commands that change the table
    // off, and closing the window ends the write within its grace.
    void aHangingTagWriteNeitherFreezesNorHoldsTheWindow() {
        QTemporaryDir tools;
        const QString hanging = tools.filePath("exiftool");
        QFile script(hanging);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexec sleep 1000\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        form_->setExifTool(hanging.toStdString());
        form_->document().state().exifToolTimeout = 60;
        loadFixture();

        form_->findChild<QToolButton*>("ToolButton8")->click();
        QVERIFY(form_->tagWriteRunning());
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(10);
        QTest::qWait(500);
        QVERIFY2(ticks >= 20, QByteArray::number(ticks));
        QVERIFY(!form_->findChild<QToolButton*>("ToolButton8")->isEnabled());
        QVERIFY(!action("LTrack")->isEnabled() && !action("ClearTable")->isEnabled());
        QVERIFY(!action("WriteTags")->isEnabled() && !action("KeepExisting")->isEnabled());
        QVERIFY(action("OTrack")->isEnabled());
        selectRow(2);
        form_->updatePopupItems();
        QVERIFY(!action("EXIF1")->isEnabled());

        QElapsedTimer closing;
        closing.start();
        QVERIFY(!form_->close());  // not yet: the write ends first
        QTRY_VERIFY_WITH_TIMEOUT(!form_->tagWriteRunning(), 5000);
        QTRY_VERIFY(!form_->isVisible());
        qInfo("closed %lld ms after close() during the write", static_cast<long long>(closing.elapsed()));
        QVERIFY(closing.elapsed() < 4000);
        QVERIFY(dialogs_->messages.empty());
    }

    // "GPS трек" asks for a file, reads it by the chosen filter entry and
    // brings the dialog back with that entry and file the next time.
    void trackLoadThroughTheMenu() {
        const std::string data = GEOVANTA_TEST_DATA;
        dialogs_->fileAnswers.push_back(Dialogs::FileChoice{data + "/walk.plt", 1});
        dialogs_->fileAnswers.push_back(Dialogs::FileChoice{data + "/places.wpt", 2});
        action("LTrack")->trigger();
        QVERIFY(settled());
        form_->findChild<QToolButton*>("ToolButton1")->click();
        QVERIFY(settled());
        QCOMPARE(dialogs_->openFileCalls.size(), std::size_t(2));
        QVERIFY(dialogs_->openFileCalls[0].filters.starts_with("Треки OziExplorer|*.PLT;"));
        QCOMPARE(dialogs_->openFileCalls[1].filterIndex, 1);
        QCOMPARE(dialogs_->openFileCalls[1].fileName, data + "/walk.plt");
        QVERIFY(model()->rowCount() > 2);
        QCOMPARE(cell(0, 1).toString().left(4), QString("T01-"));
        QCOMPARE(state().dataFolder, data + "/");
    }

    // Between passes the map changes only the rows edited, inserted or
    // deleted in the grid: a line they do not touch keeps the levels of
    // detail that paints made of it.
    void gridEditsChangeOnlyTheirRowsOnTheMap() {
        DataTable& t = test::rowsOf(*document_);
        addRow(t, "T", "T01-0001", 40513.50, 55.75);
        addRow(t, "T", "T01-0002", 40513.51, 55.76);
        addRow(t, "T", "T02-0001", 40513.52, 55.77);
        addRow(t, "T", "T02-0002", 40513.53, 55.78);
        addRow(t, "P", "WP", 40513.54, 55.79);
        addRow(t, "F", "IMG.JPG", 40513.60, std::nullopt, "/p/IMG.JPG");  // after the track: unplaced
        CalcPositions(t, BindingParams{});
        const MapCanvas* canvas = form_->map()->canvas();
        auto track = [](const MapData& d, const char* name) -> const MapTrack& {
            return *std::find_if(d.tracks.begin(), d.tracks.end(), [&](const MapTrack& t) { return t.name == name; });
        };
        auto level = [&](const MapData& d) { return &track(d, "T02").lod.level(track(d, "T02").points, 12); };
        // The copy holds on to the levels, so a new snapshot cannot reuse their memory.
        const MapData before = canvas->data();
        const TrackLod::Level* untouched = level(before);
        auto edit = [&](int row, const char* name) {
            return model()->setData(model()->index(row, 1), QString::fromUtf8(name), Qt::EditRole);
        };

        QVERIFY(edit(4, "Кремль"));
        QCOMPARE(canvas->data().waypoints.at(0).name, std::string("Кремль"));
        QVERIFY(edit(1, "T03-0001"));  // out of its line into a new one
        QCOMPARE(canvas->data().tracks.size(), std::size_t{3});
        QCOMPARE(track(canvas->data(), "T03").rows, std::vector<std::size_t>{1});
        QCOMPARE(level(canvas->data()), untouched);

        QVERIFY(form_->map()->tray()->isVisible());
        selectRow(5);
        dialogs_->okCancelAnswers = {true};
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(canvas->data().unplaced.empty());
        QVERIFY(!form_->map()->tray()->isVisible());
        QCOMPARE(level(canvas->data()), untouched);

        CalcPositions(t, BindingParams{});  // a pass takes a new snapshot
        QVERIFY(level(canvas->data()) != untouched);
    }

    // A photograph dragged from the grid onto the map takes the place under
    // the mouse by hand: green, told so, kept through an offsets change and
    // back, given back to the pass from its row's menu; Ctrl+Z and
    // Ctrl+Shift+Z walk those steps.
    void aRowDraggedOntoTheMapIsPlacedByHand() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        reopenWithSettingsIn(dir);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        DataTable& t = test::rowsOf(*document_);
        const std::string photo = std::string(GEOVANTA_TEST_DATA) + "/../../examples/photos/IMG_0008.JPG";
        addRow(t, "T", "T01-0001", 40513.50, 55.75);
        addRow(t, "T", "T01-0002", 40513.51, 55.76);
        addRow(t, "F", "IMG_0008", 40513.60, std::nullopt, photo.c_str());  // after the track
        CalcPositions(t, BindingParams{});
        const int row = 2;
        const QColor red(255, 0, 0), green(0, 128, 0);
        QCOMPARE(cell(row, 1, Qt::ForegroundRole).value<QColor>(), red);

        MapCanvas* canvas = form_->map()->canvas();
        const QPoint to(canvas->width() / 2 + 30, canvas->height() / 2 - 20);
        const LatLon expected = *canvas->viewport().positionAt({double(to.x()), double(to.y())});
        const std::unique_ptr<QMimeData> mime(model()->mimeData({model()->index(row, 1), model()->index(row, 3)}));
        QDragEnterEvent enter(to, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(canvas->dropTarget());  // the map shows where it will land
        const Viewport before = canvas->viewport();
        QDropEvent drop(QPointF(to), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!canvas->dropTarget());
        // The map stays as the person saw it, though the tray under it went.
        QCOMPARE(canvas->viewport().zoom(), before.zoom());
        QCOMPARE(canvas->viewport().center().x, before.center().x);
        QCOMPARE(canvas->viewport().center().y, before.center().y);

        auto expectPlacedByHand = [&] {
            QCOMPARE(cell(row, 1, Qt::ForegroundRole).value<QColor>(), green);
            QVERIFY(cell(row, 1, Qt::ToolTipRole).toString().contains("привязано вручную"));
            QCOMPARE(t.real(row, FieldId::Lat), expected.lat);
            QCOMPARE(t.real(row, FieldId::Lon), expected.lon);
            QCOMPARE(canvas->data().photos.size(), std::size_t{1});
            QVERIFY(canvas->data().photos[0].byHand);
            QVERIFY(canvas->data().unplaced.empty());
        };
        expectPlacedByHand();
        QCOMPARE(status("StatusSummary"), QString("2 точки, 1 фото: привязано 1 (вручную 1)"));

        for (int hours : {1, 0}) {
            OffsetFields answer;
            answer.photoHours = hours;
            dialogs_->offsetsAnswers.push_back(answer);
            form_->findChild<QToolButton*>("ToolButton6")->click();
            QVERIFY(settled());
            expectPlacedByHand();
        }
        QVERIFY(dialogs_->messages.empty());

        // Its mark shows the photograph's name and time, and its picture once read.
        const ScreenPoint mark = canvas->viewport().toScreen(mercator::project(expected));
        const QPoint markAt(qRound(mark.x), qRound(mark.y));
        QHelpEvent hover(QEvent::ToolTip, markAt, canvas->mapToGlobal(markAt));
        QApplication::sendEvent(canvas, &hover);
        PhotoPreview* preview = form_->handPlacing()->preview();
        QVERIFY(preview->isVisible());
        QVERIFY(preview->text().startsWith("IMG_0008\n01.12.2010"));
        QTRY_VERIFY(preview->hasImage());

        // Given back to the pass from the row's menu, it is red again; Ctrl+Z
        // takes that back, a second Ctrl+Z the placement itself.
        selectRow(row);
        form_->updatePopupItems();
        QVERIFY(action("ReleaseHand")->isEnabled());
        action("ReleaseHand")->trigger();
        QVERIFY(settled());
        QCOMPARE(cell(row, 1, Qt::ForegroundRole).value<QColor>(), red);
        QTest::keyClick(form_, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(settled());
        expectPlacedByHand();
        QTest::keyClick(form_, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(settled());
        QCOMPARE(cell(row, 1, Qt::ForegroundRole).value<QColor>(), red);
        QVERIFY(!t.placedByHand(row));
        QTest::keyClick(form_, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(settled());
        expectPlacedByHand();
    }
};

QTEST_MAIN(TMainFormTest)
#include "tmainform_test.moc"
