#include "reports/guest_list_search.h"

#include "core/error.h"
#include "db/row_set.h"

namespace {
// A quoted value of a filter: a quote typed into a name stays part of the name.
QString quoted(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString beginsWith(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral(" Like '") + q + QStringLiteral("*'");
}

QString field(const QStringList& fields, int i)
{
    return i < fields.size() ? fields[i] : QString();
}
} // namespace

QString currentGuestsSearch(const QStringList& fields)
{
    static const char* const columns[] = {"Nazwisko", "Imie", "Nazwa", "Nr_pokoju", "Od", "Do"};
    QStringList parts;
    for (int i = 0; i < 6; ++i) {
        const QString text = field(fields, i);
        if (text.isEmpty())
            continue;
        parts << QString::fromLatin1(columns[i]) +
                     (i < 4 ? beginsWith(text) : QLatin1Char('=') + quoted(text));
    }
    return parts.join(QStringLiteral(" AND "));
}

QString roomListSearch(const QStringList& fields)
{
    static const char* const heads[] = {"Nazwa", "Nr_Pokoju", "OD=", "DO=", "Miejsc="};
    QStringList parts;
    for (int i = 0; i < 5; ++i) {
        const QString text = field(fields, i);
        if (text.isEmpty())
            continue;
        parts << QString::fromLatin1(heads[i]) + (i < 2 ? beginsWith(text) : text);
    }
    return parts.join(QStringLiteral(" AND "));
}

void openStatement(RowSet& rows, const Statement& statement)
{
    QList<QByteArray> names;
    for (const auto& [name, value] : statement.bindings)
        names << name.toUtf8();
    const auto& b = statement.bindings;
    switch (b.size()) {
    case 0:
        rows.open(statement.sql);
        break;
    case 1:
        rows.open(statement.sql, {{names[0].constData(), b[0].second}});
        break;
    case 2:
        rows.open(statement.sql,
                  {{names[0].constData(), b[0].second}, {names[1].constData(), b[1].second}});
        break;
    default:
        throw RezydoError(QStringLiteral("Za dużo parametrów zapytania"));
    }
}
