#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QMdiSubWindow;
class QWidget;
class QWindow;

// Closes a child window of the frame as soon as another window becomes
// active: another child of the same area, or another top-level window of
// the program that is not a modal box (message boxes, which the child itself
// may show, do not count). `activated` runs whenever the child becomes active.
class DeactivationCloser : public QObject {
    Q_OBJECT
public:
    DeactivationCloser(QWidget* child, std::function<void()> activated = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void attach();
    void subWindowActivated(QMdiSubWindow* sub);
    void focusWindowChanged(QWindow* window);
    void closeChild();

    QWidget* m_child;
    QPointer<QMdiSubWindow> m_sub;
    std::function<void()> m_activated;
    bool m_closing = false;
};
