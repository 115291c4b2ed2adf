#include "admin/person_archive.h"

#include "admin/archive_rows.h"
#include "db/column_kind.h"
#include "db/polish_collation.h"
#include "db/row_set.h"

#include <tuple>

namespace {
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
    s.sql = archiveWholeSql(kind, order);
    if (archiveKindHasDates(kind)) {
        s.dated = true;
        s.from = from.toString(QStringLiteral("yyyy-MM-dd"));
        s.to = to.toString(QStringLiteral("yyyy-MM-dd"));
    }
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
