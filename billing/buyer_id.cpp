#include "billing/buyer_id.h"

#include "core/error.h"

#include <QRegularExpression>

#include <array>

namespace {
// The prefixes of VAT numbers in the European Union ("EL" is Greece, "XI"
// Northern Ireland); Poland's own is left out: a Polish buyer gives a NIP.
const QStringList& euPrefixes()
{
    static const QStringList prefixes =
        QStringLiteral("AT BE BG CY CZ DE DK EE EL ES FI FR HR HU IE IT LT "
                       "LU LV MT NL PT RO SE SI SK XI")
            .split(QLatin1Char(' '));
    return prefixes;
}

QString withoutSeparators(const QString& typed)
{
    QString out = typed.trimmed().toUpper();
    out.remove(QRegularExpression(QStringLiteral("[\\s\\-.]")));
    return out;
}
} // namespace

const QStringList& buyerIdKindNames()
{
    static const QStringList names{QStringLiteral("Brak (osoba prywatna)"), QStringLiteral("NIP"),
                                   QStringLiteral("Numer VAT UE"),
                                   QStringLiteral("Inny identyfikator zagraniczny")};
    return names;
}

bool nipChecksumValid(const QString& digits)
{
    static constexpr std::array<int, 9> weights = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    if (digits.size() != 10)
        return false;
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        if (!digits[i].isDigit() || digits[i].unicode() > '9')
            return false;
    for (int i = 0; i < 9; ++i)
        sum += weights[static_cast<std::size_t>(i)] * digits[i].digitValue();
    const int check = sum % 11;
    return check != 10 && check == digits[9].digitValue();
}

QString checkedBuyerId(BuyerIdKind kind, const QString& typed)
{
    QString id = withoutSeparators(typed);
    switch (kind) {
    case BuyerIdKind::None:
        return QStringLiteral("");
    case BuyerIdKind::Nip:
        if (id.startsWith(QStringLiteral("PL")))
            id = id.mid(2);
        if (id.size() != 10 ||
            !QRegularExpression(QStringLiteral("^[0-9]{10}$")).match(id).hasMatch())
            throw RezydoError(
                QStringLiteral(
                    "NIP nabywcy musi mieć 10 cyfr (kreski i spacje można pominąć), a podano '%1'.")
                    .arg(typed.trimmed()));
        if (!nipChecksumValid(id))
            throw RezydoError(
                QStringLiteral("NIP nabywcy %1 jest błędny: nie zgadza się cyfra kontrolna. "
                               "Sprawdź numer z dokumentem nabywcy.")
                    .arg(id));
        return id;
    case BuyerIdKind::EuVat:
        if (id.startsWith(QStringLiteral("PL")))
            throw RezydoError(
                QStringLiteral("Numer '%1' jest polski: dla nabywcy z Polski wybierz „NIP”.")
                    .arg(typed.trimmed()));
        if (!euPrefixes().contains(id.left(2)) ||
            !QRegularExpression(QStringLiteral("^[A-Z]{2}[0-9A-Z+*]{2,12}$")).match(id).hasMatch())
            throw RezydoError(
                QStringLiteral(
                    "Numer VAT UE nabywcy musi zaczynać się od kodu kraju Unii Europejskiej "
                    "(np. DE, CZ, FR) i mieć po nim od 2 do 12 liter lub cyfr, a podano '%1'.")
                    .arg(typed.trimmed()));
        return id;
    case BuyerIdKind::Foreign:
        id = typed.trimmed();
        if (id.isEmpty())
            throw RezydoError(QStringLiteral("Podaj identyfikator podatkowy nabywcy albo wybierz "
                                             "„Brak (osoba prywatna)”."));
        if (id.size() > 30)
            throw RezydoError(
                QStringLiteral("Identyfikator nabywcy może mieć najwyżej 30 znaków."));
        return id;
    }
    return id;
}

BuyerIdKind likelyBuyerIdKind(const QString& nip)
{
    const QString id = withoutSeparators(nip);
    if (id.isEmpty())
        return BuyerIdKind::None;
    if (euPrefixes().contains(id.left(2)))
        return BuyerIdKind::EuVat;
    const QString digits = id.startsWith(QStringLiteral("PL")) ? id.mid(2) : id;
    if (QRegularExpression(QStringLiteral("^[0-9]+$")).match(digits).hasMatch() &&
        digits.size() == 10)
        return BuyerIdKind::Nip;
    return BuyerIdKind::Foreign;
}

QString buyerIdCaption(std::optional<int> kind)
{
    if (!kind)
        return QStringLiteral("NIP :");
    switch (static_cast<BuyerIdKind>(*kind)) {
    case BuyerIdKind::None:
        return {};
    case BuyerIdKind::Nip:
        return QStringLiteral("NIP :");
    case BuyerIdKind::EuVat:
        return QStringLiteral("VAT UE :");
    case BuyerIdKind::Foreign:
        return QStringLiteral("Nr identyf. :");
    }
    return QStringLiteral("NIP :");
}
