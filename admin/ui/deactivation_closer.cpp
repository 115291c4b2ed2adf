#include "admin/ui/deactivation_closer.h"

#include "core/ui/child_window.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <QWindow>

DeactivationCloser::DeactivationCloser(QWidget* child, std::function<void()> activated)
    : QObject(child)
    , m_child(child)
    , m_activated(std::move(activated))
{
    child->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &DeactivationCloser::focusWindowChanged);
}

bool DeactivationCloser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_child && event->type() == QEvent::Show)
        attach();
    return QObject::eventFilter(watched, event);
}

void DeactivationCloser::attach()
{
    auto* sub = qobject_cast<QMdiSubWindow*>(m_child->parentWidget());
    if (!sub || sub == m_sub || !sub->mdiArea())
        return;
    m_sub = sub;
    connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this,
            &DeactivationCloser::subWindowActivated);
}

void DeactivationCloser::subWindowActivated(QMdiSubWindow* sub)
{
    // Null only means the frame itself lost the focus.
    if (!sub || !m_sub)
        return;
    if (sub == m_sub) {
        if (m_activated)
            m_activated();
        return;
    }
    closeChild();
}

void DeactivationCloser::focusWindowChanged(QWindow* window)
{
    if (!window || !m_child->isVisible() || QApplication::activeModalWidget())
        return;
    if (window->modality() != Qt::NonModal)
        return;
    const Qt::WindowType type = window->type();
    if (type != Qt::Window && type != Qt::Dialog)
        return; // menus, drop-down lists, tool tips
    if (QWidget* top = m_child->window(); top && top->windowHandle() == window)
        return;
    closeChild();
}

void DeactivationCloser::closeChild()
{
    if (m_closing)
        return;
    m_closing = true;
    // Not inside the activation itself: the frame is still switching windows.
    QMetaObject::invokeMethod(
        this, [this] { closeChildWindow(m_child); }, Qt::QueuedConnection);
}
