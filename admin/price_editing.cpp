#include "admin/price_editing.h"

#include "admin/setup_rows.h"
#include "core/error.h"
#include "db/sql.h"
#include "db/table_cursor.h"

std::optional<QVariant> priceFromText(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QVariant();
    const std::optional<Money> m = Money::parse(text);
    if (!m)
        return std::nullopt;
    return moneyValue(*m);
}

QString PriceEditing::label(const QString& column)
{
    if (column.compare(QLatin1String("Cena1"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Cena za miejsce");
    if (column.compare(QLatin1String("Cena3"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Cena za pokój");
    return column;
}

void PriceEditing::typed(const QString& column, const QString& text)
{
    if (m_prices.state() == TableCursor::State::Browse)
        m_prices.edit();
    if (!isEditing(m_prices))
        return;
    if (const std::optional<QVariant> value = priceFromText(text)) {
        m_bad.remove(column);
        m_prices.setValue(column, *value);
    } else {
        m_bad.insert(column, text);
    }
    m_prices.setValue(QStringLiteral("Cena2"), m_prices.value(QStringLiteral("Cena1")));
    m_prices.setValue(QStringLiteral("Cena4"), m_prices.value(QStringLiteral("Cena3")));
}

void PriceEditing::check() const
{
    if (m_bad.isEmpty())
        return;
    const auto first = m_bad.constBegin();
    throw RezydoError(QStringLiteral("\"%1\" nie jest prawidłową kwotą (%2).\r\n"
                                     "Proszę podać kwotę, na przykład 120 lub 120,50.")
                          .arg(first.value(), label(first.key())));
}

void PriceEditing::save()
{
    check();
    saveRow(m_prices);
    m_bad.clear();
}
