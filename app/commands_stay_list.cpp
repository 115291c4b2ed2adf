#include "app/commands.h"
#include "app/main_window.h"
#include "stays/ui/stay_list_window.h"

void wireStayListCommands(TGlowne& window)
{
    const std::pair<const char*, TLista::Variant> entries[] = {
        {"mnuModyfikowanieRezerwacji", TLista::Variant::ModifyReservations},
        {"mnuKwaterowanieZListy", TLista::Variant::CheckInFromList},
        {"mnuModyfikowanieKwaterunku", TLista::Variant::ModifyAccommodations},
        {"mnuWykwaterowanie", TLista::Variant::CheckOut},
        {"mnuOplaty", TLista::Variant::Payments},
    };
    for (const auto& [name, variant] : entries)
        window.wireCommand(QString::fromLatin1(name), [&window, variant = variant] {
            window.addChild(new TLista(variant), true);
        });
}
