#include "stays/stay_list_commands.h"

#include "core/clock.h"
#include "core/days.h"
#include "core/frame.h"
#include "core/prompter.h"
#include "stays/check_in_out.h"

namespace {
const QString kCheckInCaption = QStringLiteral("Kwaterowanie");

QString quoted(const QString& name)
{
    return QStringLiteral(" \"") + name + QStringLiteral("\" ?");
}
} // namespace

std::optional<int> checkInWithOffers(QSqlDatabase db, int reservationId)
{
    const std::optional<int> group = checkInReservation(db, reservationId);
    if (!group)
        return std::nullopt;
    if (prompter().ask(
            QStringLiteral("Czy chcesz teraz wpisać osoby z tej grupy do książki meldunkowej ?"),
            kCheckInCaption, true))
        frame().registerGroup(*group);
    if (prompter().ask(QStringLiteral("Rozliczyć grupę ?"), kCheckInCaption, true))
        frame().openBilling(*group);
    return group;
}

std::optional<int> checkInAndRegister(QSqlDatabase db, int reservationId, const QString& name,
                                      const QDate& arrival)
{
    if (reservationId <= 0)
        return std::nullopt;
    if (arrival != today() &&
        !prompter().ask(QStringLiteral("Data przyjazdu jest różna od dzisiejszej. Czy napewno "
                                       "chcesz zakwaterować i zameldować osoby z grupy") +
                            quoted(name),
                        kCheckInCaption, false))
        return std::nullopt;
    const std::optional<int> group = checkInReservation(db, reservationId);
    if (group)
        frame().registerGroup(*group);
    return group;
}

bool checkOutWithQuestions(QSqlDatabase db, int groupId, const QString& name)
{
    if (!prompter().ask(QStringLiteral("Czy napewno chcesz wykwaterować grupę") + quoted(name),
                        QStringLiteral("Wykwaterowanie : Krok 1/3"), false))
        return false;
    if (!isGroupSettled(db, groupId) &&
        !prompter().ask(QStringLiteral("Grupa jest nierozliczona, wykwaterować ?"),
                        QStringLiteral("Wykwaterowanie : Krok 2/3"), false))
        return false;
    if (incompleteEntries(db, groupId) > 0 &&
        !prompter().ask(QStringLiteral("Brak pełnych danych w książce meldunkowej, wykwaterować ?"),
                        QStringLiteral("Wykwaterowanie : Krok 3/3"), false))
        return false;
    // Asked last, once the check-out is certain, and before anything is written.
    QDate leaving;
    const QDate planned = plannedDeparture(db, groupId);
    const QDate day = today();
    if (planned.isValid() && day < planned &&
        prompter().ask(QStringLiteral("Planowany wyjazd grupy to %1. Czy goście wyjeżdżają "
                                      "dzisiaj (%2)?")
                           .arg(dayText(planned), dayText(day)),
                       QStringLiteral("Wykwaterowanie przed planowanym wyjazdem"), false))
        leaving = day;
    return checkOutGroup(db, groupId, leaving);
}
