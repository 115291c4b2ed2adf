#pragma once

#include "core/money.h"

#include <QMap>
#include <QString>
#include <QVariant>

#include <optional>

class TableCursor;

// A price as typed: "120", "120,50", "120.5"; empty is no price (NULL).
// nullopt when the text is not an amount.
std::optional<QVariant> priceFromText(const QString& text);

// The typed prices of the price-list row being edited. The price list keeps
// the further-night prices equal to the first-night ones: whenever "Cena za
// miejsce" or "Cena za pokój" is typed into, Cena2 takes Cena1 and Cena4 takes
// Cena3. A text that is not an amount is held back and refused on saving.
class PriceEditing {
public:
    explicit PriceEditing(TableCursor& prices)
        : m_prices(prices)
    {
    }

    // The user typed `text` into the box of `column` (Cena1 or Cena3).
    void typed(const QString& column, const QString& text);
    // Forgets texts typed for a row that was saved, dropped or left.
    void reset() { m_bad.clear(); }
    bool hasBadText() const { return !m_bad.isEmpty(); }
    bool isBad(const QString& column) const { return m_bad.contains(column); }
    // Throws RezydoError naming the box whose text is not an amount.
    void check() const;
    // check(), then saves the row as "&Ok" does.
    void save();

    // The label of a visible price column ("Cena za miejsce").
    static QString label(const QString& column);

private:
    TableCursor& m_prices;
    QMap<QString, QString> m_bad; // column -> text that is not an amount
};
