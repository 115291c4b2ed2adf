#include "billing/correction.h"

#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/payments.h"
#include "billing/services.h"
#include "billing/vat.h"
#include "core/days.h"
#include "core/error.h"
#include "core/settings.h"
#include "db/sql.h"

#include <QHash>

namespace {
QString yearText(int year)
{
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

QString lineDescription(const CalcLine& l)
{
    return QStringLiteral("Nocleg, pokój %1, od %2 do %3")
        .arg(l.room, dayText(l.from), dayText(l.to));
}

CorrectionLine lineFrom(const QSqlQuery& q)
{
    CorrectionLine l;
    l.lineNo = q.value(QStringLiteral("No_pozycji")).toLongLong();
    l.description = q.value(QStringLiteral("Opis")).toString();
    l.vatBefore = q.value(QStringLiteral("VAT_przed")).toString();
    l.vatAfter = q.value(QStringLiteral("VAT_po")).toString();
    l.grossBefore = moneyFromValue(q.value(QStringLiteral("Brutto_przed")));
    l.grossAfter = moneyFromValue(q.value(QStringLiteral("Brutto_po")));
    l.taxBefore = moneyFromValue(q.value(QStringLiteral("Podatek_przed")));
    l.taxAfter = moneyFromValue(q.value(QStringLiteral("Podatek_po")));
    return l;
}

Correction headerFrom(const QSqlQuery& q)
{
    Correction c;
    c.id = q.value(QStringLiteral("ID")).toLongLong();
    c.groupId = q.value(QStringLiteral("Identyfikator")).toInt();
    c.number = q.value(QStringLiteral("Rach")).toInt();
    c.series = q.value(QStringLiteral("Seria")).toString();
    c.issued = dayFromValue(q.value(QStringLiteral("data_wystawienia")));
    c.reason = q.value(QStringLiteral("Przyczyna")).toString();
    c.invoiceNumber = q.value(QStringLiteral("Fakt_numer")).toString();
    c.invoiceDate = dayFromValue(q.value(QStringLiteral("Fakt_data")));
    c.grossBefore = moneyFromValue(q.value(QStringLiteral("Brutto_przed")));
    c.grossAfter = moneyFromValue(q.value(QStringLiteral("Brutto_po")));
    c.taxBefore = moneyFromValue(q.value(QStringLiteral("Podatek_przed")));
    c.taxAfter = moneyFromValue(q.value(QStringLiteral("Podatek_po")));
    return c;
}

void insertLine(QSqlDatabase db, qint64 correction, int position, const CorrectionLine& l)
{
    runSql(db,
           QStringLiteral("INSERT INTO Korekta_det (ID_korekty, Lp, No_pozycji, Opis, VAT_przed, "
                          "VAT_po, Brutto_przed, Brutto_po, Podatek_przed, Podatek_po) VALUES "
                          "(:K, :Lp, :No, :Opis, :Vp, :Va, :Bp, :Ba, :Pp, :Pa)"),
           {{":K", correction},
            {":Lp", position},
            {":No", l.lineNo},
            {":Opis", l.description},
            {":Vp", l.vatBefore},
            {":Va", l.vatAfter},
            {":Bp", moneyValue(l.grossBefore)},
            {":Ba", moneyValue(l.grossAfter)},
            {":Pp", moneyValue(l.taxBefore)},
            {":Pa", moneyValue(l.taxAfter)}});
}
} // namespace

QString Correction::numberText() const
{
    return documentNumberText(number, series, issued);
}

QString correctionSeries()
{
    return readSetting(QStringLiteral("KorektaRoz")).value_or(QStringLiteral("KOR"));
}

QList<CorrectionLine> correctableLines(QSqlDatabase db, int groupId)
{
    // The latest correction of each line says what it is now.
    QHash<qint64, CorrectionLine> latest;
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT d.* FROM Korekta_det d JOIN Korekta k ON k.ID = "
                                        "d.ID_korekty WHERE k.Identyfikator = :ID ORDER BY k.ID"),
                         {{":ID", groupId}});
    while (q.next()) {
        const CorrectionLine l = lineFrom(q);
        latest.insert(l.lineNo, l);
    }
    QList<CorrectionLine> out;
    for (const CalcLine& line : loadLines(db, groupId)) {
        CorrectionLine c;
        c.lineNo = line.no;
        c.description = lineDescription(line);
        c.vatBefore = line.vat;
        c.grossBefore = line.gross;
        if (latest.contains(line.no)) {
            c.vatBefore = latest[line.no].vatAfter;
            c.grossBefore = latest[line.no].grossAfter;
        }
        c.taxBefore = vatOfGross(c.grossBefore, c.vatBefore);
        c.vatAfter = c.vatBefore;
        c.grossAfter = c.grossBefore;
        c.taxAfter = c.taxBefore;
        out << c;
    }
    // A service line is kept under the negative of its number, so that the
    // two kinds of line never share one.
    for (const ServiceLine& line : loadServiceLines(db, groupId)) {
        CorrectionLine c;
        c.lineNo = -line.no;
        c.description = line.name;
        c.vatBefore = line.vat;
        c.grossBefore = line.gross;
        c.taxBefore = line.tax;
        if (latest.contains(c.lineNo)) {
            c.vatBefore = latest[c.lineNo].vatAfter;
            c.grossBefore = latest[c.lineNo].grossAfter;
            c.taxBefore = vatOfGross(c.grossBefore, c.vatBefore);
        }
        c.vatAfter = c.vatBefore;
        c.grossAfter = c.grossBefore;
        c.taxAfter = c.taxBefore;
        out << c;
    }
    return out;
}

