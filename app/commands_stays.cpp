#include "app/commands.h"
#include "app/main_window.h"
#include "core/error.h"
#include "stays/ui/stay_editor_window.h"

#include <memory>

namespace {
void openEditor(TGlowne& window, StayMode mode, int groupId, QObject* caller)
{
    auto editor = std::make_unique<TRezerwacja>(mode, groupId, caller);
    editor->start();
    window.addChild(editor.release(), true);
}
} // namespace

// The stay editor: a new reservation, a walk-in accommodation, and the
// change of a group handed over by the stay list.
void wireStaysCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuWprowadzanieRezerwacji"),
                       [&window] { openEditor(window, StayMode::NewReservation, 0, nullptr); });
    window.wireCommand(QStringLiteral("mnuKwaterowanieBezRezerwacji"),
                       [&window] { openEditor(window, StayMode::NewAccommodation, 0, nullptr); });
    window.handlers().openNewReservation = [&window](const QString& room, const QDate& from,
                                                     const QDate& to, int beds,
                                                     const QString& gender) {
        guarded([&] {
            auto editor = std::make_unique<TRezerwacja>(StayMode::NewReservation);
            editor->startWithRoom(room, from, to, beds, gender);
            window.addChild(editor.release(), true);
        });
    };
    window.handlers().openStayEditor = [&window](int groupId, bool reservation, QObject* caller) {
        guarded([&] {
            openEditor(window,
                       reservation ? StayMode::EditReservation : StayMode::EditAccommodation,
                       groupId, caller);
        });
    };
}
