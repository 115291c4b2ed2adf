#include "admin/person_archive.h"

#include "db/column_kind.h"
#include "db/polish_collation.h"
#include "db/row_set.h"

#include <tuple>

namespace {
const QString kBase = QStringLiteral(
    "SELECT Arch_os.Identyfikator_o AS Identyfikator_o, Arch_os.Nazwisko AS Nazwisko, "
    "Arch_os.Imie AS Imie, Arch_os.Adres AS Adres, Ksiazka.Identyfikator_g AS Identyfikator_g, "
    "Ksiazka.Nr_pokoju AS Nr_pokoju, Ksiazka.Od AS OD, Ksiazka.\"Do\" AS \"Do\", "
    "Arch_os.Dokument_rodz AS Dokument_rodz, Arch_os.Dokument_nr AS Dokument_nr, "
    "Arch_os.Data_ur AS Data_ur, Arch_os.Miejsce_ur AS Miejsce_ur, Arch_os.Uwagi AS Uwagi "
    "FROM Arch_os LEFT JOIN Ksiazka ON Arch_os.Identyfikator_o = Ksiazka.Identyfikator_o "
    "WHERE (Ksiazka.Wykwaterowany = 1 OR Ksiazka.Identyfikator_g IS NULL) ");
// "Wszystkie osoby" in the order of the groups, the window's first statement:
// the checked-out entries in the order of the register's index on the group,
// then the persons without any entry. The same rows as kBase gives, without
// joining every person and sorting the whole archive, which is half the time
// of loading it; only the few persons of each group are sorted, into the
// order of their records, as the sort of kBase leaves them.
const QString kAllByGroup = QStringLiteral(
    "SELECT Ksiazka.Identyfikator_o AS Identyfikator_o, Arch_os.Nazwisko AS Nazwisko, "
    "Arch_os.Imie AS Imie, Arch_os.Adres AS Adres, Ksiazka.Identyfikator_g AS Identyfikator_g, "
    "Ksiazka.Nr_pokoju AS Nr_pokoju, Ksiazka.Od AS OD, Ksiazka.\"Do\" AS \"Do\", "
    "Arch_os.Dokument_rodz AS Dokument_rodz, Arch_os.Dokument_nr AS Dokument_nr, "
    "Arch_os.Data_ur AS Data_ur, Arch_os.Miejsce_ur AS Miejsce_ur, Arch_os.Uwagi AS Uwagi "
    "FROM Ksiazka JOIN Arch_os ON Arch_os.Identyfikator_o = Ksiazka.Identyfikator_o "
    "WHERE Ksiazka.Wykwaterowany = 1 "
    "UNION ALL "
    "SELECT Arch_os.Identyfikator_o, Arch_os.Nazwisko, Arch_os.Imie, Arch_os.Adres, NULL, NULL, "
    "NULL, NULL, Arch_os.Dokument_rodz, Arch_os.Dokument_nr, Arch_os.Data_ur, "
    "Arch_os.Miejsce_ur, Arch_os.Uwagi FROM Arch_os WHERE NOT EXISTS (SELECT 1 FROM Ksiazka "
    "WHERE Ksiazka.Identyfikator_o = Arch_os.Identyfikator_o) ");
const QString kByDates = QStringLiteral("AND Ksiazka.Od >= :Od AND Ksiazka.Od <= :Do ");
const QString kFullData = QStringLiteral("AND Arch_os.Nazwisko <> '' AND Arch_os.Imie <> '' ");

// The SQL of a sort field; the keys are the fields the grid titles sort by.
// Names and addresses go in Polish order; the room number sorts as text.
QString orderColumn(const QString& field)
{
    static const std::tuple<const char*, const char*, bool> columns[] = {
        {"Nazwisko", "Arch_os.Nazwisko", true},
        {"Imie", "Arch_os.Imie", true},
        {"Adres", "Arch_os.Adres", true},
        {"Nr_pokoju", "Ksiazka.Nr_pokoju", false},
        {"OD", "Ksiazka.Od", false},
        {"Do", "Ksiazka.\"Do\"", false},
        {"Identyfikator_g", "Ksiazka.Identyfikator_g", false}};
    for (const auto& [name, sql, polish] : columns)
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(sql) + (polish ? kCollatePolish : QString());
    return {};
}

QString orderClause(const QString& order)
{
    QString field = order.trimmed();
    bool descending = false;
    if (field.endsWith(QLatin1String(" desc"), Qt::CaseInsensitive)) {
        field.chop(5);
        field = field.trimmed();
        descending = true;
    }
    QString column = orderColumn(field);
    if (column.isEmpty()) {
        column = orderColumn(QStringLiteral("Identyfikator_g"));
        descending = true;
    }
    return QStringLiteral("ORDER BY ") + column +
           (descending ? QStringLiteral(" DESC") : QString());
}

QString quotedText(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return q;
}
} // namespace