int proposedCorrectionNumber(QSqlDatabase db, const QString& series, int year)
{
    return scalarSql(db,
                     QStringLiteral("SELECT coalesce(max(Rach), 0) + 1 FROM Korekta WHERE Seria "
                                    "= :S AND substr(data_wystawienia, 1, 4) = :Y"),
                     {{":S", series}, {":Y", yearText(year)}})
        .toInt();
}

qint64 issueCorrection(QSqlDatabase db, int groupId, const QList<CorrectionLine>& lines,
                       const QString& reason, const QDate& issued, std::optional<int> number,
                       const QString& series)
{
    if (reason.trimmed().isEmpty())
        throw RezydoError(QStringLiteral("Podaj przyczynę korekty."));
    // Run again from the start when another desk wrote at the same moment:
    // the sums and the number come from what that attempt read.
    qint64 id = 0;
    runInTransaction(db, [&] {
        const CalcHeader invoice = loadHeader(db, groupId);
        if (!invoice.invoiceIssued())
            throw RezydoError(
                QStringLiteral("Ta grupa nie ma wystawionej faktury: nie ma czego korygować."));
        // The lines as they stand now are read again inside the transaction: a
        // correction made meanwhile at another desk is the "before" of this one.
        const QList<CorrectionLine> current = correctableLines(db, groupId);
        QList<CorrectionLine> changed;
        Money grossBefore, grossAfter, taxBefore, taxAfter;
        for (const CorrectionLine& now : current) {
            CorrectionLine l = now;
            for (const CorrectionLine& wanted : lines)
                if (wanted.lineNo == now.lineNo) {
                    l.vatAfter = wanted.vatAfter;
                    l.grossAfter = wanted.grossAfter;
                }
            l.taxAfter = vatOfGross(l.grossAfter, l.vatAfter);
            grossBefore += l.grossBefore;
            grossAfter += l.grossAfter;
            taxBefore += l.taxBefore;
            taxAfter += l.taxAfter;
            if (l.changed())
                changed << l;
        }
        if (changed.isEmpty())
            throw RezydoError(QStringLiteral(
                "Korekta niczego nie zmienia: zmień kwotę brutto lub stawkę VAT co najmniej jednej "
                "pozycji."));
        const int year = issued.year();
        if (number &&
            scalarSql(db,
                      QStringLiteral("SELECT count(*) FROM Korekta WHERE Seria = :S AND Rach = :R "
                                     "AND substr(data_wystawienia, 1, 4) = :Y"),
                      {{":S", series}, {":R", *number}, {":Y", yearText(year)}})
                    .toInt() > 0)
            throw RezydoError(QStringLiteral("Numer faktury korygującej %1 jest już zajęty. Podaj "
                                             "inny numer albo przyjmij proponowany.")
                                  .arg(documentNumberText(*number, series, issued)));
        const int taken = number ? *number : proposedCorrectionNumber(db, series, year);
        QSqlQuery insert =
            runSql(db,
                   QStringLiteral(
                       "INSERT INTO Korekta (Identyfikator, Rach, Seria, data_wystawienia, "
                       "Przyczyna, Fakt_numer, Fakt_data, Brutto_przed, Brutto_po, Podatek_przed, "
                       "Podatek_po) VALUES (:ID, :R, :S, :D, :P, :FN, :FD, :Bp, :Ba, :Pp, :Pa)"),
                   {{":ID", groupId},
                    {":R", taken},
                    {":S", series},
                    {":D", dayValue(issued)},
                    {":P", reason.trimmed()},
                    {":FN", invoiceNumberText(invoice)},
                    {":FD", dayValue(invoice.issueDate)},
                    {":Bp", moneyValue(grossBefore)},
                    {":Ba", moneyValue(grossAfter)},
                    {":Pp", moneyValue(taxBefore)},
                    {":Pa", moneyValue(taxAfter)}});
        id = insert.lastInsertId().toLongLong();
        int position = 0;
        for (const CorrectionLine& l : changed)
            insertLine(db, id, ++position, l);
        refreshSettlement(db, groupId);
    });
    return id;
}

Correction loadCorrection(QSqlDatabase db, qint64 id)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT * FROM Korekta WHERE ID = :ID"), {{":ID", id}});
    if (!q.next())
        throw RezydoError(QStringLiteral("Brak faktury korygującej %1.").arg(id));
    Correction c = headerFrom(q);
    QSqlQuery lines =
        runSql(db, QStringLiteral("SELECT * FROM Korekta_det WHERE ID_korekty = :ID ORDER BY Lp"),
               {{":ID", id}});
    while (lines.next())
        c.lines << lineFrom(lines);
    return c;
}

QList<Correction> groupCorrections(QSqlDatabase db, int groupId)
{
    QList<qint64> ids;
    {
        QSqlQuery q = runSql(
            db, QStringLiteral("SELECT ID FROM Korekta WHERE Identyfikator = :ID ORDER BY ID"),
            {{":ID", groupId}});
        while (q.next())
            ids << q.value(0).toLongLong();
    }
    QList<Correction> out;
    for (qint64 id : ids)
        out << loadCorrection(db, id);
    return out;
}

Money correctionsDifference(QSqlDatabase db, int groupId)
{
    return moneyFromValue(scalarSql(db,
                                    QStringLiteral("SELECT coalesce(sum(Brutto_po - "
                                                   "Brutto_przed), 0) FROM Korekta WHERE "
                                                   "Identyfikator = :ID"),
                                    {{":ID", groupId}}));
}
