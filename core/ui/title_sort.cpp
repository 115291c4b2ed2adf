#include "core/ui/title_sort.h"

#include "core/error.h"

#include <QAbstractItemModel>
#include <QHeaderView>

namespace {
const QString kAscending = QStringLiteral(" (+)");
const QString kDescending = QStringLiteral(" (-)");
const QString kDesc = QStringLiteral(" desc");
} // namespace

TitleSort::TitleSort(QHeaderView* header, QMap<int, QString> fields, QString initialOrder,
                     Reload reload)
    : QObject(header)
    , m_header(header)
    , m_fields(std::move(fields))
    , m_order(std::move(initialOrder))
    , m_reload(std::move(reload))
{
    if (!m_header)
        return;
    m_header->setSectionsClickable(true);
    m_header->setSortIndicatorShown(false);
    connect(m_header, &QHeaderView::sectionClicked, this,
            [this](int section) { guarded([&] { click(section); }); });
    markOrder();
}

QString TitleSort::withoutMarker(const QString& title)
{
    qsizetype at = title.indexOf(kAscending);
    if (at < 0)
        at = title.indexOf(kDescending);
    return at < 0 ? title : title.left(at);
}

QString TitleSort::nextOrder(const QString& order, const QString& field)
{
    // SQL names ignore letter case, so "nazwa" is the same order as "Nazwa".
    if (order.trimmed().compare(field, Qt::CaseInsensitive) == 0)
        return field + kDesc;
    return field;
}

QString TitleSort::title(int section) const
{
    QAbstractItemModel* model = m_header ? m_header->model() : nullptr;
    return model ? model->headerData(section, m_header->orientation()).toString() : QString();
}

void TitleSort::setTitle(int section, const QString& title)
{
    if (QAbstractItemModel* model = m_header ? m_header->model() : nullptr)
        model->setHeaderData(section, m_header->orientation(), title);
}

// Puts the marker of the order in force on its column, as the grid opens.
void TitleSort::markOrder()
{
    const QString order = m_order.trimmed();
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        const QString plain = withoutMarker(title(it.key()));
        QString marker;
        if (order.compare(it.value(), Qt::CaseInsensitive) == 0)
            marker = kAscending;
        else if (order.compare(it.value() + kDesc, Qt::CaseInsensitive) == 0)
            marker = kDescending;
        if (!marker.isEmpty() || plain != title(it.key()))
            setTitle(it.key(), plain + marker);
    }
}

void TitleSort::click(int section)
{
    const auto field = m_fields.constFind(section);
    if (field == m_fields.cend() || !m_header || !m_header->model())
        return;
    const int count = m_header->count();
    for (int s = 0; s < count; ++s) {
        const QString t = title(s);
        const QString plain = withoutMarker(t);
        if (plain != t)
            setTitle(s, plain);
    }
    m_order = nextOrder(m_order, field.value());
    const bool descending = m_order.endsWith(kDesc);
    setTitle(section, title(section) + (descending ? kDescending : kAscending));
    if (m_reload)
        m_reload(m_order);
}
