// The program's own checks of a finished FA(3) document: what the schema
// requires of the fields the program fills, and the sums the schema does
// not cross-check.

#include "billing/buyer_id.h"
#include "billing/ksef/fa3.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <optional>

namespace {
const QString kNamespace = QStringLiteral("http://crd.gov.pl/wzor/2025/06/25/13775/");

// One element with text, by its path below the root ("Fa/P_15").
struct Field {
    QString path;
    QString text;
    int line = -1; // the FaWiersz it belongs to, -1 outside lines
    bool lineBefore = false;
};

struct Parsed {
    QList<Field> fields;
    QList<QHash<QString, QString>> lines; // each FaWiersz: its children by name
    QString error;                        // not well-formed XML
    QString rootName, rootNamespace;
};

Parsed parse(const QByteArray& document)
{
    Parsed p;
    QXmlStreamReader r(document);
    QStringList path;
    QString text;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (path.isEmpty() && p.rootName.isEmpty()) {
                p.rootName = r.name().toString();
                p.rootNamespace = r.namespaceUri().toString();
                path << QString();
                continue;
            }
            path << r.name().toString();
            if (path.size() == 3 && path.at(1) == QLatin1String("Fa") &&
                path.at(2) == QLatin1String("FaWiersz"))
                p.lines << QHash<QString, QString>();
            text.clear();
        } else if (r.isCharacters()) {
            text += r.text();
        } else if (r.isEndElement()) {
            const QString name = path.takeLast();
            if (path.isEmpty())
                continue;
            const QString full = (QStringList(path.mid(1)) << name).join(QLatin1Char('/'));
            const bool inLine = full.startsWith(QLatin1String("Fa/FaWiersz/"));
            if (inLine && !p.lines.isEmpty())
                p.lines.last().insert(name, text.trimmed());
            p.fields << Field{full, text.trimmed(), inLine ? int(p.lines.size() - 1) : -1};
            text.clear();
        }
    }
    if (r.hasError())
        p.error = QStringLiteral("wiersz %1: %2").arg(r.lineNumber()).arg(r.errorString());
    return p;
}

// An amount in the structure's form, as ten-thousandths; nothing when the
// text is not one.
std::optional<qint64> amountUnits(const QString& text, int decimals)
{
    static const QRegularExpression form2(QStringLiteral("^-?([1-9]\\d{0,15}|0)(\\.\\d{1,2})?$"));
    static const QRegularExpression form8(QStringLiteral("^-?([1-9]\\d{0,13}|0)(\\.\\d{1,8})?$"));
    if (!(decimals == 2 ? form2 : form8).match(text).hasMatch())
        return std::nullopt;
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringList parts = text.mid(negative ? 1 : 0).split(QLatin1Char('.'));
    qint64 units = parts.at(0).toLongLong() * 10000;
    if (parts.size() > 1)
        units += parts.at(1).left(4).leftJustified(4, QLatin1Char('0')).toLongLong();
    return negative ? -units : units;
}

QString zl(qint64 units)
{
    return QString::number(static_cast<double>(units) / 10000.0, 'f', 2);
}

bool isDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return form.match(text).hasMatch() && d.isValid() && d >= QDate(2006, 1, 1) &&
           d <= QDate(2050, 1, 1);
}

class Checker {
public:
    explicit Checker(const Parsed& p)
        : m_p(p)
    {
    }
    QList<Fa3Problem> run();

private:
    QStringList all(const QString& path) const
    {
        QStringList out;
        for (const Field& f : m_p.fields)
            if (f.path == path)
                out << f.text;
        return out;
    }
    std::optional<QString> first(const QString& path) const
    {
        for (const Field& f : m_p.fields)
            if (f.path == path)
                return f.text;
        return std::nullopt;
    }
    void add(const QString& field, const QString& message)
    {
        m_problems << Fa3Problem{field, message};
    }
    void required(const QString& path, const QString& what)
    {
        const std::optional<QString> v = first(path);
        if (!v || v->isEmpty())
            add(path, QStringLiteral("brak %1.").arg(what));
    }
    void checkSeller();
    void checkBuyer();
    void checkInvoice();
    void checkAmounts();
    void checkLines();
    void checkSums();

    const Parsed& m_p;
    QList<Fa3Problem> m_problems;
};

