#include "admin/ui/person_archive_window.h"
#include "app/commands.h"
#include "app/main_window.h"

#include <QPointer>

#include <memory>

// One archive window lives through the whole loop of its caller, so that the
// display kind, the dates, the search and the order survive a look at a
// guest's details; it goes when a showing finishes the work. The registration's
// window stays for the next person of the same walk (a returning family is
// taken over person by person) with the rows it has read, and goes when the
// walk ends (endRegistrationArchive).
void wireArchiveCommands(TGlowne& window)
{
    auto archive = std::make_shared<QPointer<TArchiwum>>();
    window.handlers().showPersonArchive = [&window, archive](bool fromRegistration) {
        QPointer<TArchiwum>& open = *archive;
        if (open && open->fromRegistration() != fromRegistration)
            delete open.data(); // left over from another caller's loop
        if (!open)
            open = new TArchiwum(fromRegistration, &window);
        const ArchiveChoice choice = open->showModal();
        if (choice.finished && !fromRegistration)
            delete open.data();
        return choice;
    };
    window.wireCommand(QStringLiteral("mnuArchiwum"), [&window] {
        for (;;) {
            const ArchiveChoice choice = window.showPersonArchive(false);
            if (choice.details && choice.personId > 0)
                window.showGuestDetails(choice.personId);
            if (choice.finished)
                return;
        }
    });
}

void endRegistrationArchive(TGlowne& window)
{
    for (TArchiwum* archive : window.findChildren<TArchiwum*>())
        if (archive->fromRegistration())
            delete archive;
}
