#include "db/row_set_model.h"

#include <QScopedValueRollback>

RowSetModel::RowSetModel(RowSet& rows, QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
{
    connect(&m_rows, &RowSet::aboutToChange, this, [this] { beginResetModel(); });
    connect(&m_rows, &RowSet::changed, this, [this] {
        if (!m_ownColumns) {
            m_columns.clear();
            for (const QString& name : m_rows.columns())
                m_columns.append({name});
        }
        endResetModel();
    });
    if (!m_rows.columns().isEmpty()) {
        for (const QString& name : m_rows.columns())
            m_columns.append({name});
    }
}

void RowSetModel::setColumns(const QList<Column>& columns)
{
    beginResetModel();
    m_columns = columns;
    m_ownColumns = true;
    endResetModel();
}

QString RowSetModel::field(int section) const
{
    return section >= 0 && section < m_columns.size() ? m_columns[section].field : QString();
}

QString RowSetModel::title(int section) const
{
    if (section < 0 || section >= m_columns.size())
        return {};
    const Column& c = m_columns[section];
    return c.title.isEmpty() ? c.field : c.title;
}

void RowSetModel::setTitle(int section, const QString& title)
{
    if (section < 0 || section >= m_columns.size())
        return;
    m_columns[section].title = title;
    Q_EMIT headerDataChanged(Qt::Horizontal, section, section);
}

void RowSetModel::setAlignment(int section, Qt::Alignment alignment)
{
    if (section < 0 || section >= m_columns.size())
        return;
    m_columns[section].alignment = alignment;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, section), index(rowCount() - 1, section),
                           {Qt::TextAlignmentRole});
}

void RowSetModel::setRowColour(RowColour colour)
{
    m_colour = std::move(colour);
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                           {Qt::BackgroundRole});
}

void RowSetModel::followSelection(QItemSelectionModel* selection)
{
    connect(selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_syncing || !current.isValid())
                    return;
                const QScopedValueRollback guard(m_syncing, true);
                m_rows.setCurrent(current.row());
            });
    auto select = [this, selection](int row) {
        if (m_syncing)
            return;
        const QScopedValueRollback guard(m_syncing, true);
        if (row < 0 || columnCount() == 0)
            selection->clearCurrentIndex();
        else
            selection->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    };
    connect(&m_rows, &RowSet::currentChanged, selection, select);
    select(m_rows.current());
}

int RowSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int RowSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

int RowSetModel::rowSetColumn(int section) const
{
    return m_rows.columnIndex(field(section));
}

QVariant RowSetModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int column = rowSetColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.text(index.row(), column);
    case Qt::UserRole:
        return m_rows.value(index.row(), column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns[index.column()].alignment | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (m_colour)
            if (const std::optional<QColor> colour = m_colour(m_rows, index.row()))
                return *colour;
        return {};
    default:
        return {};
    }
}

QVariant RowSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return title(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[section].alignment | Qt::AlignVCenter);
    return {};
}

bool RowSetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    setTitle(section, value.toString());
    return true;
}

Qt::ItemFlags RowSetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
