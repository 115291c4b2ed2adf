#include "admin/archive_rows.h"

#include "core/error.h"
#include "db/data_module.h"
#include "db/engine.h"
#include "db/sql.h"

#include <QSqlQuery>

#include <sqlite3.h>

namespace {
const QStringList& columnNames()
{
    static const QStringList names = {QStringLiteral("Identyfikator_o"),
                                      QStringLiteral("Nazwisko"),
                                      QStringLiteral("Imie"),
                                      QStringLiteral("Adres"),
                                      QStringLiteral("Identyfikator_g"),
                                      QStringLiteral("Nr_pokoju"),
                                      QStringLiteral("OD"),
                                      QStringLiteral("Do"),
                                      QStringLiteral("Dokument_rodz"),
                                      QStringLiteral("Dokument_nr"),
                                      QStringLiteral("Data_ur"),
                                      QStringLiteral("Miejsce_ur"),
                                      QStringLiteral("Uwagi")};
    return names;
}
constexpr int kColumnCount = 13;
enum Column { Surname = 1, FirstName = 2, Address = 3, Room = 5, Arrival = 6, Departure = 7 };

ColumnKind columnKind(int column)
{
    switch (column) {
    case 0:
    case 4:
    case 8:
        return ColumnKind::Integer;
    case Arrival:
    case Departure:
    case 10:
        return ColumnKind::Day;
    default:
        return ColumnKind::Text;
    }
}

// The names are quoted: the server gives them back as written, not in lower case.
const QString kColumns = QStringLiteral(
    "SELECT Arch_os.Identyfikator_o AS \"Identyfikator_o\", Arch_os.Nazwisko AS \"Nazwisko\", "
    "Arch_os.Imie AS \"Imie\", Arch_os.Adres AS \"Adres\", Ksiazka.Identyfikator_g AS "
    "\"Identyfikator_g\", "
    "Ksiazka.Nr_pokoju AS \"Nr_pokoju\", Ksiazka.Od AS \"OD\", Ksiazka.\"Do\" AS \"Do\", "
    "Arch_os.Dokument_rodz AS \"Dokument_rodz\", Arch_os.Dokument_nr AS \"Dokument_nr\", "
    "Arch_os.Data_ur AS \"Data_ur\", Arch_os.Miejsce_ur AS \"Miejsce_ur\", Arch_os.Uwagi AS "
    "\"Uwagi\"");
// Every person with each of its checked-out stays, and once with empty stay
// columns when it has no register entry at all.
const QString kEveryPerson =
    QStringLiteral(" FROM Arch_os LEFT JOIN Ksiazka ON Arch_os.Identyfikator_o = "
                   "Ksiazka.Identyfikator_o WHERE (Ksiazka.Wykwaterowany = 1 OR "
                   "Ksiazka.Identyfikator_g IS NULL) ");
// The checked-out stays alone, for the orders by a stay and for the kinds by
// dates.
const QString kStays = QStringLiteral(
    " FROM Ksiazka JOIN Arch_os ON Arch_os.Identyfikator_o = Ksiazka.Identyfikator_o "
    "WHERE Ksiazka.Wykwaterowany = 1 ");
// The typeof() conditions hold for every row; on the file they let the
// statement take the archive's own indexes, which carry them. The server's
// indexes carry none, and there the conditions only mislead its planner into
// reading and sorting the whole register for every page.
QString stayIndexes(const QSqlDatabase& db)
{
    return engineOf(db) == Engine::File
               ? QStringLiteral("AND typeof(Ksiazka.Identyfikator_g) = 'integer' ")
               : QString();
}
QString personIndexes(const QSqlDatabase& db)
{
    return engineOf(db) == Engine::File
               ? QStringLiteral("AND typeof(Arch_os.Identyfikator_o) = 'integer' ")
               : QString();
}
const QString kByDates =
    QStringLiteral("AND ifnull(Ksiazka.Od, '') >= :Od AND ifnull(Ksiazka.Od, '') <= :Do ");
const QString kFullData = QStringLiteral("AND Arch_os.Nazwisko <> '' AND Arch_os.Imie <> '' ");

// The persons without any register entry, a slice of person records at a
// time, in the order of the person.
const QString kWithoutStay = QStringLiteral(
    "SELECT Arch_os.Identyfikator_o, Arch_os.Nazwisko, Arch_os.Imie, Arch_os.Adres, NULL, NULL, "
    "NULL, NULL, Arch_os.Dokument_rodz, Arch_os.Dokument_nr, Arch_os.Data_ur, "
    "Arch_os.Miejsce_ur, Arch_os.Uwagi FROM Arch_os WHERE NOT EXISTS (SELECT 1 FROM Ksiazka "
    "WHERE Ksiazka.Identyfikator_o = Arch_os.Identyfikator_o) ");
constexpr qint64 kPersonSlice = 20000;

// The rows of a statement, stepped on the connection's own SQLite handle
// where there is one (the values are packed straight from the engine's
// buffers, no QVariant made for them), through QSqlQuery otherwise.
class StatementRows {
public:
    StatementRows(const QSqlDatabase& db, const QString& sql,
                  const QList<std::pair<QString, QVariant>>& bindings)
    {
        m_db = sqliteHandleOf(db);
        if (!m_db) {
            m_query.emplace(db);
            m_query->setForwardOnly(true);
            if (!m_query->prepare(sql))
                throw DbError(m_query->lastError());
            for (const auto& [name, value] : bindings)
                m_query->bindValue(name, value);
            if (!m_query->exec())
                throw DbError(m_query->lastError());
            return;
        }
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &m_statement,
                               nullptr) != SQLITE_OK)
            fail();
        for (const auto& [name, value] : bindings) {
            const int at = sqlite3_bind_parameter_index(m_statement, name.toUtf8().constData());
            if (at == 0)
                continue;
            int rc = SQLITE_OK;
            switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
            case QMetaType::UnknownType:
                rc = sqlite3_bind_null(m_statement, at);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_statement, at, value.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(m_statement, at, value.toDouble());
                break;
            default: {
                const QByteArray bytes = value.toString().toUtf8();
                rc = sqlite3_bind_text(m_statement, at, bytes.constData(),
                                       static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
            }
            }
            if (rc != SQLITE_OK)
                fail();
        }
    }
    ~StatementRows() { sqlite3_finalize(m_statement); }
    StatementRows(const StatementRows&) = delete;
    StatementRows& operator=(const StatementRows&) = delete;

    bool next()
    {
        if (m_query) {
            if (m_query->next())
                return true;
            if (m_query->lastError().isValid())
                throw DbError(m_query->lastError());
            return false;
        }
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    // The first columns of the row, as many as `into` holds.
    void pack(PackedRows& into)
    {
        if (!m_query) {
            into.append(m_statement);
            return;
        }
        QVector<QVariant> row(into.columnCount());
        for (int i = 0; i < row.size(); ++i)
            row[i] = m_query->value(i);
        into.append(row);
    }
    QVariant value(int column) const
    {
        if (m_query)
            return m_query->value(column);
        switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_statement, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_statement, column));
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        default:
            return QVariant(QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)),
                sqlite3_column_bytes(m_statement, column)));
        }
    }

