#include "core/ui/column_fields.h"

#include "core/error.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

ColumnFields::ColumnFields(QTableView* grid, QWidget* parent)
    : QWidget(parent)
    , m_grid(grid)
{
    setObjectName(grid->objectName() + QStringLiteral("Pola"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_strip = new QWidget(this);
    QHeaderView* header = grid->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, &ColumnFields::realign);
    connect(header, &QHeaderView::sectionMoved, this, &ColumnFields::realign);
    connect(header, &QHeaderView::sectionCountChanged, this, &ColumnFields::realign);
    connect(header, &QHeaderView::geometriesChanged, this, &ColumnFields::realign);
    // The view moves its header before the scroll bar's other listeners hear of it.
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ColumnFields::realign);
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

QLineEdit* ColumnFields::addField(int column, const QString& name, const QString& hint)
{
    auto* field = new QLineEdit(m_strip);
    field->setObjectName(name);
    if (!hint.isEmpty())
        field->setToolTip(hint);
    m_fields.append(field);
    m_columns.append(column);
    updateGeometry();
    realign();
    return field;
}

QList<QLineEdit*> ColumnFields::addFieldsInOrder(
    std::initializer_list<std::pair<const char*, const char*>> namesAndHints,
    const std::function<void()>& onEnter)
{
    QList<QLineEdit*> added;
    for (const auto& [name, hint] : namesAndHints) {
        QLineEdit* field = addField(static_cast<int>(added.size()), QString::fromLatin1(name),
                                    QString::fromUtf8(hint));
        connect(field, &QLineEdit::returnPressed, this, [onEnter] { guarded(onEnter); });
        added << field;
    }
    return added;
}

int ColumnFields::fieldHeight() const
{
    if (!m_fields.isEmpty())
        return m_fields.first()->sizeHint().height();
    return QLineEdit().sizeHint().height();
}

QSize ColumnFields::sizeHint() const
{
    // The width comes from the grid beside the row, never from the row.
    return {0, fieldHeight()};
}

QSize ColumnFields::minimumSizeHint() const
{
    return sizeHint();
}

void ColumnFields::realign()
{
    if (!m_grid)
        return;
    QWidget* top = window();
    const QWidget* viewport = m_grid->viewport();
    if (viewport->window() != top)
        return;
    // The viewport's left edge in this row's coordinates: the grid's frame
    // and its row header, if shown, come before the first column.
    const int left = viewport->mapTo(top, QPoint(0, 0)).x() - mapTo(top, QPoint(0, 0)).x();
    const int h = height();
    m_strip->setGeometry(left, 0, viewport->width(), h);
    const QHeaderView* header = m_grid->horizontalHeader();
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const int column = m_columns[i];
        QLineEdit* field = m_fields[i];
        // While the model is being reset the columns are briefly gone; the
        // fields stay as they are until the columns come back.
        if (column >= header->count())
            continue;
        // A column being hidden is first made 0 wide and only then marked hidden.
        const bool hidden = header->isSectionHidden(column) || header->sectionSize(column) == 0;
        if (field->isHidden() != hidden)
            field->setHidden(hidden);
        field->setGeometry(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                           h);
    }
}

bool ColumnFields::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        realign();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ColumnFields::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    realign();
}

void ColumnFields::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    realign();
}

void ColumnFields::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    realign();
}
