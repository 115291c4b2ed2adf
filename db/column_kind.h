#pragma once

#include <QString>
#include <QVariant>

// What the values of a loaded column mean, so that days compare as days,
// amounts as amounts and yes/no as yes/no, whatever SQLite stored.
enum class ColumnKind {
    Text,    // compared without regard to letter case
    Integer, // whole numbers
    Day,     // TEXT "yyyy-mm-dd"
    Money,   // INTEGER ten-thousandths, shown with two decimals
    YesNo,   // INTEGER 0/1; NULL counts as no
};

// The text a user sees for a stored value: days "yyyy-mm-dd", money "150,00"
// (Polish comma, no currency), yes/no "Tak"/"Nie", NULL "" (except yes/no).
QString columnText(const QVariant& value, ColumnKind kind);
