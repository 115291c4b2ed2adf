#include "core/ui/keyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabBar>

namespace {
// A control showing an access key: a button, a label handing the focus to its
// buddy, or one tab of a tab bar.
struct KeyOwner {
    QWidget* control = nullptr;
    int tab = -1;
    bool enabled = false;
};

QList<KeyOwner> keyOwners(const QWidget* root, const QKeySequence& pressed)
{
    QList<KeyOwner> owners;
    auto shows = [&pressed](const QString& text) {
        return QKeySequence::mnemonic(text) == pressed;
    };
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (shows(button->text()))
                owners.append({button, -1, button->isEnabled()});
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            const QWidget* buddy = label->buddy();
            if (buddy && shows(label->text()))
                owners.append({label, -1, buddy->isVisible() && buddy->isEnabled()});
        } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isTabVisible(i) && shows(bar->tabText(i)))
                    owners.append({bar, i, bar->isEnabled() && bar->isTabEnabled(i)});
        }
    }
    return owners;
}

void actOn(const KeyOwner& owner)
{
    if (auto* button = qobject_cast<QAbstractButton*>(owner.control))
        button->animateClick();
    else if (auto* label = qobject_cast<QLabel*>(owner.control))
        label->buddy()->setFocus(Qt::ShortcutFocusReason);
    else if (auto* bar = qobject_cast<QTabBar*>(owner.control))
        bar->setCurrentIndex(owner.tab);
}

QWidget* focusTarget(const KeyOwner& owner)
{
    if (auto* label = qobject_cast<QLabel*>(owner.control))
        return label->buddy();
    return owner.control;
}

bool holdsFocus(const KeyOwner& owner, const QWidget* focus)
{
    const QWidget* target = focusTarget(owner);
    if (!focus || (focus != target && !target->isAncestorOf(focus)))
        return false;
    const auto* bar = qobject_cast<const QTabBar*>(owner.control);
    return !bar || bar->currentIndex() == owner.tab;
}

// Several controls share the letter: each press moves the focus to the next.
void focusNext(const QList<KeyOwner>& owners, const QWidget* focus)
{
    qsizetype next = 0;
    for (qsizetype i = 0; i < owners.size(); ++i)
        if (holdsFocus(owners[i], focus))
            next = (i + 1) % owners.size();
    const KeyOwner& owner = owners[next];
    if (auto* bar = qobject_cast<QTabBar*>(owner.control))
        bar->setCurrentIndex(owner.tab);
    focusTarget(owner)->setFocus(Qt::ShortcutFocusReason);
}
} // namespace

AccessKeys::AccessKeys(QMdiArea* area, QMenuBar* menu, QObject* parent)
    : QObject(parent)
    , m_area(area)
    , m_menu(menu)
{
}

bool AccessKeys::eventFilter(QObject* watched, QEvent* event)
{
    // Qt asks with ShortcutOverride whether a key is wanted before it looks for
    // shortcuts; a key claimed here then arrives as a KeyPress and acts.
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_area->window() || qobject_cast<const QMenuBar*>(widget))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool press = type == QEvent::KeyPress;
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        if (press)
            openMenu();
    } else if (key->modifiers() != Qt::AltModifier ||
               !claim(QKeySequence(key->keyCombination()), press)) {
        return false;
    }
    key->accept();
    return true;
}

bool AccessKeys::claim(const QKeySequence& pressed, bool act) const
{
    const QMdiSubWindow* sub = m_area->activeSubWindow();
    if (!sub || !sub->widget() || sub->isMinimized())
        return false;
    const QList<KeyOwner> owners = keyOwners(sub->widget(), pressed);
    if (owners.isEmpty())
        return false;
    QList<KeyOwner> enabled;
    for (const KeyOwner& owner : owners)
        if (owner.enabled)
            enabled.append(owner);
    if (!act || enabled.isEmpty())
        return true;
    if (enabled.size() == 1)
        actOn(enabled.first());
    else
        focusNext(enabled, m_area->window()->focusWidget());
    return true;
}

void AccessKeys::openMenu() const
{
    const QList<QAction*> entries = m_menu->actions();
    for (QAction* entry : entries)
        if (entry->menu() && entry->isVisible() && entry->isEnabled()) {
            m_menu->setActiveAction(entry);
            return;
        }
}

void setTabChain(const QList<QWidget*>& widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i) {
        QWidget* w = widgets[i];
        // The chain is a ring through the window, and Qt takes the widget just
        // behind the window for following the one just before it already; so
        // that it can go to the end, it first steps aside.
        if (w->previousInFocusChain() == w->window()) {
            QWidget* next = w->nextInFocusChain();
            while (next != w->window() && next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            if (next != w->window())
                QWidget::setTabOrder(next, w);
        }
        QWidget::setTabOrder(widgets[i - 1], w);
    }
}
