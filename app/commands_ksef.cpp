#include "app/commands.h"
#include "app/main_window.h"
#include "billing/ksef/ksef_record.h"
#include "billing/ui/ksef_waiting_window.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "db/data_module.h"

void wireKsefCommands(TGlowne& window)
{
    installKsefDocumentBuilder();
    window.wireCommand(QStringLiteral("mnuFakturyKsef"),
                       [&window] { window.addChild(new TKsefOczekujace); });
}

void warnKsefDeadlinesAtStart()
{
    if (const std::optional<QString> text = ksefDeadlineWarning(dataModule().database(), today()))
        prompter().warn(*text, QStringLiteral("Faktury do wysłania do KSeF"));
}
