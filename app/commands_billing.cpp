#include "app/commands.h"
#include "app/main_window.h"
#include "billing/correction_printout.h"
#include "billing/invoice_printout.h"
#include "billing/ksef/ksef_record.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/correction_dialog.h"
#include "billing/ui/payment_dialog.h"
#include "billing/ui/regular_clients_dialog.h"
#include "core/error.h"
#include "core/prompter.h"
#include "db/data_module.h"

namespace {
// An exported document prints with its KOD I; a paper-only one without.
std::optional<KsefDocument> handedOver(const std::optional<KsefRecord>& record)
{
    if (!record)
        return std::nullopt;
    return KsefDocument{record->bytes, record->ksefNumber};
}
} // namespace

// The payment and regular-clients dialogs exist once, hidden, for the whole
// run; every billing window borrows them.
void wireBillingCommands(TGlowne& window)
{
    auto* payments = new TRejestracjaOplaty(&window);
    auto* clients = new TStaliKlienci(&window);
    window.handlers().openBilling = [&window, payments, clients](int groupId) {
        guarded([&] { window.addChild(new TOplaty(groupId, *payments, *clients), true); });
    };
    // The invoice page's "&Podgląd" and "&Drukuj" print through the report engine.
    TOplaty::setInvoicePrinter([](int groupId, bool preview, const QString& sww) {
        const LaunchResult result =
            printInvoice(groupId, sww, preview ? ReportOutput::Preview : ReportOutput::Print,
                         handedOver(ksefRecordOf(dataModule().database(), groupId)));
        if (!result.ok && !result.message.isEmpty())
            prompter().inform(result.message, QStringLiteral("Faktura"));
    });
    TKorekta::setPrinter([](qint64 correctionId, bool preview) {
        printCorrection(correctionId, preview ? ReportOutput::Preview : ReportOutput::Print,
                        handedOver(ksefRecordOfCorrection(dataModule().database(), correctionId)));
    });
}
