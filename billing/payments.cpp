#include "billing/payments.h"

#include "billing/correction.h"
#include "billing/values.h"
#include "db/sql.h"

#include <algorithm>
#include <array>

const QStringList& paymentTypeNames()
{
    static const QStringList names{QStringLiteral("Paragon"), QStringLiteral("Kwitariusz"),
                                   QStringLiteral("Przelew"), QStringLiteral("Nota księgowa")};
    return names;
}

const QStringList& paymentFormNames()
{
    static const QStringList names{QStringLiteral("Gotówka"), QStringLiteral("Karta"),
                                   QStringLiteral("Przelew"), QStringLiteral("Bon"),
                                   QStringLiteral("Inna")};
    return names;
}

QString paymentFormText(std::optional<int> form)
{
    return form && *form >= 1 && *form <= paymentFormNames().size()
               ? paymentFormNames().at(*form - 1)
               : QString();
}

QString paymentText(int type, std::optional<int> form)
{
    const QString how = paymentFormText(form).toLower();
    // A transfer document paid by transfer says so once.
    return how.isEmpty() || how == paymentTypeText(type).toLower()
               ? paymentTypeText(type)
               : paymentTypeText(type) + QStringLiteral(", ") + how;
}

PaymentForm usualPaymentForm(int type)
{
    return type == 3 ? PaymentForm::Transfer : PaymentForm::Cash;
}

QString paymentTypeText(int type)
{
    return type >= 1 && type <= paymentTypeNames().size() ? paymentTypeNames().at(type - 1)
                                                          : QString();
}

int paymentTypeCode(const QString& text)
{
    // A type typed into the list counts in any letter case ("przelew", "NOTA KSIĘGOWA").
    const QStringList& names = paymentTypeNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i) + 1;
    return 0;
}

QList<Payment> groupPayments(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT ID, Nr_kwit, Wplata, Data, Typ, Forma FROM Kwit "
                                        "WHERE Identyfikator = :ID ORDER BY ID"),
                         {{":ID", groupId}});
    QList<Payment> out;
    while (q.next())
        out << Payment{q.value(0).toLongLong(),  groupId,
                       q.value(1).toString(),    moneyFromValue(q.value(2)),
                       dayFromValue(q.value(3)), q.value(4).toInt(),
                       optionalInt(q.value(5))};
    return out;
}

QString receiptNumber(const QString& typed)
{
    // Parts are found by their separators, not by position: numbers stored
    // without the blanks of the mask ("0001/#") read the same as whole ones.
    std::array<QString, 3> parts;
    std::size_t part = 0;
    for (const QChar c : typed) {
        if (c == QLatin1Char('/') && part == 0)
            part = 1;
        else if (c == QLatin1Char('#') && part < 2)
            part = 2;
        else if (c != QLatin1Char(' '))
            parts[part] += c;
    }
    const auto aligned = [](const QString& text) { return text.rightJustified(4); };
    return aligned(parts[0]) + QLatin1Char('/') + aligned(parts[1]) + QLatin1Char('#') +
           aligned(parts[2]);
}

