#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

// One payment of the shown stay's group, as the details list it.
struct GuestPayment {
    QString type;   // the payment type's text, empty for an unknown code
    QString number; // Nr_kwit
    QString day;    // Data, yyyy-mm-dd
    QString amount; // Wplata as a plain number ("150", "150,5"), not as money
};

// Everything the guest details show of one person, as texts ready for the
// window and the printout.
struct GuestDetails {
    int personId = 0;
    bool personFound = false;
    // Arch_os and Panstwo.
    QString Nazwisko, Imie, Panstwo, DataUrodzenia, MiejsceUrodzenia, Adres;
    QString Rodzaj, Numer; // the document kind's text and Dokument_nr
    QString Uwagi;
    // The person's register entry that comes last in table order.
    int groupId = 0;
    QString NumerPokoju, Od, Do;
    // The calculation of that entry's group.
    QString Znizka;      // Kalk.Znizka when above 0
    QString RachunekUpr; // Rach of a bill (Kalk.Typ 1)
    QString FakturaVat;  // Rach of a VAT invoice (Kalk.Typ 2)
    QList<GuestPayment> payments;
};

// The details window's text of a document kind code: 1 to 4 name a document,
// every other code (none, 0, 5 "no document") shows empty.
QString documentKindText(int code);

// A payment amount in ten-thousandths as a plain decimal number with the
// locale's decimal comma and only the decimals it needs: "150", "150,5".
QString plainAmount(qint64 units);

// Loads the details of a person. An unknown person leaves the personal fields
// empty and the rest loads as far as the register allows. Throws DbError when
// a statement fails.
GuestDetails loadGuestDetails(QSqlDatabase db, int personId);
