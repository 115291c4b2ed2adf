#include "app/commands.h"
#include "app/main_window.h"
#include "db/row_set.h"
#include "reports/engine/ui/report_command.h"
#include "reports/guest_list_reports.h"
#include "reports/season_report.h"
#include "reports/ui/current_guests_window.h"
#include "reports/ui/groups_of_day_window.h"
#include "reports/ui/person_nights_window.h"
#include "reports/ui/room_list_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
void runCurrentGuests()
{
    TFormRapAktualneKwaterunki window;
    runOnce(
        window,
        [&window] {
            return window.rows().isEmpty() ? QStringLiteral("Nie ma żadnej osoby zakwaterowanej")
                                           : QString();
        },
        [&window](ReportOutput mode) {
            return printCurrentGuests(window.rows(), window.filterItem(), window.countText(), mode);
        },
        QStringLiteral("Spis aktualnie zakwaterowanych - błąd!"), Prompter::Icon::Warning);
}

void runRoomList(int kind)
{
    static const QString messages[] = {QStringLiteral("W wybranym dniu nikt nie przyjeżdża"),
                                       QStringLiteral("W wybranym dniu nikt nie wyjeżdża"),
                                       QStringLiteral("Nie ma żadnych rezerwacji")};
    static const QString captions[] = {QStringLiteral("Osoby przyjeżdżające danego dnia - błąd!"),
                                       QStringLiteral("Osoby wyjeżdżające danego dnia - błąd!"),
                                       QStringLiteral("Spis Rezerwacji - błąd!")};
    TFormRapOsoby window(kind);
    runOnce(
        window,
        [&window, kind] { return window.rows().isEmpty() ? messages[kind - 1] : QString(); },
        [&window, kind](ReportOutput mode) {
            return printRoomList(window.rows(), kind, mode, window.day());
        },
        captions[kind - 1], Prompter::Icon::Error);
}

void runGroupsOfDay()
{
    TFormRapMeldunki window;
    runOnce(
        window, {},
        [&window](ReportOutput mode) {
            return printGroupsOfDay(window.rows(), mode, window.day());
        },
        QStringLiteral("Grupy zakwaterowane w danym dniu - błąd!"), Prompter::Icon::Error);
}
} // namespace

void wireGuestReportCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuOsobyDoba"), [&window] {
        QMdiSubWindow* sub = window.addChild(new TFormOsoboDoba);
        sub->adjustSize();
        // Centred in the frame's client area.
        const QRect area = window.childArea()->viewport()->rect();
        sub->move(area.center() - sub->rect().center());
    });
    window.wireCommand(QStringLiteral("mnuSpisZakwaterowanych"), runCurrentGuests);
    window.wireCommand(QStringLiteral("mnuPrzyjezdzajacy"), [] { runRoomList(1); });
    window.wireCommand(QStringLiteral("mnuWyjezdzajacy"), [] { runRoomList(2); });
    window.wireCommand(QStringLiteral("mnuListaRezerwacji"), [] { runRoomList(3); });
    window.wireCommand(QStringLiteral("mnuGrupyWDniu"), runGroupsOfDay);
    window.wireCommand(QStringLiteral("mnuRaportGus"), [] {
        runDirect([](ReportOutput) { return printSeasonReport(); },
                  QStringLiteral("Raport dla GUS - błąd!"), Prompter::Icon::Error);
    });
}
