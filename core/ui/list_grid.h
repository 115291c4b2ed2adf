#pragma once

#include <QString>

#include <functional>

class QAbstractItemView;
class QBoxLayout;
class QLineEdit;
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
// A search field with its hint.
QLineEdit* makeSearchField(QWidget* parent, const QString& name, const QString& hint);
// The "Szukaj" and "Wyczyść" buttons after the search fields; each action runs
// through the general error handling.
void addSearchButtons(QWidget* parent, QBoxLayout* row, std::function<void()> search,
                      std::function<void()> clear);
