#include "db/filter_expression.h"

#include "core/days.h"
#include "core/money.h"
#include "db/sql.h"

#include <optional>

namespace {

using Condition = FilterExpression::Condition;

// Whether `text` matches `pattern`, both case-folded; `*` is any run of characters.
bool globMatch(QStringView text, QStringView pattern)
{
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

std::optional<qlonglong> integerFromText(const QString& text)
{
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qlonglong>(n) : std::nullopt;
}

std::optional<bool> yesNoFromText(const QString& text)
{
    const QString t = text.trimmed().toCaseFolded();
    // -1 is how older data wrote "yes".
    if (t == u"1" || t == u"-1" || t == u"tak" || t == u"true")
        return true;
    if (t == u"0" || t == u"nie" || t == u"false")
        return false;
    return std::nullopt;
}

// Reads one filter text from left to right. Every method leaves `error` set
// and returns a failure value when the text stops making sense.
class Parser {
public:
    Parser(const QString& text, const QList<FilterExpression::Column>& columns)
        : m_text(text)
        , m_columns(columns)
    {
    }

    QList<Condition> conditions()
    {
        QList<Condition> result;
        skipBlanks();
        if (atEnd())
            return result;
        while (m_error.isEmpty()) {
            std::optional<Condition> c = condition();
            if (!c)
                break;
            result << *c;
            skipBlanks();
            if (atEnd())
                break;
            if (!keyword(u"and")) {
                fail(QStringLiteral("Niezrozumiały tekst: %1").arg(m_text.mid(m_pos)));
                break;
            }
            skipBlanks();
            if (atEnd())
                fail(QStringLiteral("Brak warunku po AND"));
        }
        return result;
    }

    const QString& error() const { return m_error; }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    void skipBlanks()
    {
        while (!atEnd() && peek().isSpace())
            ++m_pos;
    }
    void fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
    }
    static bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

    // A keyword (lower case) standing as a whole word at the current place.
    bool keyword(QStringView word)
    {
        const qsizetype end = m_pos + word.size();
        if (end > m_text.size() ||
            QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        if (end < m_text.size() && isNameChar(m_text[end]))
            return false;
        m_pos = end;
        return true;
    }

    std::optional<int> columnName()
    {
        QString name;
        if (peek() == QLatin1Char('[')) {
            const qsizetype close = m_text.indexOf(QLatin1Char(']'), m_pos + 1);
            if (close < 0) {
                fail(QStringLiteral("Brak nawiasu zamykającego nazwę kolumny"));
                return std::nullopt;
            }
            name = m_text.mid(m_pos + 1, close - m_pos - 1).trimmed();
            m_pos = close + 1;
        } else {
            const qsizetype start = m_pos;
            while (!atEnd() && isNameChar(peek()))
                ++m_pos;
            name = m_text.mid(start, m_pos - start);
        }
        if (name.isEmpty()) {
            fail(QStringLiteral("Brak nazwy kolumny: %1").arg(m_text.mid(m_pos)));
            return std::nullopt;
        }
        for (int i = 0; i < m_columns.size(); ++i)
            if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        fail(QStringLiteral("Nieznana kolumna: %1").arg(name));
        return std::nullopt;
    }

    std::optional<QString> value()
    {
        if (peek() != QLatin1Char('\'')) {
            const qsizetype start = m_pos;
            while (!atEnd() && !peek().isSpace() && peek() != QLatin1Char('\''))
                ++m_pos;
            if (m_pos == start) {
                fail(atEnd() ? QStringLiteral("Brak wartości w warunku")
                             : QStringLiteral("Niedozwolony apostrof w wartości"));
                return std::nullopt;
            }
            return m_text.mid(start, m_pos - start);
        }
        QString result;
        for (++m_pos; !atEnd(); ++m_pos) {
            if (peek() != QLatin1Char('\'')) {
                result += peek();
            } else if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == QLatin1Char('\'')) {
                result += QLatin1Char('\''); // a doubled quote is one quote
                ++m_pos;
            } else {
                ++m_pos;
                return result;
            }
        }
        fail(QStringLiteral("Niezamknięty apostrof w wartości"));
        return std::nullopt;
    }

    std::optional<Condition> condition()
    {
        const std::optional<int> column = columnName();
        if (!column)
            return std::nullopt;
        skipBlanks();
        Condition c;
        c.column = *column;
        c.kind = m_columns[*column].kind;
        if (peek() == QLatin1Char('=')) {
            ++m_pos;
        } else if (keyword(u"like")) {
            c.like = true;
        } else {
            fail(
                QStringLiteral("Oczekiwano = albo LIKE po nazwie %1").arg(m_columns[*column].name));
            return std::nullopt;
        }
        skipBlanks();
        const std::optional<QString> text = value();
        if (!text)
            return std::nullopt;
        // A pattern without "*" asks for equality, and then the value must fit the column.
        if (c.like && text->contains(QLatin1Char('*'))) {
            c.pattern = text->toCaseFolded();
            c.prefix = c.kind == ColumnKind::Text &&
                       c.pattern.indexOf(QLatin1Char('*')) == c.pattern.size() - 1;
            return c;
        }
        c.like = false;
        if (!setEqualValue(c, *text, m_columns[*column].name))
            return std::nullopt;
        return c;
    }

    bool setEqualValue(Condition& c, const QString& text, const QString& name)
    {
        switch (c.kind) {
        case ColumnKind::Text:
            c.pattern = text.toCaseFolded();
            return true;
        case ColumnKind::Day:
            if (const auto day = dayFromText(text)) {
                c.value = *day;
                return true;
            }
            fail(QStringLiteral("%1 nie jest datą (rrrr-mm-dd) dla kolumny %2").arg(text, name));
            return false;
        case ColumnKind::Integer:
            if (const auto n = integerFromText(text)) {
                c.value = *n;
                return true;
            }
            break;
        case ColumnKind::Money:
            if (const auto m = Money::parse(text)) {
                c.value = static_cast<qlonglong>(m->units());
                return true;
            }
            break;
        case ColumnKind::YesNo:
            if (const auto b = yesNoFromText(text)) {
                c.value = *b;
                return true;
            }
            fail(QStringLiteral("%1 nie jest wartością tak/nie dla kolumny %2").arg(text, name));
            return false;
        }
        fail(QStringLiteral("%1 nie jest liczbą dla kolumny %2").arg(text, name));
        return false;
    }

    const QString& m_text;
    const QList<FilterExpression::Column>& m_columns;
    qsizetype m_pos = 0;
    QString m_error;
};

bool conditionHolds(const Condition& c, const QVariant& v)
{
    if (c.kind == ColumnKind::YesNo && !c.like)
        return (v.toLongLong() != 0) == c.value.toBool();
    if (v.isNull())
        return false;
    if (c.prefix) {
        // "Kow*", the search boxes' form: compared in place, since folding a
        // copy of every value costs most of the time on a large archive. A
        // text value is read where it is held, without a copy.
        const QStringView prefix = QStringView(c.pattern).chopped(1);
        if (v.typeId() == QMetaType::QString)
            return static_cast<const QString*>(v.constData())
                ->startsWith(prefix, Qt::CaseInsensitive);
        return v.toString().startsWith(prefix, Qt::CaseInsensitive);
    }
    if (c.like)
        return globMatch(columnText(v, c.kind).toCaseFolded(), c.pattern);
    switch (c.kind) {
    case ColumnKind::Day:
        return dayFromValue(v) == c.value.toDate();
    case ColumnKind::Integer:
    case ColumnKind::Money: {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        return ok && n == c.value.toLongLong();
    }
    case ColumnKind::Text:
    case ColumnKind::YesNo:
        break;
    }
    return v.toString().toCaseFolded() == c.pattern;
}

} // namespace

FilterExpression FilterExpression::parse(const QString& text, const QList<Column>& columns)
{
    FilterExpression result;
    result.m_text = text;
    Parser parser(text, columns);
    result.m_conditions = parser.conditions();
    result.m_error = parser.error();
    if (!result.m_error.isEmpty())
        result.m_conditions.clear();
    return result;
}

bool FilterExpression::matches(const QVector<QVariant>& row) const
{
    if (!isValid())
        return false;
    static const QVariant missing;
    for (const Condition& c : m_conditions) {
        // By reference: a copy of every value tested costs a share of a filter's time.
        if (!conditionHolds(c, c.column < row.size() ? row[c.column] : missing))
            return false;
    }
    return true;
}
