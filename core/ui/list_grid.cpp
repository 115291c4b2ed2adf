#include "core/ui/list_grid.h"

#include "core/error.h"
#include "core/ui/column_fields.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include <algorithm>
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
    if (stretchColumn < 0) {
        // A stretched last column never gets narrower than its columns start
        // (also after each reload): they start at the least width, so that
        // a short last column leaves its width to the others.
        header->setDefaultSectionSize(header->minimumSectionSize());
        if (header->count() > 0)
            header->resizeSection(header->count() - 1, header->minimumSectionSize());
        header->setStretchLastSection(true);
    } else {
        header->setSectionResizeMode(stretchColumn, QHeaderView::Stretch);
    }
}

void sizeColumns(QTableView* grid, int stretchColumn, const QMap<int, QString>& samples)
{
    QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        int width = header->sectionSizeHint(c);
        if (samples.contains(c))
            width = std::max(width, cellWidth(grid, samples.value(c)));
        header->resizeSection(c, width);
    }
    header->setSectionResizeMode(stretchColumn, QHeaderView::Stretch);
}

int cellWidth(const QAbstractItemView* view, const QString& text)
{
    // As the item delegates measure a cell: the text, its margins, and the grid line.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const auto* table = qobject_cast<const QTableView*>(view);
    return view->fontMetrics().horizontalAdvance(text) + 2 * margin +
           (table && table->showGrid() ? 1 : 0);
}

int columnsWidth(const QTableView* grid, const QMap<int, QString>& samples)
{
    const QHeaderView* header = grid->horizontalHeader();
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        int column = header->sectionSizeHint(c);
        if (samples.contains(c))
            column = std::max(column, cellWidth(grid, samples.value(c)));
        width += column;
    }
    return width;
}

QLineEdit* makeSearchField(QWidget* parent, const QString& name, const QString& hint)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    return field;
}

std::pair<QPushButton*, QPushButton*> addSearchButtons(QWidget* parent, QBoxLayout* row,
                                                       std::function<void()> search,
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
    return {find, wipe};
}

QGridLayout* gridWithSearchFields(QWidget* parent, QTableView* grid, ColumnFields* fields,
                                  FieldsPlace place, std::function<void()> search,
                                  std::function<void()> clear)
{
    const bool above = place == FieldsPlace::Above;
    auto* layout = new QGridLayout;
    layout->addWidget(fields, above ? 0 : 1, 0);
    layout->addWidget(grid, above ? 1 : 0, 0);
    layout->setRowStretch(above ? 1 : 0, 1);
    layout->setColumnStretch(0, 1);
    auto* buttons = new QVBoxLayout;
    if (!above)
        buttons->addStretch(1);
    QPushButton* wipe =
        addSearchButtons(parent, buttons, std::move(search), std::move(clear)).second;
    if (above) {
        buttons->addStretch(1);
        QWidget::setTabOrder(wipe, grid);
    }
    layout->addLayout(buttons, 0, 1, 2, 1);
    return layout;
}