void Checker::checkSeller()
{
    const QString path = QStringLiteral("Podmiot1/DaneIdentyfikacyjne/NIP");
    const QString nip = first(path).value_or(QString());
    static const QRegularExpression ten(QStringLiteral("^\\d{10}$"));
    if (!ten.match(nip).hasMatch() || !nipChecksumValid(nip) || nip.startsWith(QLatin1Char('0')))
        add(path, QStringLiteral("NIP sprzedawcy musi mieć 10 cyfr z poprawną sumą kontrolną."));
    required(QStringLiteral("Podmiot1/DaneIdentyfikacyjne/Nazwa"),
             QStringLiteral("nazwy sprzedawcy"));
    required(QStringLiteral("Podmiot1/Adres/KodKraju"), QStringLiteral("kodu kraju sprzedawcy"));
    required(QStringLiteral("Podmiot1/Adres/AdresL1"), QStringLiteral("adresu sprzedawcy"));
}

void Checker::checkBuyer()
{
    const QString base = QStringLiteral("Podmiot2/DaneIdentyfikacyjne/");
    if (const std::optional<QString> nip = first(base + QStringLiteral("NIP"))) {
        static const QRegularExpression ten(QStringLiteral("^\\d{10}$"));
        if (!ten.match(*nip).hasMatch() || !nipChecksumValid(*nip))
            add(base + QStringLiteral("NIP"),
                QStringLiteral("NIP nabywcy musi mieć 10 cyfr z poprawną sumą kontrolną."));
    } else if (const std::optional<QString> prefix = first(base + QStringLiteral("KodUE"))) {
        static const QRegularExpression eu(QStringLiteral("^[A-Z]{2}$"));
        if (!eu.match(*prefix).hasMatch() || *prefix == QLatin1String("PL"))
            add(base + QStringLiteral("KodUE"),
                QStringLiteral("numer VAT UE nabywcy musi zaczynać się kodem innego kraju Unii."));
        static const QRegularExpression number(QStringLiteral("^[0-9A-Z+*]{1,12}$"));
        if (!number.match(first(base + QStringLiteral("NrVatUE")).value_or(QString())).hasMatch())
            add(base + QStringLiteral("NrVatUE"),
                QStringLiteral("numer VAT UE nabywcy ma nieprawidłową postać."));
    } else if (first(base + QStringLiteral("NrID"))) {
        required(base + QStringLiteral("NrID"),
                 QStringLiteral("identyfikatora podatkowego nabywcy"));
    } else if (first(base + QStringLiteral("BrakID")) != QStringLiteral("1")) {
        add(base + QStringLiteral("NIP"),
            QStringLiteral("brak identyfikatora nabywcy ani znacznika BrakID."));
    }
    for (const char* flag : {"Podmiot2/JST", "Podmiot2/GV"}) {
        const QString v = first(QString::fromLatin1(flag)).value_or(QString());
        if (v != QLatin1String("1") && v != QLatin1String("2"))
            add(QString::fromLatin1(flag), QStringLiteral("wymagana wartość 1 albo 2."));
    }
}

