#include "admin/ui/cursor_fields.h"

#include "admin/price_editing.h"
#include "core/error.h"
#include "db/table_cursor.h"
#include "db/table_cursor_model.h"

#include <QLineEdit>

CursorFields::CursorFields(TableCursor& cursor, QObject* parent)
    : QObject(parent)
    , m_cursor(cursor)
{
    connect(&m_cursor, &TableCursor::currentChanged, this, &CursorFields::load);
    connect(&m_cursor, &TableCursor::rowsChanged, this, &CursorFields::load);
    connect(&m_cursor, &TableCursor::stateChanged, this, &CursorFields::load);
    connect(&m_cursor, &TableCursor::valueChanged, this, &CursorFields::load);
}

void CursorFields::bind(QLineEdit* edit, const QString& column, Kind kind, Typed typed, Held held)
{
    const int index = static_cast<int>(m_fields.size());
    m_fields.append({edit, column, kind, std::move(typed), std::move(held)});
    connect(edit, &QLineEdit::textEdited, this,
            [this, index](const QString& text) { typedInto(index, text); });
    load();
}

QVariant CursorFields::valueOf(Kind kind, const QString& text)
{
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Integer: {
        if (text.trimmed().isEmpty())
            return {};
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        return ok ? QVariant(n) : QVariant(text);
    }
    case Kind::Money:
        return priceFromText(text).value_or(QVariant(text));
    }
    return text;
}

void CursorFields::typedInto(int field, const QString& text)
{
    const Field& f = m_fields[field];
    m_typing = field;
    guarded([&] {
        if (m_insertWhenEmpty && m_cursor.isEmpty())
            m_cursor.insert();
        if (f.typed)
            f.typed(text);
        else
            m_cursor.setValue(f.column, valueOf(f.kind, text));
    });
    m_typing = -1;
}

void CursorFields::load()
{
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field& f = m_fields[i];
        if (i == m_typing || !f.edit || (f.held && f.held()))
            continue;
        const QString text =
            TableCursorModel::displayText(m_cursor.value(f.column), f.kind == Kind::Money);
        if (f.edit->text() != text)
            f.edit->setText(text);
    }
}
