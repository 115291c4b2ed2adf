#include "app/commands.h"
#include "app/main_window.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>

namespace {
template <class T> T* control(QWidget* window, const QString& name)
{
    auto* c = window->findChild<T*>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

// Each field stands exactly over (or under) its column: the same left edge
// and the same width, in the window's coordinates.
void expectFieldsOverColumns(QWidget* window, QTableView* grid, const QStringList& fields,
                             int firstColumn)
{
    const QHeaderView* header = grid->horizontalHeader();
    for (int i = 0; i < fields.size(); ++i) {
        const auto* field = control<QLineEdit>(window, fields[i]);
        const int column = firstColumn + i;
        const QPoint columnAt =
            grid->viewport()->mapTo(window, QPoint(header->sectionViewportPosition(column), 0));
        const int fieldX = field->mapTo(window, QPoint(0, 0)).x();
        const QString where = QStringLiteral("%1: field at x %2 width %3, column at x %4 width %5")
                                  .arg(fields[i])
                                  .arg(fieldX)
                                  .arg(field->width())
                                  .arg(columnAt.x())
                                  .arg(header->sectionSize(column));
        QVERIFY2(qAbs(fieldX - columnAt.x()) <= 1, qPrintable(where));
        QVERIFY2(qAbs(field->width() - header->sectionSize(column)) <= 1, qPrintable(where));
        QVERIFY2(field->isVisible(), qPrintable(where));
    }
}

// The fields stay over their columns at the start, after a column is made
// wider, and after the grid is scrolled sideways; a field whose column is
// scrolled out of view is out of view as well.
void checkFieldsFollowColumns(QWidget* window, const QString& gridName, const QStringList& fields,
                              int firstColumn)
{
    auto* grid = control<QTableView>(window, gridName);
    QHeaderView* header = grid->horizontalHeader();
    expectFieldsOverColumns(window, grid, fields, firstColumn);
    if (QTest::currentTestFailed())
        return;

    // As a receptionist drags the border of the second column.
    const int wider = firstColumn + 1;
    header->setSectionResizeMode(wider, QHeaderView::Interactive);
    header->resizeSection(wider, header->sectionSize(wider) + 30);
    QCoreApplication::processEvents();
    expectFieldsOverColumns(window, grid, fields, firstColumn);
    if (QTest::currentTestFailed())
        return;

    header->resizeSection(wider, grid->viewport()->width());
    QCoreApplication::processEvents();
    QScrollBar* sideways = grid->horizontalScrollBar();
    QVERIFY(sideways->maximum() > 0);
    sideways->setValue(sideways->maximum());
    QCoreApplication::processEvents();
    expectFieldsOverColumns(window, grid, fields, firstColumn);
    QVERIFY(header->sectionViewportPosition(firstColumn) + header->sectionSize(firstColumn) <= 0);
    QVERIFY(control<QLineEdit>(window, fields.first())->visibleRegion().isEmpty());
    QVERIFY(!control<QLineEdit>(window, fields.last())->visibleRegion().isEmpty());
}

// Every column of the grid is whole within its viewport, without a
// sideways scroll bar, and as wide as its title and texts need.
void expectAllColumnsShown(QTableView* grid)
{
    const QHeaderView* header = grid->horizontalHeader();
    const QString name = grid->objectName();
    QVERIFY2(grid->model()->rowCount() > 0, qPrintable(name));
    QVERIFY2(grid->horizontalScrollBar()->maximum() == 0,
             qPrintable(QStringLiteral("%1 scrolls sideways by %2")
                            .arg(name)
                            .arg(grid->horizontalScrollBar()->maximum())));
    const QAbstractItemView* view = grid;
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        const QString column = QStringLiteral("%1, column %2 '%3'")
                                   .arg(name)
                                   .arg(c)
                                   .arg(grid->model()->headerData(c, Qt::Horizontal).toString());
        const int left = header->sectionViewportPosition(c);
        QVERIFY2(left >= 0 && left + header->sectionSize(c) <= grid->viewport()->width(),
                 qPrintable(column + QStringLiteral(" lies outside the grid")));
        // Column 0 of the stay editor's lists is narrow and empty on purpose.
        if (c == 0 && qobject_cast<QTableWidget*>(grid))
            continue;
        const int needed = std::max(header->sectionSizeHint(c), view->sizeHintForColumn(c));
        QVERIFY2(header->sectionSize(c) >= needed,
                 qPrintable(column + QStringLiteral(" is %1 wide and needs %2")
                                         .arg(header->sectionSize(c))
                                         .arg(needed)));
    }
}

// The program's frame at its start size, with the commands wired.
struct Frame800 {
    TGlowne window;
    Frame800()
    {
        wireCommands(window);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the frame is not shown");
    }
    QWidget* newestChild() const
    {
        const auto children = window.childArea()->subWindowList(QMdiArea::CreationOrder);
        return children.isEmpty() ? nullptr : children.last()->widget();
    }
};

// Shows a modal window that a menu command opens, as the program shows it,
// hands it to `check` and closes it.
void showModal(TestEnv& env, Frame800& frame, const QString& command,
               const std::function<void(QDialog&)>& check)
{
    bool shown = false;
    env.modal.push_back([&](QDialog& dialog) {
        shown = true;
        dialog.show();
        if (QTest::qWaitForWindowExposed(&dialog))
            check(dialog);
        dialog.reject();
        return static_cast<int>(QDialog::Rejected);
    });
    frame.window.command(command)->trigger();
    QVERIFY2(shown, qPrintable(command));
}

TestEnv::Options demo()
{
    TestEnv::Options o;
    o.demo = true;
    return o;
}

// A new reservation with two rooms of the free-rooms list and one bed of the
// free-places list, so that each list holds its longest texts.
QWidget* editorWithLines(Frame800& frame)
{
    frame.window.command("mnuWprowadzanieRezerwacji")->trigger();
    QWidget* editor = frame.newestChild();
    auto* rooms = control<QTableWidget>(editor, "WolnePokoje");
    for (int r = 0; r < rooms->rowCount(); ++r)
        if (rooms->item(r, 1)->text() == "11" || rooms->item(r, 1)->text() == "12")
            rooms->selectionModel()->select(rooms->model()->index(r, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    control<QPushButton>(editor, "Dodaj")->click();
    control<QTabWidget>(editor, "Dostepnosc")->setCurrentIndex(1);
    control<QRadioButton>(editor, "Pojedyncze")->click();
    control<QRadioButton>(editor, "TypK")->click();
    auto* places = control<QTableWidget>(editor, "WolneMiejsca");
    places->selectRow(0);
    control<QPushButton>(editor, "Dodaj")->click();
    QCoreApplication::processEvents();
    return editor;
}

void expectEditorListsShown(QWidget* editor)
{
    auto* pages = control<QTabWidget>(editor, "Dostepnosc");
    for (int page : {1, 0}) {
        pages->setCurrentIndex(page);
        QCoreApplication::processEvents();
        expectAllColumnsShown(control<QTableView>(editor, page ? "WolneMiejsca" : "WolnePokoje"));
    }
    expectAllColumnsShown(control<QTableView>(editor, "RezPozycje"));
}
} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void searchFieldsStandOverTheirColumns_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("modal");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("firstColumn");

        const QStringList stayList{"SzukajId", "SzukajNazwa", "SzukajOd", "SzukajDo", "SzukajOsob"};
        const QStringList roomList{"SzukajNazwa", "SzukajPokoj", "SzukajOd", "SzukajDo",
                                   "SzukajMiejsc"};
        const QStringList guests{"SzukajNazwisko", "SzukajImie", "SzukajNazwa",
                                 "SzukajPokoj",    "SzukajOd",   "SzukajDo"};
        const QStringList archive{"SzukajNazwisko", "SzukajImie", "SzukajAdres",
                                  "SzukajPokoj",    "SzukajOd",   "SzukajDo"};
        QTest::newRow("stay list, accommodations")
            << "mnuModyfikowanieKwaterunku" << false << "Grupy" << stayList << 0;
        QTest::newRow("stay list, reservations")
            << "mnuModyfikowanieRezerwacji" << false << "Grupy" << stayList << 0;
        QTest::newRow("stay list, payments") << "mnuOplaty" << false << "Grupy" << stayList << 0;
        QTest::newRow("current guests")
            << "mnuSpisZakwaterowanych" << true << "Lista" << guests << 0;
        QTest::newRow("arrivals") << "mnuPrzyjezdzajacy" << true << "Lista" << roomList << 0;
        QTest::newRow("departures") << "mnuWyjezdzajacy" << true << "Lista" << roomList << 0;
        QTest::newRow("reservation list")
            << "mnuListaRezerwacji" << true << "Lista" << roomList << 0;
        QTest::newRow("person archive") << "mnuArchiwum" << true << "Lista" << archive << 0;
        QTest::newRow("stay editor, free rooms")
            << "mnuWprowadzanieRezerwacji" << false << "WolnePokoje"
            << QStringList{"FiltrPokoje1", "FiltrPokoje2", "FiltrPokoje3", "FiltrPokoje4"} << 1;
    }
    void searchFieldsStandOverTheirColumns()
    {
        QFETCH(QString, command);
        QFETCH(bool, modal);
        QFETCH(QString, grid);
        QFETCH(QStringList, fields);
        QFETCH(int, firstColumn);
        TestEnv env(demo());
        Frame800 frame;
        if (modal) {
            showModal(env, frame, command, [&](QDialog& dialog) {
                checkFieldsFollowColumns(&dialog, grid, fields, firstColumn);
            });
        } else {
            frame.window.command(command)->trigger();
            QWidget* child = frame.newestChild();
            QVERIFY(child);
            QCoreApplication::processEvents();
            checkFieldsFollowColumns(child, grid, fields, firstColumn);
        }
        QCOMPARE(env.unexpectedModals, 0);
    }

