#include "stays/reservation_confirmation.h"

#include "core/clock.h"
#include "db/sql.h"
#include "reports/engine/mask.h"
#include "reports/engine/report_rows.h"

QList<PricedLine> pricedLines(QSqlDatabase db, int reservationId)
{
    const ReportRows rows = ReportRows::fromSql(
        db,
        QStringLiteral("SELECT R.Miejsc, R.Od, R.\"Do\", C.Cena1, C.Cena3, P.Miejsc AS Rozmiar "
                       "FROM (Rez_msc R INNER JOIN Pokoje P ON R.Nr_pokoju = P.Nr_Pokoju) INNER "
                       "JOIN Cennik C ON P.Typ = C.Typ WHERE R.Identyfikator = :ID"),
        {{":ID", reservationId}});
    QList<PricedLine> lines;
    for (int i = 0; i < rows.rowCount(); ++i)
        lines << PricedLine{rows.value(i, QStringLiteral("Miejsc")).toInt(),
                            rows.value(i, QStringLiteral("Rozmiar")).toInt(),
                            dayFromValue(rows.value(i, QStringLiteral("Od"))),
                            dayFromValue(rows.value(i, QStringLiteral("Do"))),
                            moneyFromValue(rows.value(i, QStringLiteral("Cena1"))),
                            moneyFromValue(rows.value(i, QStringLiteral("Cena3")))};
    return lines;
}

Money reservationPrice(const QList<PricedLine>& lines)
{
    Money total;
    for (const PricedLine& l : lines) {
        const qint64 nights = l.from.isValid() && l.to.isValid() ? l.from.daysTo(l.to) : 0;
        total += l.beds < l.roomSize ? l.bedPrice * (nights * l.beds) : l.roomPrice * nights;
    }
    return total;
}

QString confirmationText(int rooms, const QDate& from, const QDate& to, const QString& hotel,
                         const QString& group, Money price)
{
    const QString od = dayValue(from).toString();
    const QString dO = dayValue(to).toString();
    const QString period = QStringLiteral("w terminie od ") + od + QStringLiteral(" do ") + dO;
    return QStringLiteral("Potwierdzamy rezerwacje ") +
           (rooms == 1 ? QStringLiteral("1 pokoju ")
                       : QString::number(rooms) + QStringLiteral(" pokoi ")) +
           period + QStringLiteral(" w ") + hotel + QStringLiteral(" dla ") + group +
           QStringLiteral(".\n\nCena za wszystkie zarezerwowane pokoje ") + period +
           QStringLiteral(" wynosi ") + formatNumber(price.units(), 4, QStringLiteral("0.00 zł")) +
           QLatin1Char('.');
}

TRapPotwierdzenie::TRapPotwierdzenie(const QString& hotelName, const QString& hotelAddress,
                                     const QString& letter)
{
    title = QStringLiteral("Potwierdzenie rezerwacji");
    Band& band = setTitleBand(150);
    band.addText(QStringLiteral("MiejsceData"), QRectF(102, 2, 80, 6),
                 QStringLiteral("Ziradi") + formatDate(today(), QStringLiteral(" yyyy-mm-dd")),
                 Qt::AlignRight | Qt::AlignVCenter, reportFont(10));
    band.addText(QStringLiteral("Nazwa"), QRectF(8, 16, 120, 6), hotelName,
                 Qt::AlignLeft | Qt::AlignVCenter, reportFont(11));
    band.addText(QStringLiteral("Adres"), QRectF(8, 23, 93, 17), hotelAddress,
                 Qt::AlignLeft | Qt::AlignTop, reportFont(11))
        .wordWrap = true;
    band.addText(QStringLiteral("Naglowek"), QRectF(4, 42, 120, 7),
                 QStringLiteral("Potwierdzenie rezerwacji"), Qt::AlignLeft | Qt::AlignVCenter,
                 reportFont(12, true));
    band.addText(QStringLiteral("Tresc"), QRectF(17, 80, 150, 53), letter,
                 Qt::AlignLeft | Qt::AlignTop, reportFont(11))
        .wordWrap = true;
    band.addText(QStringLiteral("Pozdrowienia"), QRectF(116, 143, 50, 6),
                 QStringLiteral("Z poważaniem"), Qt::AlignLeft | Qt::AlignVCenter, reportFont(10));
}

void printReservationConfirmation(QSqlDatabase db, int id, const QString& name, const QDate& from,
                                  const QDate& to, ReportOutput mode)
{
    if (id <= 0)
        return;
    const QList<PricedLine> lines = pricedLines(db, id);
    const ReportRows config = ReportRows::fromSql(db, QStringLiteral("SELECT * FROM Config"));
    const QString hotel = config.value(0, QStringLiteral("Nazwa")).toString();
    TRapPotwierdzenie report(hotel, config.value(0, QStringLiteral("Adres")).toString(),
                             confirmationText(static_cast<int>(lines.size()), from, to, hotel, name,
                                              reservationPrice(lines)));
    runReport(report, mode);
}
