#include "app/commands.h"
#include "app/main_window.h"
#include "core/error.h"
#include "register/ui/guest_details_window.h"
#include "register/ui/registration_window.h"

// The registration window's three ways in, for the stay editor, the stay list
// and the register browse window; the guest details, for the person archive.
void wireRegisterCommands(TGlowne& window)
{
    FrameHandlers& handlers = window.handlers();
    handlers.registerGroup = [&window](int groupId) {
        guarded([&] { TFormKsiazka::registerGroup(groupId, &window); });
    };
    handlers.editRegisterEntry = [&window](int groupId, int personId) {
        guarded([&] { TFormKsiazka::editEntry(groupId, personId, &window); });
    };
    handlers.addPersonToGroup = [&window](int groupId) {
        guarded([&] { TFormKsiazka::addPerson(groupId, &window); });
    };
    handlers.showGuestDetails = [&window](int personId) {
        guarded([&] { TDaneKlienta::showFor(personId, &window); });
    };
}