void Checker::checkInvoice()
{
    if (first(QStringLiteral("Naglowek/KodFormularza")) != QStringLiteral("FA"))
        add(QStringLiteral("Naglowek/KodFormularza"),
            QStringLiteral("wymagany kod formularza FA."));
    if (first(QStringLiteral("Naglowek/WariantFormularza")) != QStringLiteral("3"))
        add(QStringLiteral("Naglowek/WariantFormularza"), QStringLiteral("wymagany wariant 3."));
    const QDateTime created = QDateTime::fromString(
        first(QStringLiteral("Naglowek/DataWytworzeniaFa")).value_or(QString()), Qt::ISODate);
    if (!created.isValid() || created < QDateTime(QDate(2025, 9, 1), QTime(0, 0), Qt::UTC))
        add(QStringLiteral("Naglowek/DataWytworzeniaFa"),
            QStringLiteral(
                "data wytworzenia musi być datą z godziną, nie wcześniejszą niż 1 września 2025."));
    if (first(QStringLiteral("Fa/KodWaluty")) != QStringLiteral("PLN"))
        add(QStringLiteral("Fa/KodWaluty"), QStringLiteral("wymagany kod waluty PLN."));
    for (const char* date :
         {"Fa/P_1", "Fa/P_6", "Fa/DaneFaKorygowanej/DataWystFaKorygowanej",
          "Fa/Platnosc/DataZaplaty", "Fa/Platnosc/ZaplataCzesciowa/DataZaplatyCzesciowej",
          "Fa/Platnosc/TerminPlatnosci/Termin"}) {
        const QString path = QString::fromLatin1(date);
        for (const QString& v : all(path))
            if (!isDate(v))
                add(path, QStringLiteral("„%1” nie jest poprawną datą (RRRR-MM-DD).").arg(v));
    }
    if (!first(QStringLiteral("Fa/P_1")))
        add(QStringLiteral("Fa/P_1"), QStringLiteral("brak daty wystawienia."));
    const QString number = first(QStringLiteral("Fa/P_2")).value_or(QString());
    if (number.isEmpty())
        add(QStringLiteral("Fa/P_2"), QStringLiteral("brak numeru faktury."));
    else if (number.size() > 256)
        add(QStringLiteral("Fa/P_2"), QStringLiteral("numer faktury jest za długi."));
    const QString kind = first(QStringLiteral("Fa/RodzajFaktury")).value_or(QString());
    if (kind != QLatin1String("VAT") && kind != QLatin1String("KOR"))
        add(QStringLiteral("Fa/RodzajFaktury"), QStringLiteral("wymagany rodzaj VAT albo KOR."));
    if (kind == QLatin1String("KOR")) {
        required(QStringLiteral("Fa/DaneFaKorygowanej/DataWystFaKorygowanej"),
                 QStringLiteral("daty faktury korygowanej"));
        required(QStringLiteral("Fa/DaneFaKorygowanej/NrFaKorygowanej"),
                 QStringLiteral("numeru faktury korygowanej"));
        static const QRegularExpression ksef(QStringLiteral(
            "^([1-9]((\\d[1-9])|([1-9]\\d))\\d{7}|M\\d{9}|[A-Z]{3}\\d{7})-(20[2-9][0-9]|2[1-9][0-9]"
            "{2}|"
            "[3-9][0-9]{3})(0[1-9]|1[0-2])(0[1-9]|[1-2][0-9]|3[0-1])-([0-9A-F]{6})-?([0-9A-F]{6})-"
            "([0-9A-F]{2})$"));
        const QString path = QStringLiteral("Fa/DaneFaKorygowanej/NrKSeFFaKorygowanej");
        if (const std::optional<QString> k = first(path); k && !ksef.match(*k).hasMatch())
            add(path, QStringLiteral("„%1” nie jest numerem KSeF.").arg(*k));
    }
    const QString exempt = QStringLiteral("Fa/Adnotacje/Zwolnienie/P_19A");
    if (first(QStringLiteral("Fa/Adnotacje/Zwolnienie/P_19")) &&
        first(exempt).value_or(QString()).isEmpty())
        add(exempt, QStringLiteral("brak podstawy prawnej zwolnienia z VAT."));
}

void Checker::checkAmounts()
{
    static const QRegularExpression twoDecimals(
        QStringLiteral("^Fa/(P_1[34]_[0-9_]+|P_15|FaWiersz/P_11A?|FaWiersz/P_11Vat|"
                       "Platnosc/ZaplataCzesciowa/KwotaZaplatyCzesciowej)$"));
    static const QRegularExpression eightDecimals(QStringLiteral("^Fa/FaWiersz/P_9[AB]$"));
    static const QRegularExpression quantity(
        QStringLiteral("^-?([1-9]\\d{0,15}|0)(\\.\\d{1,6})?$"));
    for (const Field& f : m_p.fields) {
        if (twoDecimals.match(f.path).hasMatch() && !amountUnits(f.text, 2))
            add(f.path,
                QStringLiteral("kwota „%1” musi mieć kropkę i najwyżej dwa miejsca po niej.")
                    .arg(f.text));
        else if (eightDecimals.match(f.path).hasMatch() && !amountUnits(f.text, 8))
            add(f.path,
                QStringLiteral("cena „%1” musi mieć kropkę i najwyżej osiem miejsc po niej.")
                    .arg(f.text));
        else if (f.path == QLatin1String("Fa/FaWiersz/P_8B") && !quantity.match(f.text).hasMatch())
            add(f.path, QStringLiteral("ilość „%1” ma nieprawidłową postać.").arg(f.text));
    }
    if (!first(QStringLiteral("Fa/P_15")))
        add(QStringLiteral("Fa/P_15"), QStringLiteral("brak kwoty należności ogółem."));
}

