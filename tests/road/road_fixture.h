#pragma once

#include "reports/engine/document.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <functional>

// The controls of the real windows, found by their object names. A missing
// control is a mistake of the suite itself and ends it at once.
namespace road {

template <class T> T* control(QObject* parent, const char* name)
{
    T* c = parent->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s in %s", name, qPrintable(parent->objectName()));
    return c;
}

// Replaces the text of a field as the receptionist types it; Qt Test spells
// only ASCII as keys, other letters arrive as typed text.
inline void type(QObject* parent, const char* name, const QString& text)
{
    auto* edit = control<QLineEdit>(parent, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline void click(QObject* parent, const char* name)
{
    auto* button = control<QAbstractButton>(parent, name);
    QVERIFY2(button->isEnabled(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void choose(QObject* parent, const char* name, const QString& item)
{
    auto* combo = control<QComboBox>(parent, name);
    const int index = combo->findText(item);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("%1 has no item %2").arg(name, item)));
    combo->setCurrentIndex(index);
}

// A column of a grid bound to a model.
inline QStringList column(QTableView* grid, int c)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, c).data().toString();
    return out;
}

// Selects the row whose column `c` reads `text`; false when there is none.
inline bool selectRow(QTableView* grid, int c, const QString& text)
{
    const int row = static_cast<int>(column(grid, c).indexOf(text));
    if (row < 0)
        return false;
    grid->selectRow(row);
    return true;
}

// The non-blank rows of a text grid from column 1 on, "|"-joined.
inline QStringList tableRows(QTableWidget* t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < t->columnCount(); ++c)
            cells << (t->item(r, c) ? t->item(r, c)->text() : QString());
        if (!cells.join(QString()).isEmpty())
            out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// Selects the rows of a text grid holding the given room numbers.
inline void selectRooms(QTableWidget* t, const QStringList& rooms)
{
    t->clearSelection();
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, 1) && rooms.contains(t->item(r, 1)->text()))
            t->selectionModel()->select(t->model()->index(r, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// One showing of the modal window named `window`: `work` checks and works its
// controls, then `button` is clicked. Another window than the one foreseen,
// or a failed check, closes the window so that whatever waits on it ends.
inline std::function<int(QDialog&)> showing(const char* window, std::function<void(QDialog&)> work,
                                            const char* button)
{
    return [window, work = std::move(work), button](QDialog& d) {
        if (d.objectName() != QLatin1String(window)) {
            QTest::qFail(qPrintable(QStringLiteral("%1 shown instead of %2")
                                        .arg(d.objectName(), QLatin1String(window))),
                         __FILE__, __LINE__);
            d.reject();
            return d.result();
        }
        // The receptionist works in the dialog: it is the active window.
        if (!QTest::qWaitForWindowActive(&d, 1000))
            qWarning("%s did not become active", window);
        work(d);
        if (QTest::currentTestFailed())
            d.reject();
        else
            QTest::mouseClick(control<QAbstractButton>(&d, button), Qt::LeftButton);
        return d.result();
    };
}

// The text a named control printed, "<none>" when it is not on any page.
inline QString printed(const Document& doc, const QString& name)
{
    for (const Page& p : doc.pages)
        for (const PlacedItem& i : p.items)
            if (i.control == name)
                return i.text;
    return QStringLiteral("<none>");
}

// Every text one band printed over all pages.
inline QStringList bandTexts(const Document& doc, const QString& band)
{
    QStringList out;
    for (const Page& p : doc.pages)
        out << p.texts(band);
    return out;
}

} // namespace road