QStringList archiveKindItems()
{
    return {QStringLiteral("Wszystkie osoby"), QStringLiteral("Wszystkie osoby w/g dat"),
            QStringLiteral("Pełne dane w/g dat")};
}

bool archiveKindHasDates(ArchiveKind kind)
{
    return kind != ArchiveKind::AllPersons;
}

QStringList archiveSortFields()
{
    return {QStringLiteral("Nazwisko"),  QStringLiteral("Imie"), QStringLiteral("Adres"),
            QStringLiteral("Nr_pokoju"), QStringLiteral("OD"),   QStringLiteral("Do")};
}

ArchiveStatement archiveStatement(ArchiveKind kind, const QDate& from, const QDate& to,
                                  const QString& order)
{
    ArchiveStatement s;
    const QString clause = orderClause(order);
    if (kind == ArchiveKind::AllPersons &&
        clause.startsWith(QLatin1String("ORDER BY Ksiazka.Identyfikator_g"))) {
        s.sql = kAllByGroup + QStringLiteral("ORDER BY Identyfikator_g") +
                (clause.endsWith(QLatin1String(" DESC")) ? QStringLiteral(" DESC") : QString()) +
                QStringLiteral(", Identyfikator_o");
        return s;
    }
    s.sql = kBase;
    if (archiveKindHasDates(kind)) {
        s.sql += kByDates;
        s.dated = true;
        s.from = from.toString(QStringLiteral("yyyy-MM-dd"));
        s.to = to.toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (kind == ArchiveKind::FullByDates)
        s.sql += kFullData;
    s.sql += clause;
    return s;
}

void openArchive(RowSet& rows, const ArchiveStatement& statement)
{
    rows.setKinds({{"Identyfikator_o", ColumnKind::Integer},
                   {"Identyfikator_g", ColumnKind::Integer},
                   {"Nr_pokoju", ColumnKind::Text},
                   {"OD", ColumnKind::Day},
                   {"Do", ColumnKind::Day},
                   {"Data_ur", ColumnKind::Day},
                   {"Dokument_rodz", ColumnKind::Integer}});
    if (statement.dated)
        rows.open(statement.sql, {{":Od", statement.from}, {":Do", statement.to}});
    else
        rows.open(statement.sql);
}

QString archiveSearch(const QStringList& boxes)
{
    // Names, address and room begin with the text; the days are equal to it.
    static const std::pair<const char*, bool> columns[] = {{"Nazwisko", true}, {"Imie", true},
                                                           {"Adres", true},    {"Nr_pokoju", true},
                                                           {"[OD]", false},    {"[Do]", false}};
    QStringList parts;
    for (int i = 0; i < 6 && i < boxes.size(); ++i) {
        const QString& text = boxes[i];
        if (text.isEmpty())
            continue;
        const auto& [column, beginning] = columns[i];
        parts << QString::fromLatin1(column) + QStringLiteral(" Like '") + quotedText(text) +
                     (beginning ? QStringLiteral("*'") : QStringLiteral("'"));
    }
    return parts.join(QStringLiteral(" AND "));
}