void Checker::checkLines()
{
    if (m_p.lines.isEmpty()) {
        add(QStringLiteral("Fa/FaWiersz"),
            QStringLiteral("faktura musi mieć co najmniej jedną pozycję."));
        return;
    }
    static const QSet<QString> codes{"23",   "22",    "8",    "7",  "5",  "4",    "3",
                                     "0 KR", "0 WDT", "0 EX", "zw", "oo", "np I", "np II"};
    for (const QHash<QString, QString>& l : m_p.lines) {
        const QString rate = l.value(QStringLiteral("P_12"));
        if (!codes.contains(rate))
            add(QStringLiteral("Fa/FaWiersz/P_12"),
                QStringLiteral("„%1” nie jest stawką VAT struktury FA(3) (pozycja %2).")
                    .arg(rate, l.value(QStringLiteral("NrWierszaFa"))));
        if (l.value(QStringLiteral("P_7")).isEmpty())
            add(QStringLiteral("Fa/FaWiersz/P_7"),
                QStringLiteral("brak nazwy usługi (pozycja %1).")
                    .arg(l.value(QStringLiteral("NrWierszaFa"))));
    }
}

// P_15 is the sum of the net and tax totals; with gross line values the
// lines sum to P_15, each rate's lines to its net and tax (a correction
// counts its lines as they are to be less as they stood).
void Checker::checkSums()
{
    const std::optional<qint64> total =
        amountUnits(first(QStringLiteral("Fa/P_15")).value_or(QString()), 2);
    if (!total)
        return;
    static const QRegularExpression totalsField(QStringLiteral("^Fa/P_1([34])_([0-9_]+)$"));
    qint64 totals = 0;
    QHash<QString, qint64> byField;
    for (const Field& f : m_p.fields) {
        const QRegularExpressionMatch m = totalsField.match(f.path);
        if (!m.hasMatch())
            continue;
        const qint64 v = amountUnits(f.text, 2).value_or(0);
        totals += v;
        byField[m.captured(2)] += v;
    }
    if (totals != *total)
        add(QStringLiteral("Fa/P_15"),
            QStringLiteral("należność ogółem %1 nie równa się sumie kwot netto i podatku %2.")
                .arg(zl(*total), zl(totals)));

    static const QHash<QString, QString> fieldOfRate{
        {"23", "1"}, {"22", "1"},   {"8", "2"},      {"7", "2"},       {"5", "3"},
        {"4", "4"},  {"3", "4"},    {"0 KR", "6_1"}, {"0 WDT", "6_2"}, {"0 EX", "6_3"},
        {"zw", "7"}, {"np I", "8"}, {"np II", "9"},  {"oo", "10"}};
    qint64 lines = 0;
    QHash<QString, qint64> linesByField;
    bool gross = true;
    for (const QHash<QString, QString>& l : m_p.lines) {
        if (!l.contains(QStringLiteral("P_11A"))) {
            gross = false;
            break;
        }
        const qint64 sign = l.value(QStringLiteral("StanPrzed")) == QLatin1String("1") ? -1 : 1;
        const qint64 v = sign * amountUnits(l.value(QStringLiteral("P_11A")), 2).value_or(0);
        lines += v;
        linesByField[fieldOfRate.value(l.value(QStringLiteral("P_12")))] += v;
    }
    if (!gross || m_p.lines.isEmpty())
        return;
    if (lines != *total)
        add(QStringLiteral("Fa/P_15"),
            QStringLiteral("należność ogółem %1 nie równa się sumie wartości pozycji %2.")
                .arg(zl(*total), zl(lines)));
    for (auto it = linesByField.cbegin(); it != linesByField.cend(); ++it)
        if (!it.key().isEmpty() && byField.value(it.key()) != it.value())
            add(QStringLiteral("Fa/P_13_") + it.key(),
                QStringLiteral(
                    "kwota netto z podatkiem %1 nie równa się wartości pozycji tej stawki %2.")
                    .arg(zl(byField.value(it.key())), zl(it.value())));
}

QList<Fa3Problem> Checker::run()
{
    if (!m_p.error.isEmpty())
        return {Fa3Problem{QStringLiteral("Faktura"),
                           QStringLiteral("dokument nie jest poprawnym XML (%1).").arg(m_p.error)}};
    if (m_p.rootName != QLatin1String("Faktura") || m_p.rootNamespace != kNamespace)
        return {Fa3Problem{QStringLiteral("Faktura"),
                           QStringLiteral("dokument nie jest fakturą w strukturze FA(3).")}};
    checkSeller();
    checkBuyer();
    checkInvoice();
    checkAmounts();
    checkLines();
    checkSums();
    return m_problems;
}
} // namespace

QList<Fa3Problem> checkFa3(const QByteArray& document)
{
    if (document.startsWith("\xEF\xBB\xBF"))
        return {Fa3Problem{QStringLiteral("Faktura"),
                           QStringLiteral("plik nie może zaczynać się znacznikiem BOM.")}};
    const Parsed p = parse(document);
    return Checker(p).run();
}
