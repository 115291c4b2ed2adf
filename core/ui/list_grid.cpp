#include "core/ui/list_grid.h"

#include "core/error.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
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

void fitColumns(QTableView* grid, int stretchColumn)
{
    QHeaderView* header = grid->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (stretchColumn < 0)
        header->setStretchLastSection(true);
    else
        header->setSectionResizeMode(stretchColumn, QHeaderView::Stretch);
}

QLineEdit* makeSearchField(QWidget* parent, const QString& name, const QString& hint)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    return field;
}

void addSearchButtons(QWidget* parent, QBoxLayout* row, std::function<void()> search,
                      std::function<void()> clear)
{
    auto* find = new QPushButton(QStringLiteral("Szukaj"), parent);
    find->setObjectName(QStringLiteral("Szukaj"));
    find->setAutoDefault(false);
    auto* wipe = new QPushButton(QStringLiteral("Wyczyść"), parent);
    wipe->setObjectName(QStringLiteral("CzyscSzukanie"));
    wipe->setAutoDefault(false);
    QObject::connect(find, &QPushButton::clicked, parent,
                     [search = std::move(search)] { guarded(search); });
    QObject::connect(wipe, &QPushButton::clicked, parent,
                     [clear = std::move(clear)] { guarded(clear); });
    row->addWidget(find);
    row->addWidget(wipe);
}
