// Saving and closing the stay editor: the questions after a save, the
// closing question, and closing at once when another window takes over.
#include "core/error.h"
#include "core/frame.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "db/data_module.h"
#include "stays/ui/stay_editor_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTimer>
#include <QWindow>

namespace {
const QString kCaption = QStringLiteral("Kwaterowanie");

bool askRegistration()
{
    return prompter().ask(
        QStringLiteral("Czy chcesz teraz wpisać osoby z tej grupy do książki meldunkowej ?"),
        kCaption, true);
}

// Boxes the program shows in passing do not take the editor's place.
bool isPassing(const QWidget* w)
{
    return qobject_cast<const QMessageBox*>(w) || qobject_cast<const QInputDialog*>(w) ||
           qobject_cast<const QFileDialog*>(w);
}
} // namespace

void TRezerwacja::onSave()
{
    // One save at a time; and the second click of a double click, arriving
    // when the first has already saved and reset the window, saves nothing.
    if (m_saving || m_settling)
        return;
    m_saving = true;
    bool wasReset = false;
    guarded([this, &wasReset] { wasReset = save(); });
    m_saving = false;
    if (wasReset) {
        m_settling = true;
        QTimer::singleShot(QGuiApplication::styleHints()->mouseDoubleClickInterval(), this,
                           [this] { m_settling = false; });
    }
    if (m_closePending)
        closeAtOnce();
}

bool TRezerwacja::save()
{
    StayForm form;
    form.name = m_name->text();
    form.persons = m_persons->text();
    form.notes = m_notes->toPlainText();
    form.from = m_from->date();
    form.to = m_to->date();
    form.chosen = m_chosen;
    const SaveOutcome outcome = saveStay(dataModule().database(), m_mode, m_groupId, form);
    if (outcome.kind != SaveOutcome::Saved)
        return false; // the input stays for another try
    switch (m_mode) {
    case StayMode::NewReservation:
        reset();
        return true;
    case StayMode::NewAccommodation:
        if (askRegistration())
            frame().registerGroup(outcome.groupId);
        if (prompter().ask(QStringLiteral("Rozliczyć grupę ?"), kCaption, true))
            frame().openBilling(outcome.groupId);
        reset();
        return true;
    case StayMode::EditReservation:
        m_closeWithoutQuestion = true;
        closeWindow();
        break;
    case StayMode::EditAccommodation:
        if (askRegistration())
            frame().registerGroup(outcome.groupId);
        m_closeWithoutQuestion = true;
        closeWindow();
        break;
    }
    return false;
}

void TRezerwacja::onClose()
{
    if (isChange(m_mode))
        notifyCaller();
    closeWindow();
}

bool TRezerwacja::mayClose()
{
    if (m_closeWithoutQuestion || m_closeApproved)
        return true;
    m_closeApproved =
        prompter().ask(QStringLiteral("Czy chcesz zamknąc okienko i anulować zmiany ?"),
                       QStringLiteral("Zamknięcie okienka"), false);
    return m_closeApproved;
}

void TRezerwacja::closeEvent(QCloseEvent* event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    if (isChange(m_mode) && !m_callerNotified) {
        m_callerNotified = true;
        guarded([this] { notifyCaller(); });
    }
    event->accept();
}

void TRezerwacja::notifyCaller()
{
    if (auto* listener = dynamic_cast<GroupListener*>(m_caller.data()))
        listener->groupEdited(m_groupId);
}

void TRezerwacja::closeWindow()
{
    closeChildWindow(this);
}

void TRezerwacja::closeAtOnce()
{
    m_closePending = false;
    m_closeWithoutQuestion = true;
    closeWindow();
}

void TRezerwacja::deactivated()
{
    if (m_closeWithoutQuestion || m_closeApproved)
        return;
    if (m_saving) {
        m_closePending = true; // the save finishes first
        return;
    }
    // Not inside the signal that told us: the other window is still settling.
    QTimer::singleShot(0, this, [this] {
        if (!m_saving)
            closeAtOnce();
        else
            m_closePending = true;
    });
}

void TRezerwacja::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    watchDeactivation();
}

void TRezerwacja::watchDeactivation()
{
    if (m_watching)
        return;
    m_watching = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = sub->mdiArea())
            connect(area, &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* w) {
                if (w && w != sub)
                    deactivated();
            });
    }
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TRezerwacja::otherWindowFocused);
}

void TRezerwacja::otherWindowFocused(QWindow* focused)
{
    if (!focused)
        return;
    const QList<QWidget*> tops = QApplication::topLevelWidgets();
    for (QWidget* top : tops) {
        if (top->windowHandle() != focused)
            continue;
        const Qt::WindowType type = top->windowType();
        if (top == window() || isPassing(top) || (type != Qt::Window && type != Qt::Dialog))
            return;
        deactivated();
        return;
    }
}
