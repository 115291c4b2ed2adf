#include "register/register_browse.h"

#include "core/error.h"
#include "db/polish_collation.h"
#include "db/row_set.h"
#include "db/sql.h"

#include <tuple>

namespace {
const QString kJoined = QStringLiteral(
    "SELECT Kwat_hot.Identyfikator, Kwat_hot.Nazwa, Ksiazka.Od, Ksiazka.\"Do\", "
    "Ksiazka.Nr_pokoju, Ksiazka.Identyfikator_o, Arch_os.Nazwisko, Arch_os.Imie, "
    "Arch_os.Adres, Arch_os.Dokument_rodz, Arch_os.Dokument_nr, Arch_os.Data_ur, "
    "Arch_os.Miejsce_ur, Arch_os.Uwagi "
    "FROM (Kwat_hot INNER JOIN Ksiazka ON Kwat_hot.Identyfikator = Ksiazka.Identyfikator_g) "
    "INNER JOIN Arch_os ON Arch_os.Identyfikator_o = Ksiazka.Identyfikator_o WHERE 1=1");

// The fields a sort key may name, and the column each stands for; the days
// are the register entry's, not the group's. Names go in Polish order; the
// room number sorts as text.
const std::tuple<const char*, const char*, bool> kSortFields[] = {
    {"Identyfikator", "Kwat_hot.Identyfikator", false},
    {"Nazwa", "Kwat_hot.Nazwa", true},
    {"Nazwisko", "Arch_os.Nazwisko", true},
    {"Imie", "Arch_os.Imie", true},
    {"Nr_pokoju", "Ksiazka.Nr_pokoju", false},
    {"Od", "Ksiazka.Od", false},
    {"Do", "Ksiazka.\"Do\"", false},
};

bool byDates(RegisterDisplay display)
{
    return display != RegisterDisplay::All;
}

// A quoted filter value; a quote typed stays a quote of the text.
QString quoted(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}
} // namespace

QStringList registerDisplayItems()
{
    return {QStringLiteral("Wszystkie osoby"), QStringLiteral("Wszystkie osoby w/g dat"),
            QStringLiteral("Pełne dane w/g dat")};
}

QString registerOrderClause(const QString& order)
{
    const QString key = order.trimmed();
    if (key.isEmpty())
        return {};
    QString field = key;
    bool descending = false;
    const qsizetype blank = key.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        field = key.left(blank);
        const QString direction = key.mid(blank + 1).trimmed();
        descending = direction.compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        if (!descending && direction.compare(QLatin1String("asc"), Qt::CaseInsensitive) != 0)
            throw RezydoError(QStringLiteral("Nieznany porządek listy: ") + order);
    }
    for (const auto& [name, column, polish] : kSortFields)
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QStringLiteral(" ORDER BY ") + QLatin1String(column) +
                   (polish ? kCollatePolish : QString()) +
                   (descending ? QStringLiteral(" DESC") : QString()) +
                   QStringLiteral(", Ksiazka.rowid");
    throw RezydoError(QStringLiteral("Nieznany porządek listy: ") + order);
}

QString registerStatement(const RegisterQuery& query)
{
    QString sql = kJoined;
    if (byDates(query.display))
        sql += QStringLiteral(" AND Ksiazka.Od >= :Od1 AND Ksiazka.Od <= :Od2");
    if (query.display == RegisterDisplay::CompleteByDates)
        sql += QStringLiteral(" AND Arch_os.Nazwisko <> '' AND Arch_os.Imie <> ''");
    if (query.groupId > 0)
        sql += QStringLiteral(" AND Kwat_hot.Identyfikator = :Grupa");
    // Without a key the entries come in the order they were written, as the
    // file reads them through the group's index.
    const QString order = registerOrderClause(query.order);
    return sql + (order.isEmpty() ? QStringLiteral(" ORDER BY Ksiazka.rowid") : order);
}

void openRegisterList(RowSet& rows, const RegisterQuery& query)
{
    rows.setKinds({{"Od", ColumnKind::Day},
                   {"Do", ColumnKind::Day},
                   {"Data_ur", ColumnKind::Day},
                   {"Nr_pokoju", ColumnKind::Text}});
    const QString sql = registerStatement(query);
    const QVariant from = dayValue(query.from);
    const QVariant to = dayValue(query.to);
    const bool dates = byDates(query.display);
    const bool group = query.groupId > 0;
    if (dates && group)
        rows.open(sql, {{":Od1", from}, {":Od2", to}, {":Grupa", query.groupId}});
    else if (dates)
        rows.open(sql, {{":Od1", from}, {":Od2", to}});
    else if (group)
        rows.open(sql, {{":Grupa", query.groupId}});
    else
        rows.open(sql);
}

QString registerSearchFilter(const RegisterSearch& search)
{
    const std::pair<const char*, const QString*> beginning[] = {{"Nazwa", &search.groupName},
                                                                {"Nazwisko", &search.surname},
                                                                {"Imie", &search.firstName},
                                                                {"Nr_pokoju", &search.room}};
    QStringList parts;
    for (const auto& [column, text] : beginning)
        if (!text->isEmpty()) {
            QString q = *text;
            q.replace(QLatin1Char('\''), QStringLiteral("''"));
            parts << QLatin1String(column) + QStringLiteral(" Like '") + q + QStringLiteral("*'");
        }
    if (!search.arrival.isEmpty())
        parts << QStringLiteral("Od=") + quoted(search.arrival.trimmed());
    if (!search.departure.isEmpty())
        parts << QStringLiteral("[Do]=") + quoted(search.departure.trimmed());
    return parts.join(QStringLiteral(" AND "));
}

int findRegisterEntry(const RowSet& rows, int groupId, int personId)
{
    const int group = rows.columnIndex(QStringLiteral("Identyfikator"));
    const int person = rows.columnIndex(QStringLiteral("Identyfikator_o"));
    if (group < 0 || person < 0)
        return -1;
    for (int r = 0; r < rows.rowCount(); ++r)
        if (rows.value(r, group).toInt() == groupId && rows.value(r, person).toInt() == personId)
            return r;
    return -1;
}

void removePersonFromGroup(QSqlDatabase db, int groupId, int personId)
{
    runInTransaction(db, [&] {
        runSql(db,
               QStringLiteral(
                   "DELETE FROM Ksiazka WHERE Identyfikator_g = :G AND Identyfikator_o = :O"),
               {{":G", groupId}, {":O", personId}});
    });
}
