#include "billing/invoice.h"
#include "billing/ksef/ksef_record.h"
#include "core/days.h"
#include "db/sql.h"

#include <QLocale>
#include <QSqlQuery>

#include <algorithm>

namespace {
// A buyer with an identifier is a business; an invoice made before the kinds
// existed counts as one when it carries an identifier.
#define KSEF_BUSINESS_BUYER                                                                        \
    "(k.Nip_rodzaj IN (1, 2, 3) OR (k.Nip_rodzaj IS NULL AND trim(ifnull(k.Nip, '')) <> ''))"

QString moneyText(Money m)
{
    return m.toPlainString(true) + QStringLiteral(" zł");
}
} // namespace

QList<KsefWaiting> ksefWaiting(QSqlDatabase db, const QDate& from, const QDate& to)
{
    const QVariant start = dayValue(std::max(kKsefStart, from.isValid() ? from : kKsefStart));
    const QVariant end = to.isValid() ? dayValue(to) : QVariant(QStringLiteral("9999-12-31"));
    // A document with no record standing (never exported, or rejected) waits
    // when it goes to a business; one exported waits until it is accepted.
    QSqlQuery q =
        runSql(db,
               QStringLiteral(
                   "SELECT k.Identyfikator, NULL, r.ID, r.Stan, r.Numer, k.Rach, k.Seria, k.Nazwa, "
                   "k.data_wystawienia AS dzien, k.Brutto, EXISTS (SELECT 1 FROM Ksef x WHERE "
                   "x.Identyfikator = k.Identyfikator AND x.ID_korekty IS NULL AND x.Stan = 3) "
                   "FROM Kalk k LEFT JOIN Ksef r ON r.Identyfikator = k.Identyfikator "
                   "AND r.ID_korekty IS NULL AND r.Stan <> 3 "
                   "WHERE k.Typ = 2 AND k.data_wystawienia BETWEEN :Od1 AND :Do1 "
                   "AND ((r.ID IS NULL AND " KSEF_BUSINESS_BUYER ") OR r.Stan IN (0, 1)) "
                   "UNION ALL "
                   "SELECT c.Identyfikator, c.ID, r.ID, r.Stan, r.Numer, c.Rach, c.Seria, k.Nazwa, "
                   "c.data_wystawienia, c.Brutto_po - c.Brutto_przed, EXISTS (SELECT 1 FROM Ksef x "
                   "WHERE x.ID_korekty = c.ID AND x.Stan = 3) "
                   "FROM Korekta c JOIN Kalk k ON k.Identyfikator = c.Identyfikator "
                   "LEFT JOIN Ksef r ON r.ID_korekty = c.ID AND r.Stan <> 3 "
                   "WHERE c.data_wystawienia BETWEEN :Od2 AND :Do2 "
                   "AND ((r.ID IS NULL AND " KSEF_BUSINESS_BUYER ") OR r.Stan IN (0, 1)) "
                   "ORDER BY dzien, 6"),
               {{":Od1", start}, {":Do1", end}, {":Od2", start}, {":Do2", end}});
    QList<KsefWaiting> out;
    while (q.next()) {
        KsefWaiting w;
        w.groupId = q.value(0).toInt();
        if (!q.value(1).isNull())
            w.correctionId = q.value(1).toLongLong();
        w.issued = dayFromValue(q.value(8));
        if (!q.value(2).isNull()) {
            w.recordId = q.value(2).toLongLong();
            const auto state = static_cast<KsefState>(q.value(3).toInt());
            w.stateText = ksefStateText(state);
            w.sent = state == KsefState::Sent;
            w.number = q.value(4).toString();
        } else {
            w.stateText = q.value(10).toBool() ? ksefStateText(KsefState::Rejected)
                                               : QStringLiteral("nie wyeksportowana");
            const QString series = q.value(6).toString();
            w.number = documentNumberText(
                q.value(5).toInt(), series.isEmpty() && !w.correctionId ? invoiceSeries() : series,
                w.issued);
        }
        w.buyer = q.value(7).toString();
        w.gross = moneyFromValue(q.value(9));
        w.deadline = offline24Deadline(w.issued);
        out << w;
    }
    return out;
}

std::optional<QString> ksefDeadlineWarning(QSqlDatabase db, const QDate& today)
{
    int count = 0;
    QDate earliest;
    for (const KsefWaiting& w : ksefWaiting(db)) {
        if (!w.due(today))
            continue;
        ++count;
        if (!earliest.isValid() || w.deadline < earliest)
            earliest = w.deadline;
    }
    if (count == 0)
        return std::nullopt;
    return QStringLiteral("Liczba faktur, których termin wysłania do KSeF (następny dzień roboczy "
                          "po wystawieniu) mija dziś lub już minął: %1.\nNajwcześniejszy termin: "
                          "%2%3.\nWyeksportuj je i przekaż do KSeF (Zestawienia → Faktury do "
                          "wysłania do KSeF).")
        .arg(count)
        .arg(dayText(earliest),
             earliest == today ? QStringLiteral(" (dziś)") : QStringLiteral(" (minął)"));
}

Money monthOutsideKsef(QSqlDatabase db, const QDate& day)
{
    const QDate first(day.year(), day.month(), 1);
    return moneyFromValue(scalarSql(
        db,
        QStringLiteral("SELECT coalesce(sum(k.Brutto), 0) FROM Kalk k WHERE k.Typ = 2 "
                       "AND k.data_wystawienia BETWEEN :Od AND :Do AND " KSEF_BUSINESS_BUYER
                       " AND NOT EXISTS (SELECT 1 FROM Ksef r WHERE r.Identyfikator = "
                       "k.Identyfikator AND r.ID_korekty IS NULL AND r.Stan IN (1, 2))"),
        {{":Od", dayValue(first)}, {":Do", dayValue(first.addMonths(1).addDays(-1))}}));
}

std::optional<QString> ksefLimitWarning(QSqlDatabase db, const QDate& today)
{
    if (today > kKsefExceptionEnd)
        return QStringLiteral("Od 1 stycznia 2027 r. każdą fakturę dla firmy trzeba wysłać do "
                              "KSeF: wyeksportuj ją przyciskiem „Eksport do KSeF” i przekaż "
                              "najpóźniej następnego dnia roboczego po wystawieniu.");
    if (today < kKsefStart)
        return std::nullopt;
    // Once a month passes the limit the exception is gone for good, so every
    // month since the start counts.
    for (QDate month = kKsefStart; month <= today; month = month.addMonths(1)) {
        const Money sum = monthOutsideKsef(db, month);
        if (sum > kKsefMonthLimit)
            return QStringLiteral("Faktury dla firm wystawione poza KSeF za %1 %2 r. wynoszą %3 "
                                  "i przekraczają %4: wyjątek się kończy, i to na stałe. Każdą "
                                  "fakturę dla firmy trzeba teraz wysłać do KSeF (przycisk "
                                  "„Eksport do KSeF”), najpóźniej następnego dnia roboczego po "
                                  "wystawieniu.")
                .arg(QLocale().standaloneMonthName(month.month()))
                .arg(month.year())
                .arg(moneyText(sum), moneyText(kKsefMonthLimit));
    }
    return std::nullopt;
}
