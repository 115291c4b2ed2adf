#include "admin/ui/archive_model.h"

#include "admin/archive_rows.h"
#include "core/error.h"
#include "db/data_module.h"
#include "db/sql.h"

#include <QScopedValueRollback>

ArchiveModel::ArchiveModel(ArchiveRows& rows, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
    , m_columns(std::move(columns))
{
    connect(&m_rows, &ArchiveRows::aboutToChange, this, [this] { beginResetModel(); });
    connect(&m_rows, &ArchiveRows::changed, this, [this] { endResetModel(); });
    connect(&m_rows, &ArchiveRows::aboutToAppend, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&m_rows, &ArchiveRows::appended, this, [this] { endInsertRows(); });
}

void ArchiveModel::followSelection(QItemSelectionModel* selection)
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
        if (row < 0)
            selection->clearCurrentIndex();
        else
            selection->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    };
    connect(&m_rows, &ArchiveRows::currentChanged, selection, select);
    select(m_rows.current());
}

int ArchiveModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int ArchiveModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ArchiveModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int column = m_rows.columnIndex(m_columns[index.column()].field);
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.text(index.row(), column);
    case Qt::UserRole:
        return m_rows.value(index.row(), column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns[index.column()].alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[section].alignment | Qt::AlignVCenter);
    return {};
}

bool ArchiveModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                 int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    m_columns[section].title = value.toString();
    Q_EMIT headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

Qt::ItemFlags ArchiveModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool ArchiveModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_rows.canFetchMore();
}

void ArchiveModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid())
        return;
    try {
        m_rows.fetchMore();
    } catch (const DbError& e) {
        reportDatabaseError(QStringLiteral("Archiwum gości"), e);
    }
}
