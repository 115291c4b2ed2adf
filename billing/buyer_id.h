#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the buyer's identifier (Kalk.Nip) is; the code is stored in Kalk.Nip_rodzaj.
enum class BuyerIdKind { None = 0, Nip = 1, EuVat = 2, Foreign = 3 };

// The kinds in the order of the choice on the invoice page.
const QStringList& buyerIdKindNames();

// A Polish NIP: ten digits whose weighted sum gives the last one.
bool nipChecksumValid(const QString& digits);

// The identifier as it is kept, checked for its kind: a NIP as ten digits
// (blanks, dashes and a "PL" before it dropped), an EU VAT number as its
// country prefix in capitals and the rest without blanks, another identifier
// trimmed, none as empty text. Throws RezydoError with a Polish message that
// says what is wrong.
QString checkedBuyerId(BuyerIdKind kind, const QString& typed);

// The kind an identifier typed before the kinds existed most likely is.
BuyerIdKind likelyBuyerIdKind(const QString& nip);

// The caption before the identifier on printouts; empty when none is printed.
// An invoice without a kind prints its Nip under "NIP :", as it always did.
QString buyerIdCaption(std::optional<int> kind);
