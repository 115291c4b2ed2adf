#include "register/guest_data_export.h"

#include "admin/anonymisation.h"
#include "billing/payments.h"
#include "core/days.h"
#include "core/error.h"
#include "core/money.h"
#include "db/sql.h"
#include "register/guest_details.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSqlQuery>

namespace {
constexpr int kBill = 1;    // Kalk.Typ of a simplified bill
constexpr int kInvoice = 2; // Kalk.Typ of a VAT invoice
constexpr qreal kWidth = 190;
constexpr qreal kRow = 6;

QString text(const QSqlQuery& q, int column)
{
    return q.value(column).toString();
}

QString day(const QSqlQuery& q, int column)
{
    return dayText(dayFromValue(q.value(column)));
}

void collectPerson(QSqlDatabase db, PersonData& d)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT A.Nazwisko, A.Imie, A.Adres, P.Nazwa, A.Data_ur, "
                                        "A.Miejsce_ur, A.Dokument_rodz, A.Dokument_nr, A.Uwagi, "
                                        "A.Anonimizacja FROM Arch_os A "
                                        "LEFT JOIN Panstwo P ON P.ID = A.ID_Panstwo "
                                        "WHERE A.Identyfikator_o = :O"),
                         {{":O", d.personId}});
    if (!q.next())
        return;
    d.found = true;
    d.person = {{QStringLiteral("Nazwisko"), text(q, 0)},
                {QStringLiteral("Imię"), text(q, 1)},
                {QStringLiteral("Adres"), text(q, 2)},
                {QStringLiteral("Państwo"), text(q, 3)},
                {QStringLiteral("Data urodzenia"), day(q, 4)},
                {QStringLiteral("Miejsce urodzenia"), text(q, 5)},
                {QStringLiteral("Dokument tożsamości"), documentKindText(q.value(6).toInt())},
                {QStringLiteral("Numer dokumentu"), text(q, 7)},
                {QStringLiteral("Uwagi"), text(q, 8)}};
    if (!q.value(9).isNull())
        d.person.append({QStringLiteral("Dane usunięte dnia"), day(q, 9)});
}

void collectStays(QSqlDatabase db, PersonData& d)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT K.Identyfikator_g, K.Nr_pokoju, K.Od, K.\"Do\", "
                                        "P.Nazwa, K.Wykwaterowany FROM Ksiazka K "
                                        "LEFT JOIN Panstwo P ON P.ID = K.ID_Panstwo "
                                        "WHERE K.Identyfikator_o = :O ORDER BY K.Od, K.rowid"),
                         {{":O", d.personId}});
    while (q.next())
        d.stays.append({q.value(0).toInt(), text(q, 1), day(q, 2), day(q, 3), text(q, 4),
                        q.value(5).toInt() != 0});
}

QList<int> stayGroups(const PersonData& d)
{
    QList<int> groups;
    for (const PersonDataStay& s : d.stays)
        if (!groups.contains(s.groupId))
            groups << s.groupId;
    return groups;
}

void collectPayments(QSqlDatabase db, PersonData& d, const QList<int>& groups)
{
    for (const int group : groups)
        for (const Payment& p : groupPayments(db, group))
            d.payments.append(
                {group, paymentTypeText(p.type), p.number, dayText(p.day), p.amount.toString()});
}

QString invoiceKind(const QVariant& type)
{
    if (type.isNull())
        return QStringLiteral("bez dokumentu");
    switch (type.toInt()) {
    case kBill:
        return QStringLiteral("Rachunek uproszczony");
    case kInvoice:
        return QStringLiteral("Faktura VAT");
    default:
        return QStringLiteral("bez dokumentu");
    }
}

// A calculation names the person when its buyer contains the surname; a
// company or another guest paying for the group is not the person's data.
void collectInvoices(QSqlDatabase db, PersonData& d, const QList<int>& groups)
{
    const QString surname = d.person.isEmpty() ? QString() : d.person.first().second.trimmed();
    if (surname.isEmpty() || surname == kAnonymousName)
        return;
    for (const int group : groups) {
        QSqlQuery q = runSql(db,
                             QStringLiteral("SELECT Typ, Rach, data_wystawienia, Nazwa, Adres, "
                                            "Nip, Brutto FROM Kalk WHERE Identyfikator = :G"),
                             {{":G", group}});
        if (!q.next() || !text(q, 3).contains(surname, Qt::CaseInsensitive))
            continue;
        const QDate issued = dayFromValue(q.value(2));
        const QString number =
            q.value(1).isNull() ? QString()
            : issued.isValid()  ? QStringLiteral("%1/%2").arg(q.value(1).toInt()).arg(issued.year())
                                : text(q, 1);
        d.invoices.append({group, invoiceKind(q.value(0)), number, dayText(issued), text(q, 3),
                           text(q, 4), text(q, 5), moneyFromValue(q.value(6)).toString()});
    }
}