    // At the program's start size every column of these grids is shown whole.
    void columnsFitAtTheStartSize_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("grids");
        QTest::newRow("stay list")
            << "mnuModyfikowanieKwaterunku" << QStringList{"Grupy", "Pokoje"};
        QTest::newRow("current guests") << "mnuSpisZakwaterowanych" << QStringList{"Lista"};
        QTest::newRow("reservation list") << "mnuListaRezerwacji" << QStringList{"Lista"};
        QTest::newRow("person archive") << "mnuArchiwum" << QStringList{"Lista"};
        QTest::newRow("free rooms")
            << "mnuWolnePokoje" << QStringList{"WolnePokoje", "WolneMiejsca"};
    }
    void columnsFitAtTheStartSize()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, grids);
        TestEnv env(demo());
        Frame800 frame;
        QCOMPARE(frame.window.size(), QSize(800, 600));
        auto check = [&](QWidget* window) {
            for (const QString& grid : grids) {
                expectAllColumnsShown(control<QTableView>(window, grid));
                if (QTest::currentTestFailed())
                    return;
            }
        };
        if (command == "mnuModyfikowanieKwaterunku") {
            frame.window.command(command)->trigger();
            QCoreApplication::processEvents();
            check(frame.newestChild());
        } else {
            showModal(env, frame, command, [&](QDialog& dialog) { check(&dialog); });
        }
    }

    // The stay editor, maximised in the frame, shows its three lists whole at
    // the start size, and the lists take the room of a larger frame and give
    // it back when the frame is made small again.
    void stayEditorListsFitTheFrame()
    {
        TestEnv env(demo());
        Frame800 frame;
        QWidget* editor = editorWithLines(frame);
        QCOMPARE(frame.window.childArea()->subWindowList().first()->isMaximized(), true);
        QCOMPARE(control<QTableWidget>(editor, "RezPozycje")->rowCount(), 3);
        expectEditorListsShown(editor);
        if (QTest::currentTestFailed())
            return;
        auto* chosen = control<QTableView>(editor, "RezPozycje");
        const int startWidth = chosen->width();

        frame.window.resize(1920, 1080);
        QCoreApplication::processEvents();
        QCOMPARE(frame.window.size(), QSize(1920, 1080));
        QVERIFY2(chosen->width() > startWidth + 400,
                 qPrintable(QStringLiteral("%1 -> %2").arg(startWidth).arg(chosen->width())));
        // The lists are filled again while they are wide.
        auto* rooms = control<QTableWidget>(editor, "WolnePokoje");
        rooms->selectRow(0);
        control<QPushButton>(editor, "Dodaj")->click();
        control<QPushButton>(editor, "OdswiezPokoje")->click();
        QCOMPARE(control<QTableWidget>(editor, "RezPozycje")->rowCount(), 4);
        expectEditorListsShown(editor);
        if (QTest::currentTestFailed())
            return;

        frame.window.resize(800, 600);
        QCoreApplication::processEvents();
        expectEditorListsShown(editor);
    }

    void frameMayBeResizedAndMaximised()
    {
        TestEnv env;
        TGlowne w;
        QCOMPARE(w.size(), QSize(800, 600));
        QCOMPARE(w.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        w.show();
        w.resize(1920, 1080);
        QCOMPARE(w.size(), QSize(1920, 1080));
    }
};

REZYDO_TEST(TestWindowLayout);
#include "test_window_layout.moc"
