#pragma once

#include "db/row_set.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QItemSelectionModel>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// A read-only grid model over a RowSet, for QTableView:
//
//     RowSetModel model(groups);
//     model.setColumns({{"Identyfikator", "Id"}, {"Nazwa"}, {"Od", {}, Qt::AlignHCenter}});
//     view->setModel(&model);
//     model.followSelection(view->selectionModel());
//     new TitleSort(view->horizontalHeader(), {{0, "Identyfikator"}, {1, "Nazwa"}}, ...);
//
// Values are shown as columnText() gives them (days "yyyy-mm-dd", money
// "150,00", yes/no "Tak"/"Nie"); Qt::UserRole gives the stored value. Titles
// can be changed (setTitle or setHeaderData) so that sort markers can be put
// in them. The model follows the row set: every load, close and filter resets it.
class RowSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;      // the row set's column, any letter case
        QString title = {}; // empty: the field name
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    // A colour for a visible row of the row set, or none for the normal one.
    // It is the background of unselected rows; a selected row is painted with
    // the view's highlight colour (set it on the view's palette).
    using RowColour = std::function<std::optional<QColor>(const RowSet& rows, int row)>;

    explicit RowSetModel(RowSet& rows, QObject* parent = nullptr);

    RowSet& rows() const { return m_rows; }
    // The columns shown, in this order; with none set, every column of the
    // row set is shown under its own name.
    void setColumns(const QList<Column>& columns);
    QString field(int section) const;
    QString title(int section) const;
    void setTitle(int section, const QString& title);
    void setAlignment(int section, Qt::Alignment alignment);
    void setRowColour(RowColour colour);
    // Keeps the row set's current row and the grid's current row in step, both
    // ways (view->selectionModel(), after setModel): whole rows are selected.
    void followSelection(QItemSelectionModel* selection);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int rowSetColumn(int section) const; // -1 when the row set has no such column

    RowSet& m_rows;
    QList<Column> m_columns;
    bool m_ownColumns = false; // columns set by setColumns, not taken from the row set
    RowColour m_colour;
    bool m_syncing = false; // one side of followSelection is following the other
};