QJsonObject personObject(const PersonData& d)
{
    static const char* const keys[] = {"Nazwisko", "Imie",        "Adres",         "Panstwo",
                                       "Data_ur",  "Miejsce_ur",  "Dokument_rodz", "Dokument_nr",
                                       "Uwagi",    "Anonimizacja"};
    QJsonObject o;
    o.insert(QStringLiteral("Identyfikator_o"), d.personId);
    for (int i = 0; i < d.person.size() && i < static_cast<int>(std::size(keys)); ++i)
        o.insert(QLatin1String(keys[i]), d.person[i].second);
    return o;
}

QStringList stayCells(const PersonDataStay& s)
{
    return {QString::number(s.groupId),
            s.room,
            s.from,
            s.to,
            s.country,
            s.checkedOut ? QStringLiteral("tak") : QStringLiteral("nie")};
}

QStringList paymentCells(const PersonDataPayment& p)
{
    return {QString::number(p.groupId), p.type, p.number, p.day, p.amount};
}

QStringList invoiceCells(const PersonDataInvoice& i)
{
    return {QString::number(i.groupId),
            i.kind,
            i.number,
            i.issued,
            i.buyer + (i.address.isEmpty() ? QString() : QStringLiteral(", ") + i.address) +
                (i.nip.isEmpty() ? QString() : QStringLiteral(", NIP ") + i.nip),
            i.gross};
}

ReportRows rowsOf(int columns, const QList<QStringList>& cells)
{
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QStringLiteral("k%1").arg(c);
    ReportRows rows(names, {});
    for (const QStringList& row : cells) {
        QVariantList values;
        for (const QString& v : row)
            values << v;
        rows.append(values);
    }
    return rows;
}

template <typename T, typename F> QList<QStringList> cellsOf(const QList<T>& items, F cells)
{
    QList<QStringList> out;
    for (const T& item : items)
        out << cells(item);
    return out;
}
} // namespace

PersonData collectPersonData(QSqlDatabase db, int personId, const QDateTime& made)
{
    PersonData d;
    d.personId = personId;
    d.made = made;
    collectPerson(db, d);
    collectStays(db, d);
    const QList<int> groups = stayGroups(d);
    collectPayments(db, d, groups);
    collectInvoices(db, d, groups);
    return d;
}