QString followingDocumentNumber(const QString& previous, int type)
{
    if (type != kReceiptType) {
        bool ok = false;
        const qlonglong n = previous.trimmed().toLongLong(&ok);
        return QString::number((ok ? n : 0) + 1);
    }
    // Only the number part, before the "/", counts up; the rest is kept.
    const QString stored = receiptNumber(previous);
    const qsizetype slash = stored.indexOf(QLatin1Char('/'));
    const QString digits = stored.left(slash).trimmed();
    const bool plain = std::all_of(digits.cbegin(), digits.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    bool ok = false;
    const int n = digits.toInt(&ok);
    return QStringLiteral("%1").arg((plain && ok ? n : 0) + 1, 4, 10, QLatin1Char('0')) +
           stored.mid(slash);
}

QString latestDocumentNumber(QSqlDatabase db, int type)
{
    return scalarSql(
               db,
               QStringLiteral("SELECT Nr_kwit FROM Kwit WHERE Typ = :Typ ORDER BY ID DESC LIMIT 1"),
               {{":Typ", type}})
        .toString();
}

QString nextDocumentNumber(QSqlDatabase db, int type)
{
    return followingDocumentNumber(latestDocumentNumber(db, type), type);
}

namespace {
Money paidBy(QSqlDatabase db, int groupId)
{
    return moneyFromValue(scalarSql(
        db, QStringLiteral("SELECT coalesce(sum(Wplata), 0) FROM Kwit WHERE Identyfikator = :ID"),
        {{":ID", groupId}}));
}
} // namespace

namespace {
// Paid so far and the due amount, from the header's gross or from the lines.
Settlement evaluate(QSqlDatabase db, int groupId, bool dueFromLines, Money* due)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Brutto, (SELECT coalesce(sum(Brutto), 0) FROM "
                                        "Kalk_det d WHERE d.Identyfikator = k.Identyfikator) + "
                                        "(SELECT coalesce(sum(Brutto), 0) FROM Kalk_usl u WHERE "
                                        "u.Identyfikator = k.Identyfikator), "
                                        "Przedplata, rozl FROM Kalk k WHERE Identyfikator = :ID"),
                         {{":ID", groupId}});
    if (!q.next())
        return {};
    // Correcting invoices change what the group owes by their differences.
    *due = moneyFromValue(q.value(dueFromLines ? 1 : 0)) - moneyFromValue(q.value(2)) +
           correctionsDifference(db, groupId);
    Settlement s;
    s.paid = paidBy(db, groupId);
    s.toPay = *due - s.paid;
    s.settled = q.value(3).toInt() != 0;
    return s;
}
} // namespace

Settlement refreshSettlement(QSqlDatabase db, int groupId)
{
    Money due;
    Settlement s = evaluate(db, groupId, false, &due);
    const bool settled = s.paid >= due;
    if (settled != s.settled)
        runSql(db, QStringLiteral("UPDATE Kalk SET rozl = :rozl WHERE Identyfikator = :ID"),
               {{":rozl", boolValue(settled)}, {":ID", groupId}});
    s.settled = settled;
    return s;
}

Settlement currentSettlement(QSqlDatabase db, int groupId)
{
    Money due;
    return evaluate(db, groupId, false, &due);
}

Settlement storedSettlement(QSqlDatabase db, int groupId)
{
    Money due;
    return evaluate(db, groupId, true, &due);
}

void settle(QSqlDatabase db, int groupId)
{
    runInTransaction(db, [&] { refreshSettlement(db, groupId); });
}

qint64 registerPayment(QSqlDatabase db, const Payment& p)
{
    // Run again from the start when another desk wrote at the same moment.
    qint64 id = 0;
    runInTransaction(db, [&] {
        QSqlQuery q =
            runSql(db,
                   QStringLiteral("INSERT INTO Kwit (Identyfikator, Nr_kwit, Wplata, Data, "
                                  "Typ, Forma) VALUES (:ID, :Nr, :Wplata, :Data, :Typ, "
                                  ":Forma)"),
                   {{":ID", p.groupId},
                    {":Nr", p.number},
                    {":Wplata", moneyValue(p.amount)},
                    {":Data", dayValue(p.day)},
                    {":Typ", p.type},
                    {":Forma", optionalIntValue(p.form)}});
        id = q.lastInsertId().toLongLong();
        refreshSettlement(db, p.groupId);
    });
    return id;
}

void removePayment(QSqlDatabase db, int groupId, qint64 paymentId)
{
    runInTransaction(db, [&] {
        runSql(db, QStringLiteral("DELETE FROM Kwit WHERE ID = :ID"), {{":ID", paymentId}});
        refreshSettlement(db, groupId);
    });
}
