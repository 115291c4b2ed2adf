#include "billing/ksef/fa3.h"

#include "billing/buyer_id.h"
#include "billing/correction.h"
#include "billing/invoice.h"
#include "billing/invoice_printout.h"
#include "billing/payments.h"
#include "billing/vat.h"
#include "core/settings.h"
#include "db/sql.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdlib>

namespace {
const QString kNamespace = QStringLiteral("http://crd.gov.pl/wzor/2025/06/25/13775/");

// An amount as the structure writes it: a dot and two decimals.
QString amount(Money m)
{
    // Rounded half away from zero, so that a negative difference keeps its cents.
    const std::int64_t units = m.units();
    const std::int64_t cents = (std::llabs(units) + 50) / 100;
    return QStringLiteral("%1%2.%3")
        .arg(units < 0 && cents != 0 ? QStringLiteral("-") : QString())
        .arg(cents / 100)
        .arg(cents % 100, 2, 10, QLatin1Char('0'));
}

// A unit price: the value shared by the quantity, with up to eight decimals
// and at least two.
QString unitPrice(Money value, int quantity)
{
    if (quantity <= 0)
        return amount(value);
    // Money keeps four places; eight need the units times 10 000.
    const std::int64_t scaled = std::llabs(value.units()) * 10000;
    const std::int64_t price = (scaled * 2 + quantity) / (2 * static_cast<std::int64_t>(quantity));
    QString decimals = QStringLiteral("%1").arg(price % 100000000, 8, 10, QLatin1Char('0'));
    while (decimals.size() > 2 && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    return QStringLiteral("%1%2.%3")
        .arg(value.units() < 0 ? QStringLiteral("-") : QString())
        .arg(price / 100000000)
        .arg(decimals);
}

QString isoDate(const QDate& day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

// The structure's code of a rate: the table's own, else the old codes read
// as the percentages they are, "0" as the domestic zero rate.
QString faCodeOf(const QList<VatRate>& rates, const QString& code)
{
    const VatRate rate = vatRateOf(rates, code);
    if (!rate.faCode.isEmpty())
        return rate.faCode;
    if (code == QLatin1String("0"))
        return QStringLiteral("0 KR");
    return code;
}

// The totals field of a rate code: "1" for P_13_1/P_14_1 and so on; empty
// for a code the structure has no totals field for.
QString totalsField(const QString& faCode)
{
    static const QHash<QString, QString> fields{
        {QStringLiteral("23"), QStringLiteral("1")},
        {QStringLiteral("22"), QStringLiteral("1")},
        {QStringLiteral("8"), QStringLiteral("2")},
        {QStringLiteral("7"), QStringLiteral("2")},
        {QStringLiteral("5"), QStringLiteral("3")},
        {QStringLiteral("0 KR"), QStringLiteral("6_1")},
        {QStringLiteral("0 WDT"), QStringLiteral("6_2")},
        {QStringLiteral("0 EX"), QStringLiteral("6_3")},
        {QStringLiteral("zw"), QStringLiteral("7")},
        {QStringLiteral("np I"), QStringLiteral("8")},
        {QStringLiteral("np II"), QStringLiteral("9")},
        {QStringLiteral("oo"), QStringLiteral("10")},
    };
    return fields.value(faCode);
}

// The totals fields in the order the structure lists them; the first five
// carry a tax field beside the net one.
const QStringList& totalsOrder()
{
    static const QStringList order{"1",   "2", "3", "4", "5",  "6_1", "6_2",
                                   "6_3", "7", "8", "9", "10", "11"};
    return order;
}

struct RateSum {
    Money net, tax;
};

// Country codes of the countries a buyer most often comes from, by the
// names the country list holds.
QString countryCode(const QString& name)
{
    static const QHash<QString, QString> codes{
        {"Polska", "PL"},     {"Austria", "AT"},         {"Belgia", "BE"},
        {"Bułgaria", "BG"},   {"Chorwacja", "HR"},       {"Cypr", "CY"},
        {"Czechy", "CZ"},     {"Dania", "DK"},           {"Estonia", "EE"},
        {"Finlandia", "FI"},  {"Francja", "FR"},         {"Grecja", "GR"},
        {"Hiszpania", "ES"},  {"Holandia", "NL"},        {"Niderlandy", "NL"},
        {"Irlandia", "IE"},   {"Litwa", "LT"},           {"Luksemburg", "LU"},
        {"Łotwa", "LV"},      {"Malta", "MT"},           {"Niemcy", "DE"},
        {"Portugalia", "PT"}, {"Rumunia", "RO"},         {"Słowacja", "SK"},
        {"Słowenia", "SI"},   {"Szwecja", "SE"},         {"Węgry", "HU"},
        {"Włochy", "IT"},     {"Wielka Brytania", "GB"}, {"Norwegia", "NO"},
        {"Szwajcaria", "CH"}, {"Ukraina", "UA"},         {"Stany Zjednoczone", "US"},
        {"Kanada", "CA"},     {"Islandia", "IS"},        {"Liechtenstein", "LI"},
        {"Białoruś", "BY"},   {"Japonia", "JP"},         {"Chiny", "CN"},
        {"Izrael", "IL"},     {"Turcja", "TR"},          {"Gruzja", "GE"},
        {"Mołdawia", "MD"},   {"Australia", "AU"},
    };
    return codes.value(name.trimmed());
}

// The payment form codes of the structure by the program's forms.
struct FormCode {
    int code = 0; // 0: "other", written with its description
    bool known = false;
};

FormCode structureForm(int form)
{
    switch (static_cast<PaymentForm>(form)) {
    case PaymentForm::Cash:
        return {1, true};
    case PaymentForm::Card:
        return {2, true};
    case PaymentForm::Voucher:
        return {3, true};
    case PaymentForm::Transfer:
        return {6, true};
    case PaymentForm::Other:
        return {0, true};
    }
    return {};
}

void writeForm(QXmlStreamWriter& w, int form)
{
    const FormCode f = structureForm(form);
    if (!f.known)
        return;
    if (f.code > 0) {
        w.writeTextElement(QStringLiteral("FormaPlatnosci"), QString::number(f.code));
        return;
    }
    w.writeTextElement(QStringLiteral("PlatnoscInna"), QStringLiteral("1"));
    w.writeTextElement(QStringLiteral("OpisPlatnosci"), paymentFormText(form));
}

// One address of free lines: the part from the postal code on goes to the
// second line when the address names one after a comma.
void writeAddress(QXmlStreamWriter& w, const QString& country, const QString& address)
{
    w.writeStartElement(QStringLiteral("Adres"));
    w.writeTextElement(QStringLiteral("KodKraju"), country);
    const QString text = address.simplified();
    static const QRegularExpression postal(QStringLiteral(",\\s*(\\d{2}-\\d{3}\\b.*)$"));
    const QRegularExpressionMatch m = postal.match(text);
    if (m.hasMatch()) {
        w.writeTextElement(QStringLiteral("AdresL1"), text.left(m.capturedStart()).trimmed());
        w.writeTextElement(QStringLiteral("AdresL2"), m.captured(1).trimmed());
    } else {
        w.writeTextElement(QStringLiteral("AdresL1"), text);
    }
    w.writeEndElement();
}

// A document being built: the writer and what could not be filled in.
class Builder {
public:
    Builder(QSqlDatabase db, const Fa3Context& context)
        : m_db(db)
        , m_context(context)
        , m_rates(loadVatRates(db))
        , m_writer(&m_bytes)
    {
        m_writer.setAutoFormatting(true);
        m_writer.setAutoFormattingIndent(2);
    }

    void start(const InvoiceData& d, int groupId);
    void startFa(const QDate& issued, const QString& number, const QDate& sold);
    void writeTotals(const QMap<QString, RateSum>& sums, Money total);
    void writeAnnotations(bool exempt);
    void writeReceipts(int groupId);
    void writeInvoiceLines(const InvoiceData& d);
    void writePayment(const InvoiceData& d, int groupId);
    void writeOrder(const QString& order);
    QByteArray finish(const InvoiceData& d);

    QString faCode(const QString& code) const { return faCodeOf(m_rates, code); }
    void problem(const QString& field, const QString& message)
    {
        m_problems << Fa3Problem{field, message};
    }
    QXmlStreamWriter& writer() { return m_writer; }
    void setExemptionBasis(const QString& basis) { m_exemptionBasis = basis; }

private:
    void writeSeller(const InvoiceData& d);
    void writeBuyer(const InvoiceData& d, int groupId);

    QSqlDatabase m_db;
    Fa3Context m_context;
    QList<VatRate> m_rates;
    QByteArray m_bytes;
    QXmlStreamWriter m_writer;
    QList<Fa3Problem> m_problems;
    QString m_exemptionBasis;
};

void Builder::start(const InvoiceData& d, int groupId)
{
    QXmlStreamWriter& w = m_writer;
    w.writeStartDocument();
    w.writeDefaultNamespace(kNamespace);
    w.writeStartElement(kNamespace, QStringLiteral("Faktura"));
    w.writeStartElement(QStringLiteral("Naglowek"));
    w.writeStartElement(QStringLiteral("KodFormularza"));
    w.writeAttribute(QStringLiteral("kodSystemowy"), QStringLiteral("FA (3)"));
    w.writeAttribute(QStringLiteral("wersjaSchemy"), QStringLiteral("1-0E"));
    w.writeCharacters(QStringLiteral("FA"));
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("WariantFormularza"), QStringLiteral("3"));
    w.writeTextElement(QStringLiteral("DataWytworzeniaFa"),
                       m_context.created.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    w.writeTextElement(QStringLiteral("SystemInfo"), QStringLiteral("Rezydo"));
    w.writeEndElement();
    writeSeller(d);
    writeBuyer(d, groupId);
}

void Builder::writeSeller(const InvoiceData& d)
{
    QXmlStreamWriter& w = m_writer;
    w.writeStartElement(QStringLiteral("Podmiot1"));
    w.writeStartElement(QStringLiteral("DaneIdentyfikacyjne"));
    w.writeTextElement(QStringLiteral("NIP"), fa3Nip(d.sellerNip));
    w.writeTextElement(QStringLiteral("Nazwa"), d.sellerName.simplified());
    w.writeEndElement();
    writeAddress(w, QStringLiteral("PL"), d.sellerAddress);
    w.writeEndElement();
}

void Builder::writeBuyer(const InvoiceData& d, int groupId)
{
    QSqlQuery q = runSql(m_db,
                         QStringLiteral("SELECT k.Nip_rodzaj, k.ID_Panstwo, p.Nazwa FROM Kalk k "
                                        "LEFT JOIN Panstwo p ON p.ID = k.ID_Panstwo "
                                        "WHERE k.Identyfikator = :ID"),
                         {{":ID", groupId}});
    const bool found = q.next();
    const QString nip = d.buyerNip.trimmed();
    const BuyerIdKind kind = found && !q.value(0).isNull()
                                 ? static_cast<BuyerIdKind>(q.value(0).toInt())
                                 : likelyBuyerIdKind(nip);
    const bool abroad = found && !q.value(1).isNull() && q.value(1).toInt() != 1;
    QString country = abroad ? countryCode(q.value(2).toString()) : QStringLiteral("PL");

    QXmlStreamWriter& w = m_writer;
    w.writeStartElement(QStringLiteral("Podmiot2"));
    w.writeStartElement(QStringLiteral("DaneIdentyfikacyjne"));
    switch (nip.isEmpty() ? BuyerIdKind::None : kind) {
    case BuyerIdKind::Nip:
        w.writeTextElement(QStringLiteral("NIP"), fa3Nip(nip));
        break;
    case BuyerIdKind::EuVat: {
        const QString compact = nip.toUpper().remove(QRegularExpression(QStringLiteral("[\\s.-]")));
        w.writeTextElement(QStringLiteral("KodUE"), compact.left(2));
        w.writeTextElement(QStringLiteral("NrVatUE"), compact.mid(2));
        // The country of an EU VAT number is its prefix (Greece writes "EL").
        if (country.isEmpty())
            country =
                compact.left(2) == QLatin1String("EL") ? QStringLiteral("GR") : compact.left(2);
        break;
    }
    case BuyerIdKind::Foreign:
        if (!country.isEmpty())
            w.writeTextElement(QStringLiteral("KodKraju"), country);
        w.writeTextElement(QStringLiteral("NrID"), nip);
        break;
    case BuyerIdKind::None:
        w.writeTextElement(QStringLiteral("BrakID"), QStringLiteral("1"));
        break;
    }
    w.writeTextElement(QStringLiteral("Nazwa"), d.buyerName.simplified());
    w.writeEndElement();
    if (!d.buyerAddress.trimmed().isEmpty()) {
        if (country.isEmpty())
            problem(QStringLiteral("Podmiot2/Adres/KodKraju"),
                    QStringLiteral("nieznany kod kraju nabywcy „%1”.").arg(q.value(2).toString()));
        writeAddress(w, country, d.buyerAddress);
    }
    w.writeTextElement(QStringLiteral("JST"), QStringLiteral("2"));
    w.writeTextElement(QStringLiteral("GV"), QStringLiteral("2"));
    w.writeEndElement();
}

void Builder::startFa(const QDate& issued, const QString& number, const QDate& sold)
{
    QXmlStreamWriter& w = m_writer;
    w.writeStartElement(QStringLiteral("Fa"));
    w.writeTextElement(QStringLiteral("KodWaluty"), QStringLiteral("PLN"));
    w.writeTextElement(QStringLiteral("P_1"), isoDate(issued));
    const QString place = scalarSql(m_db, QStringLiteral("SELECT Miejscowosc FROM Config LIMIT 1"))
                              .toString()
                              .simplified();
    if (!place.isEmpty())
        w.writeTextElement(QStringLiteral("P_1M"), place);
    w.writeTextElement(QStringLiteral("P_2"), number);
    if (sold.isValid() && sold != issued)
        w.writeTextElement(QStringLiteral("P_6"), isoDate(sold));
}

void Builder::writeTotals(const QMap<QString, RateSum>& sums, Money total)
{
    QXmlStreamWriter& w = m_writer;
    for (qsizetype i = 0; i < totalsOrder().size(); ++i) {
        const QString& field = totalsOrder().at(i);
        if (!sums.contains(field))
            continue;
        const RateSum s = sums.value(field);
        w.writeTextElement(QStringLiteral("P_13_") + field, amount(s.net));
        if (i < 5)
            w.writeTextElement(QStringLiteral("P_14_") + field, amount(s.tax));
    }
    w.writeTextElement(QStringLiteral("P_15"), amount(total));
}

void Builder::writeAnnotations(bool exempt)
{
    QXmlStreamWriter& w = m_writer;
    w.writeStartElement(QStringLiteral("Adnotacje"));
    for (const char* field : {"P_16", "P_17", "P_18", "P_18A"})
        w.writeTextElement(QString::fromLatin1(field), QStringLiteral("2"));
    w.writeStartElement(QStringLiteral("Zwolnienie"));
    if (exempt) {
        w.writeTextElement(QStringLiteral("P_19"), QStringLiteral("1"));
        const QString basis = m_exemptionBasis.simplified();
        if (basis.isEmpty())
            problem(QStringLiteral("Fa/Adnotacje/Zwolnienie/P_19A"),
                    QStringLiteral("sprzedaż zwolniona wymaga podstawy prawnej zwolnienia; "
                                   "wpisz ją w konfiguracji."));
        w.writeTextElement(QStringLiteral("P_19A"), basis);
    } else {
        w.writeTextElement(QStringLiteral("P_19N"), QStringLiteral("1"));
    }
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("NoweSrodkiTransportu"));
    w.writeTextElement(QStringLiteral("P_22N"), QStringLiteral("1"));
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("P_23"), QStringLiteral("2"));
    w.writeStartElement(QStringLiteral("PMarzy"));
    w.writeTextElement(QStringLiteral("P_PMarzyN"), QStringLiteral("1"));
    w.writeEndElement();
    w.writeEndElement();
}

// A payment recorded on a fiscal receipt makes this an invoice to a
// receipt; the receipts are named.
void Builder::writeReceipts(int groupId)
{
    QStringList receipts;
    for (const Payment& p : groupPayments(m_db, groupId))
        if (p.type == kReceiptType)
            receipts << QStringLiteral("nr %1 z %2")
                            .arg(QString(p.number).remove(QLatin1Char(' ')), isoDate(p.day));
    if (receipts.isEmpty())
        return;
    QXmlStreamWriter& w = m_writer;
    w.writeTextElement(QStringLiteral("FP"), QStringLiteral("1"));
    for (const QString& r : receipts) {
        w.writeStartElement(QStringLiteral("DodatkowyOpis"));
        w.writeTextElement(QStringLiteral("Klucz"), QStringLiteral("Paragon fiskalny"));
        w.writeTextElement(QStringLiteral("Wartosc"), r);
        w.writeEndElement();
    }
}

void Builder::writeInvoiceLines(const InvoiceData& d)
{
    // Items name their rate by its printed text; the totals tell its code.
    QHash<QString, QString> codeOfPrinted;
    for (const RateTotal& t : d.rateTotals)
        codeOfPrinted.insert(t.printed, t.code);
    const QString sww =
        scalarSql(m_db, QStringLiteral("SELECT SWW FROM Config LIMIT 1")).toString().trimmed();
    QXmlStreamWriter& w = m_writer;
    int no = 0;
    for (const InvoiceItem& item : d.items) {
        w.writeStartElement(QStringLiteral("FaWiersz"));
        w.writeTextElement(QStringLiteral("NrWierszaFa"), QString::number(++no));
        w.writeTextElement(QStringLiteral("P_7"), item.name.simplified());
        const QString pkwiu = item.room ? sww : item.pkwiu.trimmed();
        if (!pkwiu.isEmpty())
            w.writeTextElement(QStringLiteral("PKWiU"), pkwiu);
        if (!item.unit.trimmed().isEmpty())
            w.writeTextElement(QStringLiteral("P_8A"), item.unit.trimmed());
        w.writeTextElement(QStringLiteral("P_8B"), QString::number(item.quantity));
        // Prices are gross: the tax is computed from the gross amounts.
        w.writeTextElement(QStringLiteral("P_9B"), unitPrice(item.gross, item.quantity));
        w.writeTextElement(QStringLiteral("P_11A"), amount(item.gross));
        w.writeTextElement(QStringLiteral("P_12"), faCode(codeOfPrinted.value(item.rate)));
        w.writeEndElement();
    }
}

void Builder::writePayment(const InvoiceData& d, int groupId)
{
    struct Part {
        Money amount;
        QDate day;
        int form = 0;
    };
    QList<Part> parts;
    if (d.prepaid > Money()) {
        if (!d.prepaidOn.isValid())
            problem(QStringLiteral("Fa/Platnosc/ZaplataCzesciowa/DataZaplatyCzesciowej"),
                    QStringLiteral("przedpłata nie ma daty wpłaty; uzupełnij ją w rozliczeniu."));
        parts << Part{d.prepaid, d.prepaidOn, d.prepaymentForm};
    }
    for (const Payment& p : groupPayments(m_db, groupId))
        if (p.amount > Money())
            parts << Part{p.amount, p.day, p.form.value_or(0)};
    Money paid;
    for (const Part& p : parts)
        paid += p.amount;
    const Money total = d.gross;
    const bool whole = !parts.isEmpty() && paid >= total;
    const bool transfer = d.byTransfer();
    const bool account = transfer && !d.account.trimmed().isEmpty();
    if (parts.isEmpty() && !transfer)
        return;

    QXmlStreamWriter& w = m_writer;
    w.writeStartElement(QStringLiteral("Platnosc"));
    if (whole && parts.size() == 1) {
        w.writeTextElement(QStringLiteral("Zaplacono"), QStringLiteral("1"));
        w.writeTextElement(QStringLiteral("DataZaplaty"), isoDate(parts.first().day));
    } else if (!parts.isEmpty()) {
        w.writeTextElement(QStringLiteral("ZnacznikZaplatyCzesciowej"),
                           whole ? QStringLiteral("2") : QStringLiteral("1"));
        for (const Part& p : parts) {
            w.writeStartElement(QStringLiteral("ZaplataCzesciowa"));
            w.writeTextElement(QStringLiteral("KwotaZaplatyCzesciowej"), amount(p.amount));
            w.writeTextElement(QStringLiteral("DataZaplatyCzesciowej"), isoDate(p.day));
            writeForm(w, p.form);
            w.writeEndElement();
        }
    }
    if (!whole && d.due.isValid()) {
        w.writeStartElement(QStringLiteral("TerminPlatnosci"));
        w.writeTextElement(QStringLiteral("Termin"), isoDate(d.due));
        w.writeEndElement();
    }
    if (whole && parts.size() == 1)
        writeForm(w, parts.first().form);
    else if (!whole)
        writeForm(w, static_cast<int>(transfer ? PaymentForm::Transfer : PaymentForm::Cash));
    if (account && !whole) {
        w.writeStartElement(QStringLiteral("RachunekBankowy"));
        w.writeTextElement(QStringLiteral("NrRB"), d.account.toUpper().remove(QRegularExpression(
                                                       QStringLiteral("[\\s-]"))));
        if (!d.bank.trimmed().isEmpty())
            w.writeTextElement(QStringLiteral("NazwaBanku"), d.bank.simplified());
        w.writeEndElement();
    }
    w.writeEndElement();
}

void Builder::writeOrder(const QString& order)
{
    if (order.trimmed().isEmpty())
        return;
    QXmlStreamWriter& w = m_writer;
    w.writeStartElement(QStringLiteral("WarunkiTransakcji"));
    w.writeStartElement(QStringLiteral("Zamowienia"));
    w.writeTextElement(QStringLiteral("NrZamowienia"), order.simplified());
    w.writeEndElement();
    w.writeEndElement();
}

QByteArray Builder::finish(const InvoiceData& d)
{
    QXmlStreamWriter& w = m_writer;
    w.writeEndElement(); // Fa
    const QString regon = d.sellerRegon.simplified().remove(QLatin1Char(' '));
    static const QRegularExpression regonForm(QStringLiteral("^(\\d{9}|\\d{14})$"));
    if (regonForm.match(regon).hasMatch()) {
        w.writeStartElement(QStringLiteral("Stopka"));
        w.writeStartElement(QStringLiteral("Rejestry"));
        w.writeTextElement(QStringLiteral("REGON"), regon);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndDocument();
    QList<Fa3Problem> problems = m_problems + checkFa3(m_bytes);
    if (!problems.isEmpty())
        throw Fa3Error(problems);
    return m_bytes;
}

// The rates of an invoice as the totals fields sum them.
QMap<QString, RateSum> invoiceTotals(const InvoiceData& d, Builder& b, bool& exempt)
{
    QMap<QString, RateSum> sums;
    for (const RateTotal& t : d.rateTotals) {
        const QString code = b.faCode(t.code);
        const QString field = totalsField(code);
        if (field.isEmpty()) {
            b.problem(QStringLiteral("Fa/FaWiersz/P_12"),
                      QStringLiteral("stawki „%1” nie da się wykazać w strukturze FA(3).")
                          .arg(t.printed));
            continue;
        }
        exempt = exempt || code == QLatin1String("zw");
        sums[field].net += t.net;
        sums[field].tax += t.tax;
    }
    return sums;
}
} // namespace

Fa3Error::Fa3Error(QList<Fa3Problem> problems)
    : RezydoError([&problems] {
        QStringList lines{QStringLiteral("Faktury nie można wyeksportować do KSeF:")};
        for (const Fa3Problem& p : problems)
            lines << QStringLiteral("- Pole %1: %2").arg(p.field, p.message);
        return lines.join(QLatin1Char('\n'));
    }())
    , m_problems(std::move(problems))
{
}

QString fa3Nip(const QString& typed)
{
    QString nip = typed.trimmed().toUpper();
    if (nip.startsWith(QLatin1String("PL")))
        nip = nip.mid(2);
    return nip.remove(QRegularExpression(QStringLiteral("[\\s-]")));
}

QString fa3SchemaFolder()
{
    return readSetting(QStringLiteral("SchematFA3")).value_or(QString()).trimmed();
}

QByteArray fa3Invoice(QSqlDatabase db, int groupId, const Fa3Context& context)
{
    const QVariant type = scalarSql(
        db, QStringLiteral("SELECT Typ FROM Kalk WHERE Identyfikator = :ID"), {{":ID", groupId}});
    if (type.toInt() <= 0)
        throw RezydoError(QStringLiteral("Ta grupa nie ma wystawionej faktury."));
    const InvoiceData d = loadInvoice(db, groupId);
    Builder b(db, context);
    b.setExemptionBasis(d.exemptionBasis);
    b.start(d, groupId);
    b.startFa(d.issued, documentNumberText(d.number.toInt(), d.series, d.issued), d.sold);
    bool exempt = false;
    const QMap<QString, RateSum> sums = invoiceTotals(d, b, exempt);
    Money total;
    for (const RateTotal& t : d.rateTotals)
        total += t.gross;
    b.writeTotals(sums, total);
    b.writeAnnotations(exempt);
    b.writer().writeTextElement(QStringLiteral("RodzajFaktury"), QStringLiteral("VAT"));
    b.writeReceipts(groupId);
    b.writeInvoiceLines(d);
    b.writePayment(d, groupId);
    b.writeOrder(d.order);
    return b.finish(d);
}

QByteArray fa3Correction(QSqlDatabase db, qint64 correctionId, const Fa3Context& context)
{
    const Correction c = loadCorrection(db, correctionId);
    const InvoiceData d = loadInvoice(db, c.groupId);
    Builder b(db, context);
    b.setExemptionBasis(exemptionBasis(db));
    b.start(d, c.groupId);
    b.startFa(c.issued, c.numberText(), {});

    // The totals are the differences the changed lines make, per rate.
    QMap<QString, RateSum> sums;
    bool exempt = false;
    auto add = [&](const QString& code, Money gross, Money tax, int sign) {
        const QString fa = b.faCode(code);
        const QString field = totalsField(fa);
        if (field.isEmpty()) {
            b.problem(
                QStringLiteral("Fa/FaWiersz/P_12"),
                QStringLiteral("stawki „%1” nie da się wykazać w strukturze FA(3).").arg(code));
            return;
        }
        exempt = exempt || fa == QLatin1String("zw");
        sums[field].net += (gross - tax) * sign;
        sums[field].tax += tax * sign;
    };
    for (const CorrectionLine& l : c.lines) {
        if (!l.changed())
            continue;
        add(l.vatBefore, l.grossBefore, l.taxBefore, -1);
        add(l.vatAfter, l.grossAfter, l.taxAfter, 1);
    }
    b.writeTotals(sums, c.grossDifference());
    b.writeAnnotations(exempt);
    QXmlStreamWriter& w = b.writer();
    w.writeTextElement(QStringLiteral("RodzajFaktury"), QStringLiteral("KOR"));
    if (!c.reason.trimmed().isEmpty())
        w.writeTextElement(QStringLiteral("PrzyczynaKorekty"), c.reason.simplified());
    // A lower amount is settled when the correction is issued; a higher one
    // (an error put right) in the period of the corrected invoice.
    w.writeTextElement(QStringLiteral("TypKorekty"),
                       c.grossDifference() < Money() ? QStringLiteral("2") : QStringLiteral("1"));
    w.writeStartElement(QStringLiteral("DaneFaKorygowanej"));
    w.writeTextElement(QStringLiteral("DataWystFaKorygowanej"), isoDate(c.invoiceDate));
    w.writeTextElement(QStringLiteral("NrFaKorygowanej"), c.invoiceNumber);
    if (!context.correctedKsefNumber.trimmed().isEmpty()) {
        w.writeTextElement(QStringLiteral("NrKSeF"), QStringLiteral("1"));
        w.writeTextElement(QStringLiteral("NrKSeFFaKorygowanej"),
                           context.correctedKsefNumber.trimmed());
    } else {
        w.writeTextElement(QStringLiteral("NrKSeFN"), QStringLiteral("1"));
    }
    w.writeEndElement();

    // Each changed line as it stood and as it is to be.
    int no = 0;
    for (const CorrectionLine& l : c.lines) {
        if (!l.changed())
            continue;
        for (const bool before : {true, false}) {
            w.writeStartElement(QStringLiteral("FaWiersz"));
            w.writeTextElement(QStringLiteral("NrWierszaFa"), QString::number(++no));
            w.writeTextElement(QStringLiteral("P_7"), l.description.simplified());
            w.writeTextElement(QStringLiteral("P_11A"),
                               amount(before ? l.grossBefore : l.grossAfter));
            w.writeTextElement(QStringLiteral("P_12"), b.faCode(before ? l.vatBefore : l.vatAfter));
            if (before)
                w.writeTextElement(QStringLiteral("StanPrzed"), QStringLiteral("1"));
            w.writeEndElement();
        }
    }
    return b.finish(d);
}
