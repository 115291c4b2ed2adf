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
