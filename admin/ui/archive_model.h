#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QString>

class ArchiveRows;

// The archive's grid over ArchiveRows: the grid asks for further pages as it
// scrolls (canFetchMore/fetchMore), so the first screen needs only the first
// rows. Values are shown as columnText() gives them; titles can be changed
// (setHeaderData), so that sort markers can be put in them.
class ArchiveModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    ArchiveModel(ArchiveRows& rows, QList<Column> columns, QObject* parent = nullptr);

    // Keeps the rows' current row and the grid's current row in step, both ways.
    void followSelection(QItemSelectionModel* selection);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    // A failing page is reported with the caption of the archive; the rows
    // read before stay.
    void fetchMore(const QModelIndex& parent) override;

private:
    ArchiveRows& m_rows;
    QList<Column> m_columns;
    bool m_syncing = false;
};
