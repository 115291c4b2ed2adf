#include "app/commands.h"

#include "app/main_window.h"

void wireCommands(TGlowne& window)
{
    (void)window;
}
