#pragma once

#include <QString>
#include <QStringList>

// The three invoice values of the settings store that the hotel data window
// keeps beside the Config row.
struct InvoiceSettings {
    QString bank = QStringLiteral("Bank");    // when the store has no "Bank"
    QString konto = QStringLiteral("Konto");  // when the store has no "Konto"
    QString fakturaRoz = QStringLiteral("H"); // when "FakturaRoz" is missing or empty

    // What the window shows when it is created.
    static InvoiceSettings read();
    // Writes all three to the machine scope; returns the names of those that
    // could not be written (the caller tells the user).
    QStringList write() const;
};
