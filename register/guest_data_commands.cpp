#include "register/guest_data_commands.h"

#include "admin/anonymisation.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/prompter.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "register/guest_data_export.h"
#include "reports/engine/report_output.h"

#include <QDir>

namespace {
void askAndAnonymise(const DueCounts& due)
{
    const QString question =
        QStringLiteral("Minął okres przechowywania danych (pobyty zakończone przed %1):\n"
                       "– byli goście: %2\n"
                       "– nabywcy na fakturach, których okres przechowywania też minął: %3\n\n"
                       "Ich dane osobowe zostaną zastąpione wpisem „%4”; kraj, daty, pokoje i "
                       "grupy pozostaną dla statystyk. Tej operacji nie można cofnąć.\n\n"
                       "Czy zanonimizować te dane teraz?")
            .arg(dayText(due.boundary))
            .arg(due.persons)
            .arg(due.invoices)
            .arg(kAnonymousName);
    if (!prompter().ask(question, kAnonymiseCaption, false))
        return;
    AnonymisationResult done;
    try {
        done = anonymiseDue(dataModule().database(), now(), kAnonymiseCaption);
    } catch (const DbError& e) {
        reportDatabaseError(kAnonymiseCaption, e);
        return;
    }
    prompter().inform(QStringLiteral("Zanonimizowano dane byłych gości: %1, nabywców na "
                                     "fakturach: %2.")
                          .arg(done.persons)
                          .arg(done.invoices),
                      kAnonymiseCaption);
}

QString personName(int personId)
{
    return scalarSql(dataModule().database(),
                     QStringLiteral("SELECT trim(coalesce(Nazwisko, '') || ' ' || "
                                    "coalesce(Imie, '')) FROM Arch_os WHERE Identyfikator_o = :O"),
                     {{":O", personId}})
        .toString();
}
} // namespace

void anonymiseDueCommand()
{
    const DueCounts due = countDue(dataModule().database(), today());
    if (!due.any()) {
        prompter().inform(QStringLiteral("Nie ma danych gości, których okres przechowywania "
                                         "minął (pobyty zakończone przed %1).")
                              .arg(dayText(due.boundary)),
                          kAnonymiseCaption);
        return;
    }
    askAndAnonymise(due);
}

void offerAnonymisationAtStart()
{
    QSqlDatabase db = dataModule().database();
    const QDate month(today().year(), today().month(), 1);
    const QDate offered = dayFromValue(scalarSql(
        db, QStringLiteral("SELECT Anonimizacja_oferta FROM Config ORDER BY rowid LIMIT 1")));
    if (offered.isValid() && offered >= month)
        return;
    runInTransaction(db, [&] {
        runSql(db, QStringLiteral("UPDATE Config SET Anonimizacja_oferta = :M"),
               {{":M", dayValue(month)}});
    });
    // The shared cursor writes its whole row back: it must not carry the old
    // month into the hotel data window's next save.
    TableCursor& config = dataModule().config();
    if (config.isOpen() && config.state() == TableCursor::State::Browse)
        config.refresh();
    const DueCounts due = countDue(db, today());
    if (due.any())
        askAndAnonymise(due);
}

void exportPersonDataCommand(int personId)
{
    const PersonData data = collectPersonData(dataModule().database(), personId, now());
    if (!data.found) {
        prompter().warn(QStringLiteral("Tej osoby nie ma w bazie danych."), kExportCaption);
        return;
    }
    const QString pdf = prompter().saveFile(
        kExportCaption, documentsFolder(), personDataFileName(data) + QStringLiteral(".pdf"),
        QStringLiteral("Pliki PDF (*.pdf)"), QStringLiteral("pdf"), Prompter::Existing::Ask);
    if (pdf.isEmpty())
        return;
    const QString json = writePersonData(data, pdf);
    prompter().inform(QStringLiteral("Dane osoby zapisano w plikach:\n%1\n%2")
                          .arg(QDir::toNativeSeparators(pdf), QDir::toNativeSeparators(json)),
                      kExportCaption);
}

bool erasePersonDataCommand(int personId)
{
    QSqlDatabase db = dataModule().database();
    const ErasurePlan plan = planErasure(db, personId, today());
    if (!plan.personFound) {
        prompter().warn(QStringLiteral("Tej osoby nie ma w bazie danych."), kEraseCaption);
        return false;
    }
    const QString kept = plan.refusals.join(QLatin1Char('\n'));
    if (plan.blocked) {
        prompter().warn(QStringLiteral("Nie można teraz usunąć danych tej osoby.\n") + kept,
                        kEraseCaption);
        return false;
    }
    if (plan.alreadyAnonymous && plan.invoicesToClear.isEmpty()) {
        prompter().inform(QStringLiteral("Dane tej osoby zostały już usunięte.") +
                              (kept.isEmpty() ? QString() : QStringLiteral("\n") + kept),
                          kEraseCaption);
        return false;
    }
    QString question =
        QStringLiteral("Czy usunąć dane osobowe: %1?\nZostaną zastąpione wpisem „%2”; pobyty "
                       "pozostaną w statystykach bez danych osobowych. Tej operacji nie można "
                       "cofnąć.")
            .arg(personName(personId), kAnonymousName);
    if (!kept.isEmpty())
        question += QStringLiteral("\n\nPozostanie zgodnie z przepisami:\n") + kept;
    if (!prompter().ask(question, kEraseCaption, false))
        return false;
    AnonymisationResult done;
    try {
        done = erasePerson(db, personId, now(), kEraseCaption);
    } catch (const DbError& e) {
        reportDatabaseError(kEraseCaption, e);
        return false;
    }
    if (done.persons == 0 && done.invoices == 0) {
        // Another desk checked the person in meanwhile.
        prompter().warn(QStringLiteral("Dane nie zostały usunięte: stan osoby zmienił się w "
                                       "międzyczasie. Spróbuj ponownie."),
                        kEraseCaption);
        return false;
    }
    prompter().inform(QStringLiteral("Dane osoby zostały usunięte.") +
                          (kept.isEmpty() ? QString() : QStringLiteral("\n") + kept),
                      kEraseCaption);
    return true;
}