private:
    [[noreturn]] void fail() const { throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    std::optional<QSqlQuery> m_query;
};

// What the rows are sorted by: the group (latest first when descending, the
// persons of a group in the order of their records), a column of the stay,
// or a column of the person. Each order has keys that make it total.
enum class By { Group, Stay, Person };
struct Key {
    QString sql;
    bool descending = false;
};
struct Order {
    By by = By::Group;
    bool descending = true;
    QList<Key> keys;
};

Order archiveOrder(const QString& text)
{
    QString field = text.trimmed();
    bool descending = false;
    if (field.endsWith(QLatin1String(" desc"), Qt::CaseInsensitive)) {
        field.chop(5);
        field = field.trimmed();
        descending = true;
    }
    // Names and addresses go in Polish order; a room number sorts as text.
    static const std::tuple<const char*, By, const char*> columns[] = {
        {"Nazwisko", By::Person, "ifnull(Arch_os.Nazwisko, '') COLLATE PL"},
        {"Imie", By::Person, "ifnull(Arch_os.Imie, '') COLLATE PL"},
        {"Adres", By::Person, "ifnull(Arch_os.Adres, '') COLLATE PL"},
        {"Nr_pokoju", By::Stay, "ifnull(Ksiazka.Nr_pokoju, '')"},
        {"OD", By::Stay, "ifnull(Ksiazka.Od, '')"},
        {"Do", By::Stay, "ifnull(Ksiazka.\"Do\", '')"},
        {"Identyfikator_g", By::Group, "Ksiazka.Identyfikator_g"}};
    Order order;
    QString first = QStringLiteral("Ksiazka.Identyfikator_g");
    for (const auto& [name, by, sql] : columns)
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            order.by = by;
            order.descending = descending;
            first = QString::fromLatin1(sql);
        }
    const bool d = order.descending;
    switch (order.by) {
    case By::Group:
        order.keys = {{first, d},
                      {QStringLiteral("Ksiazka.Identyfikator_o"), false},
                      {QStringLiteral("Ksiazka.rowid"), false}};
        break;
    case By::Stay:
        order.keys = {{first, d}, {QStringLiteral("Ksiazka.rowid"), d}};
        break;
    case By::Person:
        order.keys = {{first, d},
                      {QStringLiteral("Arch_os.Identyfikator_o"), d},
                      {QStringLiteral("Ksiazka.rowid"), d}};
        break;
    }
    return order;
}

