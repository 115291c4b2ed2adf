#include "core/ui/column_fields.h"
#include "tests/support/test_registry.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A window with a row of four fields over columns 1 to 4 of a six-column grid.
struct Window {
    QWidget window;
    QStandardItemModel model{3, 6};
    QTableView* grid = nullptr;
    ColumnFields* fields = nullptr;

    Window()
    {
        auto* layout = new QVBoxLayout(&window);
        grid = new QTableView(&window);
        grid->setModel(&model);
        grid->verticalHeader()->hide();
        grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        fields = new ColumnFields(grid, &window);
        for (int c = 1; c <= 4; ++c)
            fields->addField(c, QStringLiteral("Pole%1").arg(c));
        layout->addWidget(fields);
        layout->addWidget(grid);
        window.resize(500, 300);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("window not shown");
    }

    // "x width" of field i and of its column, in the window's coordinates.
    QString field(int i) const
    {
        const QLineEdit* f = fields->fields()[i];
        return QStringLiteral("%1 %2").arg(f->mapTo(&window, QPoint()).x()).arg(f->width());
    }
    QString column(int c) const
    {
        const QHeaderView* h = grid->horizontalHeader();
        const int x =
            grid->viewport()->mapTo(&window, QPoint(h->sectionViewportPosition(c), 0)).x();
        return QStringLiteral("%1 %2").arg(x).arg(h->sectionSize(c));
    }
};

} // namespace

class TestColumnFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldsFollowTheirColumns_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("as laid out") << "";
        QTest::newRow("a column before them resized") << "resize 0";
        QTest::newRow("their column resized") << "resize 2";
        QTest::newRow("columns moved") << "move";
        QTest::newRow("scrolled sideways") << "scroll";
        QTest::newRow("row numbers shown") << "row header";
        QTest::newRow("window made wider") << "window";
        QTest::newRow("model reset") << "reset";
    }
    void fieldsFollowTheirColumns()
    {
        QFETCH(QString, change);
        Window w;
        QHeaderView* header = w.grid->horizontalHeader();
        if (change == "resize 0") {
            header->resizeSection(0, 140);
        } else if (change == "resize 2") {
            header->resizeSection(2, 33);
        } else if (change == "move") {
            header->moveSection(3, 1); // the third field's column now stands second
        } else if (change == "scroll") {
            header->resizeSection(0, 300);
            QVERIFY(w.grid->horizontalScrollBar()->maximum() > 0);
            w.grid->horizontalScrollBar()->setValue(250);
        } else if (change == "row header") {
            w.grid->verticalHeader()->setMinimumWidth(60);
            w.grid->verticalHeader()->show();
        } else if (change == "window") {
            w.window.resize(700, 300);
        } else if (change == "reset") {
            w.model.clear();
            w.model.setColumnCount(6);
            w.model.setRowCount(2);
            header->resizeSection(1, 150);
        }
        QCoreApplication::processEvents();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w.field(i), w.column(i + 1));
    }

    // The part of a column scrolled out of the grid's view is out of view in
    // its field too; a hidden column hides its field.
    void fieldsShowOnlyWhatTheGridShows()
    {
        Window w;
        QHeaderView* header = w.grid->horizontalHeader();
        header->resizeSection(0, 300);
        header->resizeSection(1, 100);
        header->resizeSection(5, 300);
        QCoreApplication::processEvents();
        w.grid->horizontalScrollBar()->setValue(340);
        QCoreApplication::processEvents();
        const QList<QLineEdit*>& fields = w.fields->fields();
        // Column 1 runs from 300 to 400: its last 60 pixels are left in view.
        QCOMPARE(header->sectionViewportPosition(1), -40);
        QCOMPARE(fields[0]->visibleRegion().boundingRect(), QRect(40, 0, 60, fields[0]->height()));

        w.grid->horizontalScrollBar()->setValue(0);
        QCoreApplication::processEvents();
        // Now the last columns are beyond the viewport's right edge.
        QVERIFY(header->sectionViewportPosition(4) >= w.grid->viewport()->width());
        QVERIFY(fields[3]->visibleRegion().isEmpty());

        header->hideSection(2);
        QCoreApplication::processEvents();
        QVERIFY(fields[1]->isHidden());
        QCOMPARE(w.field(2), w.column(3));
        header->showSection(2);
        QCoreApplication::processEvents();
        QVERIFY(!fields[1]->isHidden());
        QCOMPARE(w.field(1), w.column(2));
    }

    void rowIsAsHighAsItsFields()
    {
        Window w;
        QCOMPARE(w.fields->height(), w.fields->fields().first()->sizeHint().height());
        QCOMPARE(w.fields->fields().first()->objectName(), QString("Pole1"));
    }
};

REZYDO_TEST(TestColumnFields);
#include "test_column_fields.moc"
