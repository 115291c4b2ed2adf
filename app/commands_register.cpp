#include "app/commands.h"
#include "app/main_window.h"
#include "core/error.h"
#include "register/ui/guest_details_window.h"
#include "register/ui/register_browse_window.h"
#include "register/ui/registration_window.h"

// The registration window's three ways in, for the stay editor, the stay list
// and the register browse window; the guest details, for the person archive;
// the register browse window itself, for the whole register from the menu and
// for one group from the stay list.
void wireRegisterCommands(TGlowne& window)
{
    FrameHandlers& handlers = window.handlers();
    handlers.registerGroup = [&window](int groupId) {
        guarded([&] { TFormKsiazka::registerGroup(groupId, &window); });
        endRegistrationArchive(window);
    };
    handlers.editRegisterEntry = [&window](int groupId, int personId) {
        int ended = 0;
        guarded([&] { ended = TFormKsiazka::editEntry(groupId, personId, &window); });
        endRegistrationArchive(window);
        return ended;
    };
    handlers.addPersonToGroup = [&window](int groupId) {
        int ended = 0;
        guarded([&] { ended = TFormKsiazka::addPerson(groupId, &window); });
        endRegistrationArchive(window);
        return ended;
    };
    handlers.showGuestDetails = [&window](int personId) {
        guarded([&] { TDaneKlienta::showFor(personId, &window); });
    };
    auto openBrowse = [&window](int groupId) {
        guarded([&] {
            TModyfikacjaKsiazki::attachFrame(
                window.addChild(new TModyfikacjaKsiazki(groupId), true));
        });
    };
    handlers.openRegisterBrowse = openBrowse;
    window.wireCommand(QStringLiteral("mnuModyfikowanieKsiazki"), [openBrowse] { openBrowse(0); });
}
