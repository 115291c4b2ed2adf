#pragma once

#include "core/money.h"
#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// A reservation's room line as the confirmation prices it.
struct PricedLine {
    int beds = 0;     // Miejsc, beds taken
    int roomSize = 0; // Rozmiar, beds of the room
    QDate from, to;
    Money bedPrice;  // Cena1, a bed for a night
    Money roomPrice; // Cena3, the whole room for a night
};

// The lines of a reservation whose room exists and whose type has a price.
QList<PricedLine> pricedLines(QSqlDatabase db, int reservationId);
// A line taking fewer beds than the room has pays per bed, else per room.
Money reservationPrice(const QList<PricedLine>& lines);

// The letter: n rooms for the header's period, for the group, with the price.
QString confirmationText(int rooms, const QDate& from, const QDate& to, const QString& hotel,
                         const QString& group, Money price);

class TRapPotwierdzenie final : public Report {
public:
    TRapPotwierdzenie(const QString& hotelName, const QString& hotelAddress, const QString& letter);
};

// Builds and runs the letter for reservation `id`; an id of 0 or less prints
// nothing. Throws DbError.
void printReservationConfirmation(QSqlDatabase db, int id, const QString& name, const QDate& from,
                                  const QDate& to, ReportOutput mode);
