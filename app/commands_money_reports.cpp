#include "app/commands.h"
#include "app/main_window.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "reports/engine/ui/report_command.h"
#include "reports/free_rooms.h"
#include "reports/money_reports.h"
#include "reports/room_utilisation.h"
#include "reports/ui/money_report_windows.h"
#include "reports/ui/room_report_windows.h"
#include "stays/ui/reservation_confirmation_window.h"

namespace {
void runUnpaidGroups(QWidget* owner)
{
    TFormRapDlugi window(owner);
    openUnpaidGroups(window.rows());
    const QString caption = QStringLiteral("Grupy z niuregulowanymi płatnościami - błąd!");
    if (window.rows().isEmpty()) {
        prompter().error(QStringLiteral("Wszytskie grupy zostały rozliczone"), caption);
        return;
    }
    runOnce(
        window, {},
        [&window](ReportOutput mode) {
            return printUnpaidGroups(window.rows(), dataModule().database(), mode);
        },
        caption, Prompter::Icon::Error);
    window.rows().close();
}

void runPayments()
{
    TFormRapOplaty window;
    runOnce(
        window,
        [&window] {
            return window.rows().isEmpty()
                       ? QStringLiteral("Nie ma opłat w wybranym przedziale czasu.")
                       : QString();
        },
        [&window](ReportOutput mode) {
            return printPayments(window.rows(), mode, window.from(), window.to());
        },
        QStringLiteral("Opłaty wniesione w okresie - błąd!"), Prompter::Icon::Error);
}

void runInvoices()
{
    TFormRapFaktury window;
    runOnce(
        window, {},
        [&window](ReportOutput mode) {
            return printInvoices(window.rows(), mode, window.from(), window.to());
        },
        QStringLiteral("Zestawienie wystawionych faktur - błąd!"), Prompter::Icon::Information);
}

void runDiscounts(QWidget* owner)
{
    TFormRabaty window(owner);
    runRepeated(
        window,
        [&window](ReportOutput mode) {
            return printDiscounts(window.rows(), mode, window.from(), window.to());
        },
        QStringLiteral("Zestawienie udzielonych rabatów - błąd!"), Prompter::Icon::Error);
}

void runFreeRooms(QWidget* owner)
{
    TFormRapPokoje window(owner);
    // A failure reading the lists ends the command before the window shows.
    window.load();
    runRepeated(
        window, [&window](ReportOutput mode) { return printFreeRooms(window.rooms(), mode); },
        QStringLiteral("Wolne pokoje"), Prompter::Icon::Error);
}

// Any failure other than the month list's own messages ends the command
// silently. The rooms come from the command's own query: the shared room
// cursor may hold a change typed in the room window.
void runRoomUtilisation()
{
    try {
        const QStringList numbers = roomNumbers(dataModule().database());
        const MonthListResult list = readMonthList(dataModule().database());
        const QString caption = QStringLiteral("Wykorzystanie pokoi");
        if (list.failed)
            prompter().error(kMonthListFailure, caption);
        if (list.months.isEmpty()) {
            if (!list.failed)
                prompter().error(kNoBookingsMessage, caption);
        } else {
            TFormRapWykorzystanie window(list.months, numbers);
            runOnce(
                window, {},
                [&window](ReportOutput mode) {
                    const TMiesiac& m = window.month();
                    return printRoomUtilisation(m.text(), m.days(), window.roomCount(),
                                                window.entries(), mode);
                },
                caption, Prompter::Icon::Error);
        }
    } catch (const RezydoError&) {
    }
}

void runConfirmation(QWidget* owner)
{
    TFormRapPotwierdzenie window(owner);
    runRepeated(
        window,
        [&window](ReportOutput mode) {
            window.printCurrent(mode);
            return LaunchResult::success();
        },
        QStringLiteral("Potwierdzenie rezerwacji - błąd!"), Prompter::Icon::Error);
}
} // namespace

// The windows the lists give as centred on the main window have it as their
// parent; the others stand alone, centred on the screen.
void wireMoneyReportCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuNieuregulowanePlatnosci"),
                       [&window] { runUnpaidGroups(&window); });
    window.wireCommand(QStringLiteral("mnuOplatyWOkresie"), runPayments);
    window.wireCommand(QStringLiteral("mnuZestawienieFaktur"), runInvoices);
    window.wireCommand(QStringLiteral("mnuRabaty"), [&window] { runDiscounts(&window); });
    window.wireCommand(QStringLiteral("mnuWolnePokoje"), [&window] { runFreeRooms(&window); });
    window.wireCommand(QStringLiteral("mnuPotwierdzenieRezerwacji"),
                       [&window] { runConfirmation(&window); });
    window.wireCommand(QStringLiteral("mnuWykorzystaniePokoi"), runRoomUtilisation);
}
