#include "reports/ui/list_grid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

QTableView* makeListGrid(QWidget* parent, const QString& name)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    QPalette p = grid->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(p);
    return grid;
}

QLineEdit* makeSearchField(QWidget* parent, const QString& name, const QString& hint)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    return field;
}
