#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>

class QLineEdit;
class TableCursor;

// Text boxes bound to columns of a cursor's current row, as in a data-aware
// form: they show the row (with its pending edit), and typing into one sets
// the column, which puts the row into edit state.
class CursorFields : public QObject {
    Q_OBJECT
public:
    enum class Kind { Text, Integer, Money };
    // Replaces the plain setting of the column when the user types.
    using Typed = std::function<void(const QString& text)>;
    // True while the box holds a text that must not be overwritten.
    using Held = std::function<bool()>;

    CursorFields(TableCursor& cursor, QObject* parent);

    void bind(QLineEdit* edit, const QString& column, Kind kind = Kind::Text, Typed typed = {},
              Held held = {});
    // A table of one row (Config) gets that row when typed into while empty.
    void setInsertWhenEmpty(bool on) { m_insertWhenEmpty = on; }
    // Shows the current row in every box but the one being typed into.
    void load();

    // What typing `text` into a box of `kind` stores: whole numbers and
    // amounts as numbers, anything else as typed, so the database judges it.
    static QVariant valueOf(Kind kind, const QString& text);

private:
    struct Field {
        QPointer<QLineEdit> edit;
        QString column;
        Kind kind;
        Typed typed;
        Held held;
    };
    void typedInto(int field, const QString& text);

    TableCursor& m_cursor;
    QVector<Field> m_fields;
    int m_typing = -1;
    bool m_insertWhenEmpty = false;
};
