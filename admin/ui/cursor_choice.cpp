#include "admin/ui/cursor_choice.h"

#include "core/error.h"
#include "db/table_cursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {
template <class Show> void onRowShown(TableCursor& cursor, QObject* receiver, Show show)
{
    QObject::connect(&cursor, &TableCursor::currentChanged, receiver, show);
    QObject::connect(&cursor, &TableCursor::rowsChanged, receiver, show);
    QObject::connect(&cursor, &TableCursor::stateChanged, receiver, show);
    QObject::connect(&cursor, &TableCursor::valueChanged, receiver, show);
    show();
}

void setColumn(TableCursor& cursor, const QString& column, const QVariant& value)
{
    guarded([&] {
        if (cursor.isEmpty())
            cursor.insert();
        if (cursor.value(column) != value)
            cursor.setValue(column, value);
    });
}
} // namespace

void bindChoice(QComboBox* combo, TableCursor& cursor, const QString& column)
{
    QObject::connect(combo, &QComboBox::activated, combo, [combo, &cursor, column](int index) {
        setColumn(cursor, column, combo->itemText(index));
    });
    if (combo->isEditable())
        QObject::connect(
            combo->lineEdit(), &QLineEdit::textEdited, combo,
            [&cursor, column](const QString& text) { setColumn(cursor, column, text); });
    onRowShown(cursor, combo, [combo, &cursor, column] {
        const QString value = cursor.current() >= 0 ? cursor.value(column).toString() : QString();
        const int found = combo->findText(value);
        if (combo->isEditable()) {
            if (combo->currentText() != value)
                combo->setEditText(value);
            return;
        }
        combo->setPlaceholderText(value);
        if (combo->currentIndex() != found)
            combo->setCurrentIndex(found);
    });
}

void bindFlag(QCheckBox* box, TableCursor& cursor, const QString& column)
{
    QObject::connect(box, &QCheckBox::clicked, box,
                     [&cursor, column](bool on) { setColumn(cursor, column, on ? 1 : 0); });
    onRowShown(cursor, box, [box, &cursor, column] {
        box->setChecked(cursor.current() >= 0 && cursor.value(column).toInt() != 0);
    });
}
