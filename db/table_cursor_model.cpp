#include "db/table_cursor_model.h"

#include "core/money.h"

TableCursorModel::TableCursorModel(TableCursor& cursor, QVector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_cursor(cursor)
    , m_columns(std::move(columns))
    , m_rows(cursor.rowCount())
    , m_current(cursor.current())
{
    connect(&m_cursor, &TableCursor::rowsChanged, this, &TableCursorModel::rowsChanged);
    connect(&m_cursor, &TableCursor::currentChanged, this, [this](int row) {
        // The old current row may have shown a pending edit.
        const int old = m_current;
        m_current = row;
        rowChanged(old);
        rowChanged(row);
    });
    connect(&m_cursor, &TableCursor::stateChanged, this, [this] { rowChanged(m_current); });
    connect(&m_cursor, &TableCursor::valueChanged, this, &TableCursorModel::valueChanged);
}

int TableCursorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TableCursorModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString TableCursorModel::displayText(const QVariant& value, bool money)
{
    if (value.isNull())
        return {};
    if (money)
        return Money::fromUnits(value.toLongLong()).toPlainString();
    return value.toString();
}

QVariant TableCursorModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns.size())
        return {};
    const Column& c = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_cursor.value(index.row(), c.name), c.money);
    case Qt::EditRole:
        return m_cursor.value(index.row(), c.name);
    case Qt::TextAlignmentRole:
        if (c.money)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant TableCursorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return m_columns[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TableCursorModel::rowsChanged()
{
    m_current = m_cursor.current();
    if (m_cursor.rowCount() == m_rows) {
        // Same rows, new values (a post or a dropped edit): the views keep
        // their selection.
        if (m_rows > 0 && !m_columns.isEmpty())
            Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    m_rows = m_cursor.rowCount();
    endResetModel();
}

void TableCursorModel::rowChanged(int row)
{
    if (row < 0 || row >= m_rows || m_columns.isEmpty())
        return;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TableCursorModel::valueChanged(const QString& column)
{
    const int row = m_cursor.current();
    if (row < 0 || row >= m_rows)
        return;
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            Q_EMIT dataChanged(index(row, i), index(row, i));
}
