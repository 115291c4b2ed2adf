#include "core/ui/child_window.h"

#include <QMdiSubWindow>
#include <QWidget>

void closeChildWindow(QWidget* window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        sub->close();
    else
        window->window()->close();
}

void centreOnOwner(QWidget* window)
{
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!owner)
        return;
    QRect area = window->frameGeometry();
    area.moveCenter(owner->frameGeometry().center());
    window->move(area.topLeft());
}
