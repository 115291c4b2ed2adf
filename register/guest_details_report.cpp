#include "register/guest_details_report.h"

#include <array>

namespace {
constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;

constexpr qreal kWidth = 190;
constexpr qreal kRow = 6;
constexpr qreal kCaptionX = 5;
constexpr qreal kCaptionWidth = 45;
constexpr qreal kValueX = kCaptionX + kCaptionWidth;

// A section heading with a rule under it; returns the top of its first row.
qreal heading(Band& band, const QString& name, qreal y, const QString& text)
{
    band.addText(name, QRectF(0, y, kWidth, 7), text, kLeft, reportFont(11, true));
    band.addLine(QPointF(0, y + 7), QPointF(kWidth, y + 7), 0.3);
    return y + 8;
}

// One caption with its value; returns the top of the next row.
qreal captioned(Band& band, const QString& name, qreal y, const QString& caption,
                const QString& value)
{
    band.addText(name + QStringLiteral("Etykieta"), QRectF(kCaptionX, y, kCaptionWidth, kRow),
                 caption, kLeft, reportFont(9));
    band.addText(name, QRectF(kValueX, y, kWidth - kValueX, kRow), value, kLeft,
                 reportFont(9, true));
    return y + kRow;
}

// The payment table: type, number, day, amount.
struct Column {
    const char* name;
    const char* caption;
    const char* field;
    qreal x;
    qreal width;
    int alignment;
};
constexpr std::array<Column, 4> kColumns = {{{"Typ", "Typ", "Typ", 5, 50, kLeft},
                                             {"Numer", "Numer", "Numer", 55, 45, kLeft},
                                             {"Data", "Data wpłaty", "Data", 100, 35, kLeft},
                                             {"Wplata", "Wpłata", "Wplata", 135, 35, kRight}}};
} // namespace

TRapDaneKlienta::TRapDaneKlienta(GuestDetails details)
    : m_details(std::move(details))
    , m_payments(QStringList{QStringLiteral("Typ"), QStringLiteral("Numer"), QStringLiteral("Data"),
                             QStringLiteral("Wplata")},
                 {})
{
    title = QStringLiteral("Dane szczegółowe klienta");
    for (const GuestPayment& p : m_details.payments)
        m_payments.append({p.type, p.number, p.day, p.amount});
    buildPersonal();
    buildRemarks();
    buildStay();
    buildPayments();
}

void TRapDaneKlienta::buildPersonal()
{
    const GuestDetails& d = m_details;
    Band& t = setTitleBand(0, QStringLiteral("Tytul"));
    t.addText(QStringLiteral("Tytul"), QRectF(0, 0, kWidth, 10),
              QStringLiteral("Dane szczegółowe gościa hotelowego"), Qt::AlignCenter,
              reportFont(14, true));
    qreal y = heading(t, QStringLiteral("DaneOsobowe"), 14, QStringLiteral("Dane osobowe"));
    y = captioned(t, QStringLiteral("Nazwisko"), y, QStringLiteral("Nazwisko"), d.Nazwisko);
    y = captioned(t, QStringLiteral("Imie"), y, QStringLiteral("Imię"), d.Imie);
    y = captioned(t, QStringLiteral("Panstwo"), y, QStringLiteral("Państwo"), d.Panstwo);
    y = captioned(t, QStringLiteral("DataUr"), y, QStringLiteral("Data ur."), d.DataUrodzenia);
    y = captioned(t, QStringLiteral("MiejsceUr"), y, QStringLiteral("Miejsce ur."),
                  d.MiejsceUrodzenia);
    y = captioned(t, QStringLiteral("Adres"), y, QStringLiteral("Adres"), d.Adres);
    y = heading(t, QStringLiteral("DaneDokumentu"), y + 3, QStringLiteral("Dane dokumentu"));
    y = captioned(t, QStringLiteral("Rodzaj"), y, QStringLiteral("Rodzaj"), d.Rodzaj);
    t.height = captioned(t, QStringLiteral("Numer"), y, QStringLiteral("Numer"), d.Numer) + 2;
}

void TRapDaneKlienta::buildRemarks()
{
    Band& b = addLoop(18, 1, QStringLiteral("BandaUwagi"));
    const qreal y = heading(b, QStringLiteral("NaglowekUwagi"), 3, QStringLiteral("Uwagi"));
    // Up to 255 characters of several lines: the band grows with them.
    Control& remarks =
        b.addText(QStringLiteral("Uwagi"), QRectF(kCaptionX, y, kWidth - kCaptionX, 6),
                  m_details.Uwagi, Qt::AlignLeft | Qt::AlignTop, reportFont(9));
    remarks.wordWrap = true;
    remarks.stretch = true;
}

void TRapDaneKlienta::buildStay()
{
    const GuestDetails& d = m_details;
    const bool paid = !d.payments.isEmpty();
    Band& b = addLoop(0, 1, QStringLiteral("BandaKwaterunek"));
    qreal y = heading(b, QStringLiteral("DaneKwaterunku"), 3, QStringLiteral("Dane kwaterunku"));
    y = captioned(b, QStringLiteral("NrPokoju"), y, QStringLiteral("Nr pokoju"), d.NumerPokoju);
    y = captioned(b, QStringLiteral("Od"), y, QStringLiteral("Od"), d.Od);
    y = captioned(b, QStringLiteral("Do"), y, QStringLiteral("Do"), d.Do);
    if (!paid) {
        const qreal end =
            heading(b, QStringLiteral("Oplaty"), y + 3, QStringLiteral("Brak wniesionych opłat"));
        b.height = end + 2;
        return;
    }
    y = heading(b, QStringLiteral("Oplaty"), y + 3, QStringLiteral("Opłaty zwiazane z gościem"));
    y = captioned(b, QStringLiteral("Znizka"), y, QStringLiteral("Zniżka"), d.Znizka);
    y = captioned(b, QStringLiteral("Rachunek"), y, QStringLiteral("Rachunek Uproszczony"),
                  d.RachunekUpr);
    y = captioned(b, QStringLiteral("Faktura"), y, QStringLiteral("Faktura VAT"), d.FakturaVat);
    b.height = y + 2;
}

void TRapDaneKlienta::buildPayments()
{
    if (m_details.payments.isEmpty())
        return;
    Band& heads = addLoop(8, 1, QStringLiteral("NaglowkiOplat"));
    for (const Column& c : kColumns)
        heads.addText(QStringLiteral("Naglowek") + QLatin1String(c.name),
                      QRectF(c.x, 0, c.width, 7), QString::fromUtf8(c.caption), c.alignment,
                      reportFont(9, true));
    heads.addLine(QPointF(kCaptionX, 7.5), QPointF(kColumns.back().x + kColumns.back().width, 7.5));
    DataSection& rows = addData(&m_payments, kRow, QStringLiteral("BandaOplaty"));
    for (const Column& c : kColumns)
        rows.detail->addField(QLatin1String(c.name), QRectF(c.x, 0, c.width, kRow),
                              QLatin1String(c.field), {}, c.alignment, reportFont(9));
}

LaunchResult printGuestDetails(const GuestDetails& details, ReportOutput output)
{
    TRapDaneKlienta report(details);
    runReport(report, output);
    return LaunchResult::success();
}
