#pragma once

#include "billing/correction.h"
#include "billing/invoice_printout.h"
#include "reports/engine/report.h"
#include "reports/engine/report_output.h"
#include "reports/engine/report_rows.h"

// The printout of a correcting invoice: the seller and the buyer as on the
// corrected invoice, the reference to it (number and date), the reason, each
// corrected line before and after with its difference, the totals before and
// after and the difference in figures and words. A4 portrait, two copies.
class TRapKorekta final : public Report {
public:
    // `idCaption` and `country` as the invoice prints them for its buyer;
    // `ksef` the verification code of the correcting invoice's own structured
    // document (that of `invoice` belongs to the corrected one and is not printed).
    TRapKorekta(Correction correction, InvoiceData invoice, const QString& idCaption,
                const QString& country, std::optional<KsefMark> ksef = std::nullopt);
    const Correction& correction() const { return m_correction; }

private:
    void buildTitle();
    void buildLines();
    void buildSummary();

    Correction m_correction;
    InvoiceData m_invoice;
    QString m_buyerIdCaption, m_buyerCountry;
    std::optional<KsefMark> m_ksef;
    ReportRows m_rows;
};

LaunchResult printCorrection(qint64 correctionId, ReportOutput output,
                             const std::optional<KsefDocument>& ksef = std::nullopt);
