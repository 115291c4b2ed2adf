#include "db/row_set.h"

#include "db/data_module.h"

#include <QSet>
#include <QSqlField>
#include <QSqlRecord>

#include <vector>

namespace {
// Equal texts of one column share one copy. On a large archive the same
// surnames, first names, rooms and days recur on thousands of rows, and a copy
// of each takes more memory than the value holding it. A column whose first
// texts hardly repeat (addresses, document numbers) stops being pooled, so it
// costs no lookups.
class TextPool {
public:
    void share(QVariant& value)
    {
        if (!m_pooling || value.typeId() != QMetaType::QString)
            return;
        const QString& text = *static_cast<const QString*>(value.constData());
        if (text.isEmpty())
            return;
        // Rows in order often repeat the text of the row before (the days of a group).
        bool repeated = text == m_last;
        if (!repeated) {
            const auto found = m_texts.constFind(text);
            repeated = found != m_texts.cend();
            m_last = repeated ? *found : *m_texts.insert(text);
        }
        if (repeated) {
            value = QVariant(m_last);
            ++m_repeated;
        }
        if (++m_seen == kProbe && m_repeated < kProbe / 4) {
            m_pooling = false;
            m_texts.clear();
        }
    }

private:
    static constexpr int kProbe = 1000;
    QSet<QString> m_texts;
    QString m_last;
    int m_seen = 0;
    int m_repeated = 0;
    bool m_pooling = true;
};
} // namespace

RowSet::RowSet(QObject* parent)
    : RowSet([] { return dataModule().database(); }, parent)
{
}

RowSet::RowSet(std::function<QSqlDatabase()> connection, QObject* parent)
    : QObject(parent)
    , m_connection(std::move(connection))
{
}

void RowSet::setKind(const QString& column, ColumnKind kind)
{
    m_declared.insert(column.toCaseFolded(), kind);
    const int c = columnIndex(column);
    if (c < 0)
        return;
    // Declared after loading: the filter has to be read again for the new meaning.
    m_kinds[c] = kind;
    FilterExpression parsed = FilterExpression::parse(m_filter.text(), filterColumns());
    refilter(parsed.isValid() ? std::move(parsed) : FilterExpression());
}

void RowSet::setKinds(std::initializer_list<std::pair<const char*, ColumnKind>> kinds)
{
    for (const auto& [column, kind] : kinds)
        setKind(QString::fromUtf8(column), kind);
}

void RowSet::open(const QString& sql, std::initializer_list<Binding> bindings)
{
    m_sql = sql;
    m_bindings.clear();
    for (const auto& [name, value] : bindings)
        m_bindings.append({QString::fromLatin1(name), value});
    load();
    m_current = m_visible.isEmpty() ? -1 : 0;
    Q_EMIT changed();
    Q_EMIT currentChanged(m_current);
}

void RowSet::reload()
{
    const int key = columnIndex(m_keyColumn);
    const QVariant keyValue = key >= 0 ? value(m_current, key) : QVariant();
    load();
    int at = m_visible.isEmpty() ? -1 : 0;
    if (!keyValue.isNull())
        for (int r = 0; r < rowCount(); ++r)
            if (sameValue(key, value(r, key), keyValue)) {
                at = r;
                break;
            }
    m_current = at;
    Q_EMIT changed();
    Q_EMIT currentChanged(m_current);
}

void RowSet::reload(const QString& sql)
{
    m_sql = sql;
    reload();
}

void RowSet::load()
{
    QStringList columns;
    QVector<ColumnKind> kinds;
    QVector<QVector<QVariant>> rows;
    try {
        QSqlQuery query(m_connection());
        query.setForwardOnly(true);
        if (!query.prepare(m_sql))
            throw DbError(query.lastError());
        for (const auto& [name, value] : std::as_const(m_bindings))
            query.bindValue(name, value);
        if (!query.exec())
            throw DbError(query.lastError());
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            columns << record.fieldName(i);
            const int type = record.field(i).metaType().id();
            const bool integer = type == QMetaType::Int || type == QMetaType::LongLong ||
                                 type == QMetaType::UInt || type == QMetaType::ULongLong ||
                                 type == QMetaType::Bool;
            kinds << m_declared.value(columns.last().toCaseFolded(),
                                      integer ? ColumnKind::Integer : ColumnKind::Text);
        }
        std::vector<TextPool> pools(static_cast<std::size_t>(columns.size()));
        while (query.next()) {
            QVector<QVariant> row(columns.size());
            for (int i = 0; i < columns.size(); ++i) {
                row[i] = query.value(i);
                pools[static_cast<std::size_t>(i)].share(row[i]);
            }
            rows.append(std::move(row));
        }
        if (query.lastError().isValid())
            throw DbError(query.lastError());
    } catch (const RezydoError&) {
        close();
        throw;
    }
    Q_EMIT aboutToChange();
    m_open = true;
    m_columns = columns;
    m_kinds = kinds;
    m_rows = rows;
    // The filter stays; one that no longer fits the columns is dropped.
    m_filter = FilterExpression::parse(m_filter.text(), filterColumns());
    if (!m_filter.isValid())
        m_filter = FilterExpression();
    applyFilter();
    m_current = -1;
}

