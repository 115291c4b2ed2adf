#include "app/commands.h"
#include "app/main_window.h"
#include "core/clock.h"
#include "db/data_module.h"
#include "reports/engine/ui/report_command.h"
#include "reports/kt1.h"
#include "reports/kt1_report.h"
#include "reports/ui/kt1_window.h"

namespace {
void runKt1(QWidget* owner)
{
    TFormRapKt1 window(kt1Months(dataModule().database(), today()), today(), owner);
    runOnce(
        window, {},
        [&window](ReportOutput mode) {
            return printKt1(window.figures(), window.establishment(), mode);
        },
        QStringLiteral("Sprawozdanie KT-1 - błąd!"), Prompter::Icon::Error);
}
} // namespace

void wireStatisticsCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuSprawozdanieKt1"), [&window] { runKt1(&window); });
}
