#pragma once

#include "billing/ksef/ksef_link.h"
#include "core/money.h"
#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// One row of the per-line layout: a group of equal room lines or a service line.
struct InvoiceItem {
    QString name;
    QString pkwiu;     // empty for rooms: the invoice's classification symbol is printed
    bool room = false; // accommodation, which takes the symbol of the invoice
    QString unit;
    int quantity = 0;
    Money unitNet, net;
    QString rate; // the rate's printed text
    Money tax, gross;
};

// One row of the per-line layout's summary: a rate present on the invoice.
struct RateTotal {
    QString code;
    QString printed;
    int percent = 0;
    Money net, tax, gross;
};

// Everything the VAT invoice of one accommodation group prints.
struct InvoiceData {
    // The hotel (Config).
    QString sellerName, sellerAddress, sellerRegon, sellerNip, place, bank, account;
    // The calculation (Kalk).
    QString number; // Rach, empty when not numbered
    QString series; // FakturaRoz, "H" when the setting is absent
    QString buyerName, buyerAddress, buyerNip, order;
    QString buyerIdCaption = QStringLiteral("NIP :"); // empty: no identifier printed
    QString buyerCountry;                             // printed for a buyer from abroad only
    int paymentMethod = 0;                            // 2 = transfer
    QDate issued, sold, due;
    Money gross, prepaid;
    // Lines of equal period, price, VAT and discount, in that order.
    ReportRows lines; // Pokoi, Od, Do, Oplata1, VAT, Suma, Doby, Znizka
    // Gross sum per VAT text.
    QMap<QString, Money> grossByVat;

    // The per-line layout: calculations made with today's rates, and any
    // calculation with services or a rate outside the four fixed rows.
    bool perLine = false;
    QList<InvoiceItem> items;
    QList<RateTotal> rateTotals; // the rates present, in the rate table's order
    QString exemptionBasis;      // printed when a line is exempt ("zw")
    // What was really paid: the prepayment with its day and form, and the payments.
    QDate prepaidOn;
    int prepaymentForm = 0;
    Money paid;
    QList<int> paymentForms; // of the prepayment and every payment; 0 when not known
    // The verification code of the invoice's structured document; nothing of
    // it is printed without one.
    std::optional<KsefMark> ksef;

    bool byTransfer() const { return paymentMethod == 2; }
    // The due date, only for a transfer due after the day of sale.
    QString dueDateText() const;
    // Gross less the prepayment and the payments, never below zero.
    Money stillDue() const;
    // "ZAPŁACONO GOTÓWKĄ" and its kin once nothing is due; empty before.
    QString paidText() const;
};

// The series, the kind of the buyer's identifier and the buyer's country as
// issued; an invoice issued before they were kept keeps the series of the
// settings, "NIP :" and no country.
void loadInvoiceIdentity(QSqlDatabase db, int groupId, InvoiceData& data);

// Reads the invoice of a group; missing rows give empty texts and zero sums.
// Throws DbError when a statement fails.
InvoiceData loadInvoice(QSqlDatabase db, int groupId);

// The tax in a gross amount at `ratePercent`: gross − gross ÷ (1 + rate),
// rounded half up to cents.
Money taxInGross(Money gross, int ratePercent);

// The summary by rate: the fixed rows "22", "7", "0", "zw" and "RAZEM".
struct VatSummaryRow {
    bool present = false;
    Money net, tax, gross;
};
struct VatSummary {
    VatSummaryRow rate22, rate7, rate0, exempt;
    Money net, tax, gross; // RAZEM
};
VatSummary summarizeVat(const InvoiceData& invoice);

// KOD I in a band: the label, the QR code `codeSize` mm square and the caption
// under it, centred in a column `width` mm wide from (left, top). Returns the
// foot of the caption.
qreal placeKsefMark(Band& band, const KsefMark& mark, qreal left, qreal top, qreal width,
                    qreal codeSize, qreal captionPoints);

// The invoice printout: A4 portrait, 10 mm margins, two copies, title "Faktura Vat".
class TRapFaktura final : public Report {
public:
    TRapFaktura(InvoiceData data, const QString& sww);
    const InvoiceData& data() const { return m_data; }

private:
    void buildHeader();
    void buildTitle();
    qreal buildBuyer(Band& title); // returns the foot of the buyer's column
    void buildColumns();
    void buildLines(const QString& sww);
    void buildSummary();
    void buildTotals();
    // The per-line layout.
    void buildItemColumns();
    void buildItems(const QString& sww);
    void buildRateSummary();
    void buildPaymentLines(qreal top);

    InvoiceData m_data;
    ReportRows m_items;
};

// The launcher the billing window's "&Podgląd" and "&Drukuj" call: the invoice
// of `groupId` with the window's "Symbol &SWW" text, shown or printed. There
// is nothing to check: an invoice prints even without lines.
// An invoice handed over as a structured document carries its KOD I.
LaunchResult printInvoice(int groupId, const QString& sww, ReportOutput output,
                          const std::optional<KsefDocument>& ksef = std::nullopt);
