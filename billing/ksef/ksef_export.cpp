#include "billing/ksef/ksef_record.h"
#include "core/error.h"

#include <QDir>

namespace {
KsefDocumentBuilder& builder()
{
    static KsefDocumentBuilder installed;
    return installed;
}

// A correcting invoice names the corrected invoice's KSeF number, so it waits
// for it when the invoice went there; one kept outside goes without.
QString correctedNumber(QSqlDatabase db, int groupId)
{
    const std::optional<KsefRecord> invoice = ksefRecordOf(db, groupId);
    if (!invoice)
        return {};
    if (invoice->state != KsefState::Accepted)
        throw RezydoError(QStringLiteral("Fakturę korygującą można wysłać do KSeF dopiero, gdy "
                                         "faktura nr %1 ma numer KSeF (wpisz go przyciskiem "
                                         "„Numer KSeF”).")
                              .arg(invoice->number));
    return invoice->ksefNumber;
}
} // namespace

void setKsefDocumentBuilder(KsefDocumentBuilder b)
{
    builder() = std::move(b);
}

KsefExported exportKsefDocument(QSqlDatabase db, int groupId, std::optional<qint64> correctionId,
                                const QString& file)
{
    std::optional<KsefRecord> record =
        correctionId ? ksefRecordOfCorrection(db, *correctionId) : ksefRecordOf(db, groupId);
    if (!record) {
        if (!builder())
            throw RezydoError(QStringLiteral("Program nie ma modułu tworzenia faktur KSeF."));
        const QString corrected = correctionId ? correctedNumber(db, groupId) : QString();
        // Built with no transaction open; storing checks again that no other
        // desk stored the document meanwhile.
        const QByteArray bytes = builder()(db, groupId, correctionId, corrected);
        try {
            record = storeKsefDocument(db, groupId, correctionId, bytes);
        } catch (const RezydoError&) {
            record = correctionId ? ksefRecordOfCorrection(db, *correctionId)
                                  : ksefRecordOf(db, groupId);
            if (!record)
                throw;
        }
    }
    writeKsefFile(*record, file);
    return {*record, file};
}

KsefBatch exportWaitingKsef(QSqlDatabase db, const QDate& from, const QDate& to,
                            const QString& folder)
{
    KsefBatch batch;
    for (const KsefWaiting& w : ksefWaiting(db, from, to)) {
        if (w.sent)
            continue;
        try {
            const QString file =
                QDir(folder).filePath(ksefFileName(w.number, w.correctionId.has_value()));
            batch.exported << exportKsefDocument(db, w.groupId, w.correctionId, file);
        } catch (const RezydoError& e) {
            batch.failures << QStringLiteral("%1: %2").arg(w.number, e.text());
        }
    }
    return batch;
}
