#include "app/commands.h"
#include "app/main_window.h"
#include "reports/ui/person_nights_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void wireGuestReportCommands(TGlowne& window) {
    window.wireCommand(QStringLiteral("mnuOsobyDoba"), [&window] {
        QMdiSubWindow* sub = window.addChild(new TFormOsoboDoba);
        sub->adjustSize();
        // Centred in the frame's client area.
        const QRect area = window.childArea()->viewport()->rect();
        sub->move(area.center() - sub->rect().center());
    });
}