void RowSet::close()
{
    const bool wasCurrent = m_current >= 0;
    Q_EMIT aboutToChange();
    m_open = false;
    m_columns.clear();
    m_kinds.clear();
    m_rows.clear();
    m_visible.clear();
    m_current = -1;
    Q_EMIT changed();
    if (wasCurrent)
        Q_EMIT currentChanged(-1);
}

QList<FilterExpression::Column> RowSet::filterColumns() const
{
    QList<FilterExpression::Column> result;
    for (int i = 0; i < m_columns.size(); ++i)
        result.append({m_columns[i], m_kinds[i]});
    return result;
}

void RowSet::applyFilter()
{
    m_visible.clear();
    for (int i = 0; i < loadedCount(); ++i)
        if (m_filter.matches(m_rows[i]))
            m_visible << i;
}

std::optional<QString> RowSet::setFilter(const QString& expression)
{
    FilterExpression parsed = FilterExpression::parse(expression, filterColumns());
    if (!parsed.isValid())
        return parsed.error();
    refilter(std::move(parsed));
    return std::nullopt;
}

void RowSet::refilter(FilterExpression filter)
{
    const int loadedCurrent = m_current >= 0 ? m_visible[m_current] : -1;
    Q_EMIT aboutToChange();
    m_filter = std::move(filter);
    applyFilter();
    const int at = static_cast<int>(m_visible.indexOf(loadedCurrent));
    m_current = at >= 0 ? at : (m_visible.isEmpty() ? -1 : 0);
    Q_EMIT changed();
    Q_EMIT currentChanged(m_current);
}

int RowSet::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

ColumnKind RowSet::kind(int column) const
{
    return column >= 0 && column < m_kinds.size() ? m_kinds[column] : ColumnKind::Text;
}

QVariant RowSet::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns.size())
        return {};
    return m_rows[m_visible[row]][column];
}

QVariant RowSet::value(int row, const QString& column) const
{
    return value(row, columnIndex(column));
}

QString RowSet::text(int row, int column) const
{
    return columnText(value(row, column), kind(column));
}

QVariant RowSet::value(const QString& column) const
{
    return value(m_current, columnIndex(column));
}

void RowSet::setCurrent(int row)
{
    if (row < 0 || row >= rowCount() || row == m_current)
        return;
    m_current = row;
    Q_EMIT currentChanged(m_current);
}

bool RowSet::sameValue(int column, const QVariant& a, const QVariant& b) const
{
    if (a.isNull() || b.isNull())
        return false;
    switch (kind(column)) {
    case ColumnKind::Day:
        return dayFromValue(a) == dayFromValue(b);
    case ColumnKind::Integer:
    case ColumnKind::Money:
    case ColumnKind::YesNo: {
        bool okA = false, okB = false;
        const qlonglong x = a.toLongLong(&okA), y = b.toLongLong(&okB);
        return okA && okB && x == y;
    }
    case ColumnKind::Text:
        break;
    }
    return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
}

bool RowSet::locate(const QString& column, const QVariant& value)
{
    const int c = columnIndex(column);
    if (c < 0)
        return false;
    for (int r = 0; r < rowCount(); ++r)
        if (sameValue(c, this->value(r, c), value)) {
            setCurrent(r);
            return true;
        }
    return false;
}

void RowSet::dropCurrentRow()
{
    if (m_current < 0)
        return;
    const int row = m_current;
    Q_EMIT aboutToChange();
    m_rows.remove(m_visible[row]);
    applyFilter();
    m_current = row < rowCount() ? row : rowCount() - 1;
    Q_EMIT changed();
    Q_EMIT currentChanged(m_current);
}
