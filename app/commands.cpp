#include "app/commands.h"

#include "app/main_window.h"

// Each feature wires its menu entries and Frame operations in a file of its
// own (commands_<feature>.cpp) and is called from here.
void wireCommands(TGlowne& window)
{
    wireReportCommands(window);
    wireStaysCommands(window);
    wireStayListCommands(window);
    wireBoardCommands(window);
    wireBackupCommands(window);
    wireGuestReportCommands(window);
    wireAdminCommands(window);
    wireBillingCommands(window);
    wireRegisterCommands(window);
    wireMoneyReportCommands(window);
    wireArchiveCommands(window);
    wireStatisticsCommands(window);
    wireKsefCommands(window);
}
