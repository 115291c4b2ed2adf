#pragma once

#include <QMap>
#include <QString>

#include <functional>
#include <utility>

class ColumnFields;
class QBoxLayout;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QAbstractItemView;
class QTableView;
class QWidget;

// A read-only grid of whole rows whose selection stays visible without the focus.
QTableView* makeListGrid(QWidget* parent, const QString& name);
// The window's action on a row: a double click on a row, or Enter on the
// current row, runs it through the general error handling.
void setRowAction(QAbstractItemView* grid, std::function<void()> action);
// Columns as wide as their contents; `stretchColumn` (the name, or -1 for the
// last column) takes the rest of the width.
void fitColumns(QTableView* grid, int stretchColumn);
// Columns the receptionist may resize, each starting as wide as its title or
// as the sample text given for it; `stretchColumn` takes the rest of the width.
void sizeColumns(QTableView* grid, int stretchColumn, const QMap<int, QString>& samples);
// The width a cell of the view needs to show `text` whole.
int cellWidth(const QAbstractItemView* view, const QString& text);
// The width a grid needs to show its columns whole and side by side: each as
// wide as its title or as the sample text given for it (the widest text it is
// made for, such as a day), with the frame and room for a vertical scroll bar.
int columnsWidth(const QTableView* grid, const QMap<int, QString>& samples = {});
// A search field with its hint.
QLineEdit* makeSearchField(QWidget* parent, const QString& name, const QString& hint);
// The "Szukaj" and "Wyczyść" buttons after the search fields; each action runs
// through the general error handling. Returns the two buttons.
std::pair<QPushButton*, QPushButton*> addSearchButtons(QWidget* parent, QBoxLayout* row,
                                                       std::function<void()> search,
                                                       std::function<void()> clear);

// Where a grid's search fields stand: over its columns or under them.
enum class FieldsPlace { Above, Below };
// The grid with its search fields along its columns and the "Szukaj" and
// "Wyczyść" buttons beside the fields, one under the other, so that the
// fields' row takes no width from the columns. Fields over the grid come
// before it in the Tab order, with their buttons.
QGridLayout* gridWithSearchFields(QWidget* parent, QTableView* grid, ColumnFields* fields,
                                  FieldsPlace place, std::function<void()> search,
                                  std::function<void()> clear);
