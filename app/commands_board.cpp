#include "app/commands.h"
#include "app/main_window.h"
#include "stays/ui/board_window.h"

// The planning board of the reception menu.
void wireBoardCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuPlanPokoi"),
                       [&window] { window.addChild(new TPlanPokoi, true); });
}
