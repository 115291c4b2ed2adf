#pragma once

#include "db/column_kind.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

// A filter on rows already loaded, as the search fields of the browse windows
// build it:
//
//     Nazwisko Like 'Kow*' AND Od='2026-07-01' AND [Do]=2026-07-03 AND Osob=2
//
// - `Col Like 'pattern'`: `*` stands for any run of characters (the only
//   pattern character), so 'Kow*' means "begins with Kow". Letter case is
//   ignored. A pattern without `*` is an equality.
// - `Col='value'` or `Col=value`: equality by the column's kind: days as days
//   (the value must be a "yyyy-mm-dd" day), integers and money as numbers
//   (the value must be one), yes/no from 1/0, Tak/Nie, True/False; text
//   without regard to letter case.
// - Column names in any letter case, bare or in brackets ([OD], [Do]); the
//   keywords LIKE and AND in any letter case; conditions joined by AND.
// - In a quoted value a doubled quote is one literal quote ('O''Brien').
// - An empty or blank text is the empty filter: every row passes.
// - NULL never equals or matches anything, except that a NULL yes/no is "no".
//
// Parsing never throws: a malformed text (a stray quote, an unknown column, a
// value the column cannot hold, trailing words) gives an invalid expression
// whose error() says, in Polish, what is wrong.
class FilterExpression {
public:
    struct Column {
        QString name;
        ColumnKind kind = ColumnKind::Text;
    };

    FilterExpression() = default; // the empty filter
    static FilterExpression parse(const QString& text, const QList<Column>& columns);

    bool isValid() const { return m_error.isEmpty(); }
    bool isEmpty() const { return m_conditions.isEmpty(); }
    const QString& error() const { return m_error; }
    const QString& text() const { return m_text; }

    // Whether a loaded row (values in the order of the columns given to
    // parse()) passes every condition. An invalid expression passes nothing.
    bool matches(const QVector<QVariant>& row) const;

    struct Condition {
        int column = -1;
        ColumnKind kind = ColumnKind::Text;
        bool like = false;
        bool prefix = false; // Like 'text*' on a text column: compared in place
        QString pattern;     // case-folded, for Like and for text equality
        QVariant value;      // for equality: QDate, qlonglong (integers, money units), bool
    };
    // What a valid expression asks, so that a caller can narrow a statement
    // by it before the rows are tested with matches().
    const QList<Condition>& conditions() const { return m_conditions; }

private:
    QString m_text;
    QString m_error;
    QList<Condition> m_conditions;
};
