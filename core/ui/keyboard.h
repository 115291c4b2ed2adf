#pragma once

#include <QList>
#include <QObject>

class QKeySequence;
class QMdiArea;
class QMenuBar;
class QWidget;

// Access keys in a multi-document frame. The buttons of a child window and the
// menu bar share one top-level window, so Qt finds "&Zamknij" and "&Zestawienia"
// under the same Alt+Z and only moves the focus. Installed on the application,
// this filter gives the active child window the first word:
// - one visible, enabled control of the child with that letter acts at once
//   (a button is clicked, a label's buddy gets the focus, a tab is shown);
// - several move the focus from one to the next;
// - a control that shows the letter but is disabled keeps it from the menu;
// - none leave the letter to Qt, and so to the menu bar.
// F10 opens the menu bar from anywhere in the frame. Dialogs, the preview and
// other top-level windows are not the frame and keep Qt's own handling.
class AccessKeys : public QObject {
    Q_OBJECT
public:
    AccessKeys(QMdiArea* area, QMenuBar* menu, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the active child window claims the key; `act` carries it out.
    bool claim(const QKeySequence& pressed, bool act) const;
    void openMenu() const;

    QMdiArea* m_area;
    QMenuBar* m_menu;
};

// Tab goes through the widgets in the order given: each one right after the
// one before it; the first keeps its place.
void setTabChain(const QList<QWidget*>& widgets);
