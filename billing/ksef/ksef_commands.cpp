#include "billing/ksef/ksef_commands.h"

#include "billing/ksef/ksef_record.h"
#include "core/days.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/settings.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kCaption = QStringLiteral("Eksport do KSeF");
const QString kFolderSetting = QStringLiteral("FolderKSeF");

QString lastFolder()
{
    const QString folder = readSetting(kFolderSetting).value_or(QString());
    return folder.isEmpty() ? QDir::homePath() : folder;
}

std::optional<KsefRecord> standing(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    return correctionId ? ksefRecordOfCorrection(db, *correctionId) : ksefRecordOf(db, groupId);
}

KsefRecord requireStanding(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    const std::optional<KsefRecord> r = standing(db, groupId, correctionId);
    if (!r)
        throw RezydoError(QStringLiteral("Ta faktura nie została jeszcze wyeksportowana do KSeF "
                                         "(przycisk „Eksport do KSeF”)."));
    return *r;
}

// The number the document is known by before it has a record.
QString documentNumber(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    for (const KsefWaiting& w : ksefWaiting(db))
        if (w.groupId == groupId && w.correctionId == correctionId)
            return w.number;
    if (const std::optional<KsefRecord> r = lastKsefRecord(db, groupId, correctionId))
        return r->number;
    return {};
}
} // namespace

bool exportToKsef(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    const std::optional<KsefRecord> r = standing(db, groupId, correctionId);
    const QString number = r ? r->number : documentNumber(db, groupId, correctionId);
    const QString proposed =
        number.isEmpty() ? QString() : ksefFileName(number, correctionId.has_value());
    const QString file = prompter().saveFile(kCaption, lastFolder(), proposed,
                                             QStringLiteral("Faktury KSeF (*.xml)"),
                                             QStringLiteral("xml"), Prompter::Existing::Ask);
    if (file.isEmpty())
        return false;
    writeSetting(kFolderSetting, QFileInfo(file).absolutePath());
    const KsefExported done = exportKsefDocument(db, groupId, correctionId, file);
    prompter().inform(QStringLiteral("Zapisano plik %1.\nSkrót SHA-256: %2\nStan w KSeF: %3. "
                                     "Termin wysłania: %4.")
                          .arg(QDir::toNativeSeparators(done.path), done.record.sha256Hex,
                               ksefStateText(done.record.state),
                               dayText(offline24Deadline(done.record.issued))),
                      kCaption);
    return true;
}

bool exportWaitingToKsef(QSqlDatabase db, const QDate& from, const QDate& to)
{
    QList<KsefWaiting> waiting = ksefWaiting(db, from, to);
    waiting.removeIf([](const KsefWaiting& w) { return w.sent; });
    if (waiting.isEmpty()) {
        prompter().inform(QStringLiteral("W okresie %1 – %2 nie ma faktur czekających na eksport "
                                         "do KSeF.")
                              .arg(dayText(from), dayText(to)),
                          kCaption);
        return false;
    }
    // Any file of the folder chosen names the folder; each document gets its own name.
    const QString file = prompter().saveFile(
        QStringLiteral("Eksport do KSeF – wybierz folder"), lastFolder(),
        ksefFileName(waiting.first().number, waiting.first().correctionId.has_value()),
        QStringLiteral("Faktury KSeF (*.xml)"), QStringLiteral("xml"), Prompter::Existing::Update);
    if (file.isEmpty())
        return false;
    const QString folder = QFileInfo(file).absolutePath();
    writeSetting(kFolderSetting, folder);
    const KsefBatch batch = exportWaitingKsef(db, from, to, folder);
    QString text = QStringLiteral("Wyeksportowano do folderu %1 plików: %2.")
                       .arg(QDir::toNativeSeparators(folder))
                       .arg(batch.exported.size());
    if (!batch.failures.isEmpty())
        text +=
            QStringLiteral("\n\nNie wyeksportowano:\n") + batch.failures.join(QLatin1Char('\n'));
    if (batch.failures.isEmpty())
        prompter().inform(text, kCaption);
    else
        prompter().warn(text, kCaption);
    return !batch.exported.isEmpty();
}

bool askKsefNumber(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    const KsefRecord r = requireStanding(db, groupId, correctionId);
    const std::optional<QString> typed = prompter().inputText(
        QStringLiteral("Numer KSeF"), QStringLiteral("Numer KSeF faktury nr %1:").arg(r.number),
        r.ksefNumber);
    if (!typed || typed->trimmed().isEmpty())
        return false;
    recordKsefNumber(db, r.id, *typed);
    return true;
}

bool markSent(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    markKsefSent(db, requireStanding(db, groupId, correctionId).id);
    return true;
}

bool askRejection(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    const KsefRecord r = requireStanding(db, groupId, correctionId);
    const std::optional<QString> reason = prompter().inputText(
        QStringLiteral("Faktura odrzucona przez KSeF"),
        QStringLiteral("Powód odrzucenia faktury nr %1:").arg(r.number), QString());
    if (!reason)
        return false;
    markKsefRejected(db, r.id, *reason);
    return true;
}

QString ksefStateLine(QSqlDatabase db, int groupId, std::optional<qint64> correctionId)
{
    const std::optional<KsefRecord> r = lastKsefRecord(db, groupId, correctionId);
    if (!r)
        return QStringLiteral("KSeF: nie wyeksportowana");
    switch (r->state) {
    case KsefState::Accepted:
        return QStringLiteral("KSeF: przyjęta, numer %1 z dnia %2")
            .arg(r->ksefNumber, dayText(r->ksefDate));
    case KsefState::Rejected:
        return QStringLiteral("KSeF: odrzucona (%1)").arg(r->reason);
    default:
        return QStringLiteral("KSeF: %1, termin wysłania %2")
            .arg(ksefStateText(r->state), dayText(offline24Deadline(r->issued)));
    }
}
