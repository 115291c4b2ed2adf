#pragma once

#include "db/table_cursor.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

// A grid over a TableCursor: the chosen columns with their titles, every row
// of the cursor, the current row with its pending edit. Money columns (stored
// as ten-thousandths) show with two decimals. Read-only; a window moves the
// cursor when the grid's selection moves.
class TableCursorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString name;  // the cursor's column
        QString title; // the grid's title
        bool money = false;
    };

    TableCursorModel(TableCursor& cursor, QVector<Column> columns, QObject* parent = nullptr);

    TableCursor& cursor() const { return m_cursor; }
    const QVector<Column>& shownColumns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The text a cell shows, also used by the windows' boxes.
    static QString displayText(const QVariant& value, bool money);

private:
    void rowsChanged();
    void rowChanged(int row);
    void valueChanged(const QString& column);

    TableCursor& m_cursor;
    QVector<Column> m_columns;
    // The row count the views know; the cursor's own count changes before
    // it tells anybody.
    int m_rows = 0;
    int m_current = -1;
};
