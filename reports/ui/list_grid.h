#pragma once

#include <QString>

class QLineEdit;
class QTableView;
class QWidget;

// A read-only grid of whole rows whose selection stays visible without the focus.
QTableView* makeListGrid(QWidget* parent, const QString& name);
// A search field with its hint.
QLineEdit* makeSearchField(QWidget* parent, const QString& name, const QString& hint);
