#include "core/ui/list_grid.h"

#include "core/error.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {
// Enter on the current row does what a double click on it does; without a
// current row the key goes on as usual.
class EnterOnRow : public QObject {
public:
    EnterOnRow(QAbstractItemView* grid, std::function<void()> action)
        : QObject(grid)
        , m_grid(grid)
        , m_action(std::move(action))
    {
        grid->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_grid || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
            !m_grid->currentIndex().isValid())
            return false;
        // A copy, for the action may close the window and the grid with it.
        const std::function<void()> action = m_action;
        guarded(action);
        return true;
    }

private:
    QAbstractItemView* m_grid;
    std::function<void()> m_action;
};
} // namespace

void setRowAction(QAbstractItemView* grid, std::function<void()> action)
{
    QObject::connect(grid, &QAbstractItemView::doubleClicked, grid, [action] { guarded(action); });
    new EnterOnRow(grid, std::move(action));
}

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
