#include "admin/ui/closures_window.h"
#include "admin/ui/countries_window.h"
#include "admin/ui/hotel_data_window.h"
#include "admin/ui/price_list_window.h"
#include "admin/ui/rates_window.h"
#include "admin/ui/rooms_window.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "register/guest_data_commands.h"

#include <QMdiSubWindow>

void wireAdminCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuUstawieniePokoi"),
                       [&window] { window.addChild(new TPokoje); });
    window.wireCommand(QStringLiteral("mnuCennik"), [&window] { window.addChild(new TCennik); });
    window.wireCommand(QStringLiteral("mnuUslugi"), [&window] { window.addChild(new TUslugi); });
    window.wireCommand(QStringLiteral("mnuStawkiVat"),
                       [&window] { window.addChild(new TStawkiVat); });
    window.wireCommand(QStringLiteral("mnuKonfiguracja"), [&window] {
        // One hotel data window at a time; the command brings it forward.
        // (a closed one is only waiting to be deleted).
        TKonfiguracja* hotel = nullptr;
        for (TKonfiguracja* open : window.findChildren<TKonfiguracja*>())
            if (open->isVisible())
                hotel = open;
        if (!hotel)
            hotel = new TKonfiguracja(&window);
        hotel->show();
        hotel->raise();
        hotel->activateWindow();
    });
    window.wireCommand(QStringLiteral("mnuAnonimizacja"), anonymiseDueCommand);
    window.wireCommand(QStringLiteral("mnuUstawieniePanstw"), [&window] {
        QMdiSubWindow* sub = window.addChild(new TPanstwa);
        TPanstwa::setFrameButtons(sub);
        sub->show();
    });
    window.wireCommand(QStringLiteral("mnuDniZamkniete"),
                       [&window] { window.addChild(new TBlokady(ClosureKind::House)); });
    window.wireCommand(QStringLiteral("mnuBlokadyPokoi"),
                       [&window] { window.addChild(new TBlokady(ClosureKind::Room)); });
}
