// Filters typed into the search fields of the browse windows, applied to a
// small set of rows as a browse window loads them. The input is the filter
// text, optionally followed by a line of tab-separated cells making one more
// row to test it on.
//
// Properties: parsing never fails other than by an error value; a malformed
// filter keeps no row and a RowSet refuses it with the same message and
// leaves its rows as they were; a valid one keeps in the RowSet exactly the
// rows it matches; "X AND X" keeps what X keeps; and in a filter of Like
// conditions only, the in-place prefix match ('Kow*') keeps what the general
// pattern match ('Kow**') keeps.
#include "fuzz/fuzz_support.h"

#include "db/filter_expression.h"
#include "db/polish_collation.h"
#include "db/row_set.h"
#include "db/sql.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <vector>

namespace {

using Row = QVector<QVariant>;

const QList<FilterExpression::Column>& columns()
{
    static const QList<FilterExpression::Column> list{
        {QStringLiteral("Nr"), ColumnKind::Integer},
        {QStringLiteral("Nazwisko"), ColumnKind::Text},
        {QStringLiteral("Od"), ColumnKind::Day},
        {QStringLiteral("Do"), ColumnKind::Day},
        {QStringLiteral("Osob"), ColumnKind::Integer},
        {QStringLiteral("Kwota"), ColumnKind::Money},
        {QStringLiteral("Wykwaterowany"), ColumnKind::YesNo},
        {QStringLiteral("Miejscowość"), ColumnKind::Text},
    };
    return list;
}

// Rows as the SQLite driver hands them over: texts, whole numbers, NULLs, and
// values a careless import left in the wrong column.
const char* const kTable = R"(
CREATE TABLE Osoby (Nr INTEGER PRIMARY KEY, Nazwisko TEXT, Od TEXT, "Do" TEXT, Osob INTEGER,
                    Kwota INTEGER, Wykwaterowany INTEGER, "Miejscowość" TEXT);
INSERT INTO Osoby VALUES (1, 'Kowalski', '2026-07-01', '2026-07-03', 2, 1500000, 1, 'Łódź');
INSERT INTO Osoby VALUES (2, 'kowalska', '2026-07-01', '2026-07-01', 1, 0, 0, 'Kraków');
INSERT INTO Osoby VALUES (3, 'O''Brien', '2026-12-31 10:00', NULL, NULL, -32500, -1, NULL);
INSERT INTO Osoby VALUES (4, NULL, NULL, NULL, 0, NULL, NULL, '');
INSERT INTO Osoby VALUES (5, 'ŻÓŁĆ*', 'wczoraj', '2026-02-30', 'dwie', 'sto', 'tak', 'Gdańsk');
INSERT INTO Osoby VALUES (6, 'Straße', '2025-01-01', '2025-01-09', 40, 9223372036854775807,
                          2, 'ǅemal');
INSERT INTO Osoby VALUES (7, '', '', '', -1, -9223372036854775808, 0, 'Kowal*');
)";

struct Fixture {
    RowSet set;
    std::vector<Row> rows; // every loaded row, in the order of the query
    Fixture()
        : set([] { return QSqlDatabase::database(QStringLiteral("fuzz")); })
    {
        fuzzApplication();
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        addPolishText(db);
        for (const QString& statement : QString::fromUtf8(kTable).split(u';'))
            if (!statement.trimmed().isEmpty())
                QSqlQuery(db).exec(statement);
        set.setKinds({{"Od", ColumnKind::Day},
                      {"Do", ColumnKind::Day},
                      {"Kwota", ColumnKind::Money},
                      {"Wykwaterowany", ColumnKind::YesNo}});
        set.open(QStringLiteral("SELECT * FROM Osoby ORDER BY Nr"));
        for (int r = 0; r < set.rowCount(); ++r) {
            Row row;
            for (int c = 0; c < set.columns().size(); ++c)
                row << set.value(r, c);
            rows.push_back(row);
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// The cells of the input's second line, typed by the column: whole numbers
// where they read as one, an empty cell as NULL.
Row rowFromCells(const QString& line)
{
    Row row;
    for (const QString& cell : line.split(u'\t')) {
        bool number = false;
        const qlonglong n = cell.toLongLong(&number);
        row << (cell.isEmpty() ? QVariant() : number ? QVariant(n) : QVariant(cell));
    }
    return row;
}

std::vector<bool> matches(const FilterExpression& e, const std::vector<Row>& rows)
{
    std::vector<bool> out;
    for (const Row& r : rows)
        out.push_back(e.matches(r));
    return out;
}

void checkRowSet(const FilterExpression& e, const QString& text)
{
    Fixture& f = fixture();
    const int before = f.set.rowCount();
    const QVariant firstBefore = f.set.value(0, 0);
    const std::optional<QString> refused = f.set.setFilter(text);
    fuzzCheck(refused.has_value() == !e.isValid(), "the row set refuses what does not parse", text);
    if (refused) {
        fuzzCheck(*refused == e.error(), "the row set gives the parser's message", text);
        fuzzCheck(f.set.rowCount() == before && f.set.value(0, 0) == firstBefore,
                  "a refused filter leaves the rows as they were", text);
        return;
    }
    int visible = 0;
    for (const Row& r : f.rows)
        if (e.matches(r)) {
            fuzzCheck(visible < f.set.rowCount() && f.set.value(visible, 0) == r[0],
                      "the row set keeps the rows the filter matches, in order", text);
            ++visible;
        }
    fuzzCheck(visible == f.set.rowCount(), "the row set keeps no other rows", text);
    fuzzCheck(f.set.current() >= -1 && f.set.current() < f.set.rowCount() &&
                  (f.set.current() >= 0) == (f.set.rowCount() > 0),
              "the current row is a visible row", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = fuzzText(data, size);
    const qsizetype newline = input.indexOf(u'\n');
    const QString text = newline < 0 ? input : input.left(newline);
    std::vector<Row> rows = fixture().rows;
    rows.push_back(Row());
    if (newline >= 0)
        rows.push_back(rowFromCells(input.mid(newline + 1)));

    const FilterExpression e = FilterExpression::parse(text, columns());
    checkRowSet(e, text);
    const std::vector<bool> kept = matches(e, rows);
    if (!e.isValid()) {
        fuzzCheck(!e.error().isEmpty(), "a refusal says why", text);
        fuzzCheck(std::find(kept.begin(), kept.end(), true) == kept.end(),
                  "a malformed filter keeps no row", text);
        return 0;
    }
    if (text.trimmed().isEmpty())
        fuzzCheck(e.isEmpty() && std::find(kept.begin(), kept.end(), false) == kept.end(),
                  "a blank filter keeps every row", text);

    const FilterExpression twice =
        FilterExpression::parse(text + QStringLiteral(" AND ") + text, columns());
    fuzzCheck(e.isEmpty() || (twice.isValid() && matches(twice, rows) == kept),
              "X AND X keeps what X keeps", text);

    if (text.contains(u'=') || !text.contains(u'*'))
        return 0; // an equality compares a '*' as itself
    QString general = text;
    general.replace(u'*', QStringLiteral("**"));
    const FilterExpression doubled = FilterExpression::parse(general, columns());
    fuzzCheck(!doubled.isValid() || matches(doubled, rows) == kept,
              "a doubled * keeps what a single one keeps", text);
    return 0;
}