QByteArray personDataJson(const PersonData& d)
{
    QJsonArray stays;
    for (const PersonDataStay& s : d.stays)
        stays.append(QJsonObject{{QStringLiteral("Grupa"), s.groupId},
                                 {QStringLiteral("Nr_pokoju"), s.room},
                                 {QStringLiteral("Od"), s.from},
                                 {QStringLiteral("Do"), s.to},
                                 {QStringLiteral("Panstwo"), s.country},
                                 {QStringLiteral("Wykwaterowany"), s.checkedOut}});
    QJsonArray payments;
    for (const PersonDataPayment& p : d.payments)
        payments.append(QJsonObject{{QStringLiteral("Grupa"), p.groupId},
                                    {QStringLiteral("Typ"), p.type},
                                    {QStringLiteral("Numer"), p.number},
                                    {QStringLiteral("Data"), p.day},
                                    {QStringLiteral("Kwota"), p.amount}});
    QJsonArray invoices;
    for (const PersonDataInvoice& i : d.invoices)
        invoices.append(QJsonObject{{QStringLiteral("Grupa"), i.groupId},
                                    {QStringLiteral("Rodzaj"), i.kind},
                                    {QStringLiteral("Numer"), i.number},
                                    {QStringLiteral("Data_wystawienia"), i.issued},
                                    {QStringLiteral("Nabywca"), i.buyer},
                                    {QStringLiteral("Adres"), i.address},
                                    {QStringLiteral("NIP"), i.nip},
                                    {QStringLiteral("Brutto"), i.gross}});
    QJsonObject root;
    root.insert(QStringLiteral("Wygenerowano"),
                d.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    root.insert(QStringLiteral("Osoba"), d.found ? QJsonValue(personObject(d)) : QJsonValue());
    root.insert(QStringLiteral("Pobyty"), stays);
    root.insert(QStringLiteral("Oplaty"), payments);
    root.insert(QStringLiteral("Faktury"), invoices);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

TRapDaneOsoby::TRapDaneOsoby(PersonData data)
    : m_data(std::move(data))
    , m_stays(rowsOf(6, cellsOf(m_data.stays, stayCells)))
    , m_payments(rowsOf(5, cellsOf(m_data.payments, paymentCells)))
    , m_invoices(rowsOf(6, cellsOf(m_data.invoices, invoiceCells)))
{
    title = QStringLiteral("Dane osobowe gościa");
    fileName = personDataFileName(m_data);
    buildPerson();
    buildTable(QStringLiteral("Pobyty"), QStringLiteral("Pobyty"), QStringLiteral("Brak pobytów"),
               {QStringLiteral("Grupa"), QStringLiteral("Nr pokoju"), QStringLiteral("Od"),
                QStringLiteral("Do"), QStringLiteral("Państwo"), QStringLiteral("Wykwaterowany")},
               {18, 22, 25, 25, 60, 40}, m_stays);
    buildTable(QStringLiteral("Oplaty"), QStringLiteral("Opłaty grup tych pobytów"),
               QStringLiteral("Brak opłat"),
               {QStringLiteral("Grupa"), QStringLiteral("Typ"), QStringLiteral("Numer"),
                QStringLiteral("Data"), QStringLiteral("Kwota")},
               {20, 50, 50, 30, 40}, m_payments);
    buildTable(QStringLiteral("Faktury"), QStringLiteral("Faktury wystawione na tę osobę"),
               QStringLiteral("Brak faktur"),
               {QStringLiteral("Grupa"), QStringLiteral("Rodzaj"), QStringLiteral("Numer"),
                QStringLiteral("Wystawiona"), QStringLiteral("Nabywca"), QStringLiteral("Brutto")},
               {15, 28, 20, 26, 73, 28}, m_invoices);
    setPageCounterFooter();
}

void TRapDaneOsoby::buildPerson()
{
    Band& t = setTitleBand(0, QStringLiteral("Tytul"));
    t.addText(QStringLiteral("Tytul"), QRectF(0, 0, kWidth, 10),
              QStringLiteral("Dane osobowe gościa przechowywane w programie"), Qt::AlignCenter,
              reportFont(14, true));
    t.addText(QStringLiteral("Wygenerowano"), QRectF(0, 10, kWidth, 6),
              QStringLiteral("Stan na ") + m_data.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
              Qt::AlignCenter, reportFont(9));
    qreal y = 20;
    if (!m_data.found) {
        t.addText(QStringLiteral("BrakOsoby"), QRectF(0, y, kWidth, kRow),
                  QStringLiteral("Brak danych osobowych tej osoby"),
                  Qt::AlignLeft | Qt::AlignVCenter, reportFont(9, true));
        y += kRow;
    }
    int i = 0;
    for (const auto& [caption, value] : m_data.person) {
        const QString name = QStringLiteral("Pole%1").arg(i++);
        t.addText(name + QStringLiteral("Etykieta"), QRectF(5, y, 45, kRow), caption,
                  Qt::AlignLeft | Qt::AlignTop, reportFont(9));
        Control& v = t.addText(name, QRectF(50, y, kWidth - 50, kRow), value,
                               Qt::AlignLeft | Qt::AlignTop, reportFont(9, true));
        v.wordWrap = true;
        y += value.size() > 90 ? 3 * kRow : kRow;
    }
    t.height = y + 2;
}

void TRapDaneOsoby::buildTable(const QString& name, const QString& heading, const QString& none,
                               const QStringList& captions, const QList<qreal>& widths,
                               ReportRows& rows)
{
    Band& head = addLoop(rows.isEmpty() ? 16 : 17, 1, QStringLiteral("Naglowek") + name);
    head.addText(QStringLiteral("Tytul") + name, QRectF(0, 3, kWidth, 7), heading,
                 Qt::AlignLeft | Qt::AlignVCenter, reportFont(11, true));
    head.addLine(QPointF(0, 10), QPointF(kWidth, 10), 0.3);
    if (rows.isEmpty()) {
        head.addText(QStringLiteral("Brak") + name, QRectF(5, 10, kWidth - 5, kRow), none,
                     Qt::AlignLeft | Qt::AlignVCenter, reportFont(9));
        return;
    }
    qreal x = 0;
    for (int c = 0; c < captions.size(); ++c) {
        head.addText(name + QStringLiteral("Kolumna%1").arg(c), QRectF(x, 10, widths[c], 7),
                     captions[c], Qt::AlignLeft | Qt::AlignVCenter, reportFont(9, true));
        x += widths[c];
    }
    DataSection& data = addData(&rows, kRow, QStringLiteral("Wiersze") + name);
    x = 0;
    for (int c = 0; c < captions.size(); ++c) {
        Control& cell = data.detail->addField(
            name + QStringLiteral("%1").arg(c), QRectF(x, 0, widths[c], kRow),
            QStringLiteral("k%1").arg(c), {}, Qt::AlignLeft | Qt::AlignTop, reportFont(9));
        cell.wordWrap = true;
        cell.stretch = true;
        x += widths[c];
    }
}

QString personDataFileName(const PersonData& data)
{
    QString name = QStringLiteral("Dane osoby %1").arg(data.personId);
    if (data.made.isValid())
        name += data.made.toString(QStringLiteral(" yyyy-MM-dd"));
    return name;
}

QString writePersonData(const PersonData& data, const QString& pdfPath)
{
    TRapDaneOsoby report(data);
    const Document doc = generateDocument(report);
    if (!writePdf(doc, pdfPath))
        throw RezydoError(QStringLiteral("Nie można zapisać pliku '%1'.").arg(pdfPath));
    const QFileInfo pdf(pdfPath);
    const QString jsonPath = pdf.dir().filePath(pdf.completeBaseName() + QStringLiteral(".json"));
    QSaveFile json(jsonPath);
    if (!json.open(QIODevice::WriteOnly) || json.write(personDataJson(data)) < 0 || !json.commit())
        throw RezydoError(QStringLiteral("Nie można zapisać pliku '%1'.").arg(jsonPath));
    return jsonPath;
}
