#include "app/commands.h"

#include "app/main_window.h"

// Each feature wires its menu entries and Frame operations in a file of its
// own (commands_<feature>.cpp) and is called from here.
void wireCommands(TGlowne& window)
{
    wireStayListCommands(window);
    wireGuestReportCommands(window);
}
