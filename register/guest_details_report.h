#pragma once

#include "register/guest_details.h"
#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

// The guest details printout: one page, A4 portrait, 10 mm margins. Every
// value is the text the details window shows. Without payments the fees part
// shrinks to "Brak wniesionych opłat".
class TRapDaneKlienta final : public Report {
public:
    explicit TRapDaneKlienta(GuestDetails details);
    const GuestDetails& details() const { return m_details; }

private:
    void buildPersonal();
    void buildRemarks();
    void buildStay();
    void buildPayments();

    GuestDetails m_details;
    ReportRows m_payments; // Typ, Numer, Data, Wplata
};

// The launcher of the details window's "&Podgląd" and "&Drukuj". The details
// print even without payments, so there is nothing to refuse.
LaunchResult printGuestDetails(const GuestDetails& details, ReportOutput output);