QString orderBy(const QList<Key>& keys)
{
    QStringList terms;
    for (const Key& k : keys)
        terms << k.sql + (k.descending ? QStringLiteral(" DESC") : QString());
    return QStringLiteral("ORDER BY ") + terms.join(QStringLiteral(", "));
}

// The rows after the last one read, from key `i` on. A NULL key (the entry of
// a person without any) is the person's only row, so nothing follows it on
// that person.
QString after(const QList<Key>& keys, const QVariantList& last, int i)
{
    if (i >= keys.size() || last.value(i).isNull())
        return {};
    const QString name = QStringLiteral(":k%1").arg(i);
    const QString beyond =
        keys[i].sql + (keys[i].descending ? QStringLiteral(" < ") : QStringLiteral(" > ")) + name;
    const QString rest = after(keys, last, i + 1);
    if (rest.isEmpty())
        return beyond;
    return QStringLiteral("(%1 OR (%2 = %3 AND %4))").arg(beyond, keys[i].sql, name, rest);
}

// The smallest text of the primary Polish order above every text that begins
// with a given one: the letter with the highest weight, as many times as the
// longest text column holds.
QString polishRangeEnd(const QString& prefix)
{
    static const QString tail = [] {
        char32_t last = 0x10FFFF;
        while (last > 0 && !QChar::isLetter(last))
            --last;
        QString one = QString::fromUcs4(&last, 1);
        return one.repeated(80);
    }();
    return prefix + tail;
}

bool hasCase(const QString& text)
{
    return text != text.toUpper() || text != text.toLower();
}
} // namespace

QString archiveWholeSql(ArchiveKind kind, const QString& order)
{
    const Order o = archiveOrder(order);
    QString sql = kColumns + kEveryPerson;
    if (archiveKindHasDates(kind))
        sql += kByDates;
    if (kind == ArchiveKind::FullByDates)
        sql += kFullData;
    switch (o.by) {
    case By::Group:
        // The persons without a stay first going up, last going down.
        sql += QStringLiteral("ORDER BY Ksiazka.Identyfikator_g IS %1NULL, "
                              "Ksiazka.Identyfikator_g%2, Arch_os.Identyfikator_o, Ksiazka.rowid")
                   .arg(o.descending ? QString() : QStringLiteral("NOT "),
                        o.descending ? QStringLiteral(" DESC") : QString());
        break;
    case By::Stay:
        // The persons without a stay have none of its columns: first going up,
        // last going down, among themselves by person.
        sql += o.descending ? QStringLiteral("ORDER BY Ksiazka.rowid IS NULL, %1 DESC, "
                                             "Ksiazka.rowid DESC, Arch_os.Identyfikator_o DESC")
                                  .arg(o.keys[0].sql)
                            : QStringLiteral("ORDER BY Ksiazka.rowid IS NOT NULL, %1, "
                                             "Ksiazka.rowid, Arch_os.Identyfikator_o")
                                  .arg(o.keys[0].sql);
        break;
    case By::Person:
        sql += orderBy(o.keys);
        break;
    }
    return sql;
}

