#include "admin/countries.h"

#include "core/prompter.h"
#include "db/sql.h"
#include "db/table_cursor.h"

std::optional<QString> countryDeleteRefusal(QSqlDatabase db, qint64 id)
{
    if (runSql(db, QStringLiteral("SELECT Identyfikator_g FROM Ksiazka WHERE ID_Panstwo=:ID"),
               {{":ID", id}})
            .next())
        return QStringLiteral("Nie można usunąć tego państwa, ponieważ istnieją wpisy w książce "
                              "meldunkowej powiązane z tym państwem.");
    if (runSql(db, QStringLiteral("SELECT Identyfikator_o FROM Arch_os WHERE ID_Panstwo=:ID"),
               {{":ID", id}})
            .next())
        return QStringLiteral("Nie można usunąć tego państwa, ponieważ istnieją osoby w archiwum "
                              "klientów powiązane z tym państwem.");
    return std::nullopt;
}

bool deleteCountry(QSqlDatabase db, TableCursor& countries)
{
    if (countries.state() == TableCursor::State::Insert)
        return false;
    const qint64 id = countries.value(QStringLiteral("ID")).toLongLong();
    if (id <= 0)
        return false;
    if (const std::optional<QString> refusal = countryDeleteRefusal(db, id)) {
        prompter().warn(*refusal, kCountryDeleteCaption);
        return false;
    }
    countries.remove();
    return true;
}

bool finishNewCountry(TableCursor& countries)
{
    if (countries.state() != TableCursor::State::Insert)
        return false;
    if (countries.value(QStringLiteral("Nazwa")).toString().isEmpty()) {
        countries.cancel();
        return false;
    }
    countries.post();
    countries.refresh();
    countries.setCurrent(countries.rowCount() - 1);
    return true;
}