ArchiveRows::ArchiveRows(QObject* parent)
    : ArchiveRows([] { return dataModule().database(); }, parent)
{
}

ArchiveRows::ArchiveRows(std::function<QSqlDatabase()> connection, QObject* parent)
    : QObject(parent)
    , m_connection(std::move(connection))
{
}

const QStringList& ArchiveRows::columns() const
{
    static const QStringList none;
    return m_open ? columnNames() : none;
}

int ArchiveRows::columnIndex(const QString& column) const
{
    const QStringList& names = columns();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

ColumnKind ArchiveRows::kind(int column) const
{
    return columnKind(column);
}

void ArchiveRows::open(const ArchiveQuery& query)
{
    m_query = query;
    restart();
}

void ArchiveRows::close()
{
    const bool wasCurrent = m_current >= 0;
    Q_EMIT aboutToChange();
    m_open = false;
    m_rows.clear();
    m_parts.clear();
    m_part = 0;
    m_current = -1;
    Q_EMIT changed();
    if (wasCurrent)
        Q_EMIT currentChanged(-1);
}

std::optional<QString> ArchiveRows::setSearch(const QString& expression)
{
    QList<FilterExpression::Column> columns;
    for (int i = 0; i < kColumnCount; ++i)
        columns.append({columnNames()[i], columnKind(i)});
    FilterExpression parsed = FilterExpression::parse(expression, columns);
    if (!parsed.isValid())
        return parsed.error();
    m_filter = std::move(parsed);
    if (m_open)
        restart();
    return std::nullopt;
}

void ArchiveRows::restart()
{
    const Order order = archiveOrder(m_query.order);
    m_parts = {Part::Statement};
    // The persons without a stay have no value in a stay's column or group:
    // they come before every stay going up and after them going down. The
    // kinds by dates and a search by a stay's column never list them.
    bool stayAsked = false;
    for (const FilterExpression::Condition& c : m_filter.conditions())
        stayAsked = stayAsked || (c.column >= 4 && c.column <= Departure);
    if (m_query.kind == ArchiveKind::AllPersons && order.by != By::Person && !stayAsked) {
        if (order.descending)
            m_parts.append(Part::WithoutStay);
        else
            m_parts.prepend(Part::WithoutStay);
    }
    m_part = 0;
    m_last.clear();
    m_withoutStay = PackedRows(kColumnCount);
    m_withoutStayNext = 0;
    m_scannedTo = 0;
    m_scanEnd.reset();
    m_scanDone = false;
    PackedRows first(kColumnCount);
    try {
        read(m_pageSize, first);
    } catch (const RezydoError&) {
        close();
        throw;
    }
    Q_EMIT aboutToChange();
    m_open = true;
    m_rows = std::move(first);
    m_current = m_rows.isEmpty() ? -1 : 0;
    Q_EMIT changed();
    Q_EMIT currentChanged(m_current);
}

void ArchiveRows::fetchMore()
{
    if (!canFetchMore())
        return;
    PackedRows more(kColumnCount);
    const int wanted = std::clamp(rowCount(), m_pageSize, 50 * m_pageSize);
    read(wanted, more);
    // The persons without a stay that follow the stays are looked for a
    // slice at a time while the stays are read, so that reaching them does
    // not mean going over every person record at once.
    if (m_part < m_parts.size() && m_parts[m_part] == Part::Statement &&
        m_parts.last() == Part::WithoutStay)
        scanPersons(std::max<qint64>(more.size(), m_pageSize));
    if (more.isEmpty())
        return;
    const int first = rowCount();
    Q_EMIT aboutToAppend(first, first + static_cast<int>(more.size()) - 1);
    m_rows.append(std::move(more));
    Q_EMIT appended();
    if (m_current < 0)
        setCurrent(0);
}

void ArchiveRows::fetchAll()
{
    while (canFetchMore())
        fetchMore();
}

void ArchiveRows::read(int wanted, PackedRows& into)
{
    while (into.size() < wanted && m_part < m_parts.size()) {
        if (m_parts[m_part] == Part::Statement) {
            const int limit = std::max(m_pageSize, wanted - static_cast<int>(into.size()));
            if (readStatement(limit, into) < limit)
                ++m_part;
            continue;
        }
        // Among themselves by person, backwards when a stay's column goes
        // down (then every one of them must be known first).
        const Order order = archiveOrder(m_query.order);
        const bool backwards = order.by == By::Stay && order.descending;
        while (!m_scanDone && (backwards || m_withoutStayNext >= m_withoutStay.size()))
            scanPersons(kPersonSlice);
        const qsizetype found = m_withoutStay.size();
        while (into.size() < wanted && m_withoutStayNext < found) {
            const qsizetype at = m_withoutStayNext++;
            into.append(m_withoutStay, backwards ? found - 1 - at : at);
        }
        if (m_scanDone && m_withoutStayNext >= m_withoutStay.size())
            ++m_part;
    }
}

void ArchiveRows::scanPersons(qint64 persons)
{
    if (m_scanDone)
        return;
    QList<std::pair<QString, QVariant>> bindings;
    QString sql = kWithoutStay + narrowing(bindings, false);
    const bool narrowed = !bindings.isEmpty();
    if (!narrowed) {
        // A slice of the person records by their key, without a search that
        // narrows them by an index.
        if (!m_scanEnd)
            m_scanEnd = scalarSql(m_connection(),
                                  QStringLiteral("SELECT ifnull(max(Identyfikator_o), 0) FROM "
                                                 "Arch_os"))
                            .toLongLong();
        sql += QStringLiteral("AND Arch_os.Identyfikator_o > :after AND Arch_os.Identyfikator_o "
                              "<= :upto ");
        bindings.append({QStringLiteral(":after"), m_scannedTo});
        bindings.append({QStringLiteral(":upto"), m_scannedTo + std::max<qint64>(persons, 1)});
    }
    sql += QStringLiteral("ORDER BY Arch_os.Identyfikator_o");
    StatementRows rows(m_connection(), sql, bindings);
    const bool everyRow = m_filter.isEmpty();
    while (rows.next()) {
        if (everyRow) {
            rows.pack(m_withoutStay);
            continue;
        }
        Row row(kColumnCount);
        for (int i = 0; i < kColumnCount; ++i)
            row[i] = rows.value(i);
        if (m_filter.matches(row))
            m_withoutStay.append(row);
    }
    m_scannedTo += std::max<qint64>(persons, 1);
    m_scanDone = narrowed || m_scannedTo >= *m_scanEnd;
}

QString ArchiveRows::narrowing(QList<std::pair<QString, QVariant>>& bindings,
                               bool personIndexesTaken) const
{
    // Only what an index can serve; every row read is tested by the filter too.
    QString sql;
    bool personIndex = false;
    const auto bind = [&bindings](const QVariant& value) {
        const QString name = QStringLiteral(":s%1").arg(bindings.size());
        bindings.append({name, value});
        return name;
    };
    for (const FilterExpression::Condition& c : m_filter.conditions()) {
        if (c.prefix && c.pattern.size() > 1) {
            const QString beginning = c.pattern.chopped(1); // case-folded, without "*"
            if (c.column == Surname || c.column == FirstName || c.column == Address) {
                const QString key = QStringLiteral("ifnull(Arch_os.%1, '') COLLATE PL")
                                        .arg(columnNames()[c.column]);
                sql += QStringLiteral("AND %1 >= %2 AND %1 <= %3 ")
                           .arg(key, bind(beginning), bind(polishRangeEnd(beginning)));
                personIndex = true;
            } else if (c.column == Room && !hasCase(beginning)) {
                sql += QStringLiteral("AND ifnull(Ksiazka.Nr_pokoju, '') >= %1 AND "
                                      "ifnull(Ksiazka.Nr_pokoju, '') <= %2 ")
                           .arg(bind(beginning),
                                bind(beginning + QString::fromUcs4(U"\U0010FFFF", 1)));
            }
        } else if (!c.like && c.kind == ColumnKind::Day &&
                   (c.column == Arrival || c.column == Departure)) {
            sql += QStringLiteral("AND ifnull(Ksiazka.%1, '') = %2 ")
                       .arg(c.column == Arrival ? QStringLiteral("Od") : QStringLiteral("\"Do\""),
                            bind(c.value.toDate().toString(QStringLiteral("yyyy-MM-dd"))));
        }
    }
    if (personIndex && !personIndexesTaken)
        sql += personIndexes(m_connection());
    return sql;
}

int ArchiveRows::readStatement(int limit, PackedRows& into)
{
    const Order order = archiveOrder(m_query.order);
    // Every person, with or without a stay, when sorted by a column of the
    // person; otherwise the stays alone, the persons without one apart.
    const bool everyPerson = order.by == By::Person && m_query.kind == ArchiveKind::AllPersons;
    QList<std::pair<QString, QVariant>> bindings;
    QString sql = kColumns;
    for (int i = 0; i < order.keys.size(); ++i)
        sql += QStringLiteral(", %1 AS k%2").arg(order.keys[i].sql).arg(i);
    const QSqlDatabase db = m_connection();
    sql += everyPerson ? kEveryPerson + personIndexes(db) : kStays + stayIndexes(db);
    if (archiveKindHasDates(m_query.kind)) {
        sql += kByDates;
        bindings.append(
            {QStringLiteral(":Od"), m_query.from.toString(QStringLiteral("yyyy-MM-dd"))});
        bindings.append({QStringLiteral(":Do"), m_query.to.toString(QStringLiteral("yyyy-MM-dd"))});
    }
    if (m_query.kind == ArchiveKind::FullByDates)
        sql += kFullData;
    sql += narrowing(bindings, everyPerson);
    if (!m_last.isEmpty()) {
        // Where the index range starts, then the exact place after the last row.
        const Key& first = order.keys[0];
        sql += QStringLiteral("AND %1 %2 :k0 AND %3 ")
                   .arg(first.sql, first.descending ? QStringLiteral("<=") : QStringLiteral(">="),
                        after(order.keys, m_last, 0));
        for (int i = 0; i < order.keys.size(); ++i)
            if (!m_last.value(i).isNull())
                bindings.append({QStringLiteral(":k%1").arg(i), m_last[i]});
    }
    sql += orderBy(order.keys) + QStringLiteral(" LIMIT :limit");
    bindings.append({QStringLiteral(":limit"), limit});

    StatementRows rows(db, sql, bindings);
    int read = 0;
    const int keys = static_cast<int>(order.keys.size());
    const bool everyRow = m_filter.isEmpty();
    while (rows.next()) {
        ++read;
        m_last.clear();
        for (int i = 0; i < keys; ++i)
            m_last << rows.value(kColumnCount + i);
        if (everyRow) {
            rows.pack(into);
            continue;
        }
        Row row(kColumnCount);
        for (int i = 0; i < kColumnCount; ++i)
            row[i] = rows.value(i);
        if (m_filter.matches(row))
            into.append(row);
    }
    return read;
}

int ArchiveRows::loadedCount() const
{
    QString sql = QStringLiteral("SELECT count(*)") + kEveryPerson;
    if (archiveKindHasDates(m_query.kind))
        sql += kByDates;
    if (m_query.kind == ArchiveKind::FullByDates)
        sql += kFullData;
    if (!archiveKindHasDates(m_query.kind))
        return scalarSql(m_connection(), sql).toInt();
    return scalarSql(m_connection(), sql,
                     {{":Od", m_query.from.toString(QStringLiteral("yyyy-MM-dd"))},
                      {":Do", m_query.to.toString(QStringLiteral("yyyy-MM-dd"))}})
        .toInt();
}

QVariant ArchiveRows::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount || !m_open)
        return {};
    return m_rows.value(row, column);
}

QVariant ArchiveRows::value(int row, const QString& column) const
{
    return value(row, columnIndex(column));
}

QString ArchiveRows::text(int row, int column) const
{
    return columnText(value(row, column), kind(column));
}

QVariant ArchiveRows::value(const QString& column) const
{
    return value(m_current, columnIndex(column));
}

void ArchiveRows::setCurrent(int row)
{
    if (row < 0 || row >= rowCount() || row == m_current)
        return;
    m_current = row;
    Q_EMIT currentChanged(m_current);
}
