#include "admin/ui/setup_window.h"

#include "admin/setup_rows.h"
#include "admin/ui/cursor_grid.h"
#include "admin/ui/deactivation_closer.h"
#include "core/error.h"
#include "core/ui/child_window.h"
#include "db/table_cursor.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SetupWindow::SetupWindow(TableCursor& cursor, QWidget* parent)
    : QWidget(parent)
    , m_cursor(cursor)
    , m_form(new QFormLayout)
    , m_dodaj(button(QStringLiteral("&Dodaj"), QStringLiteral("Dodaj")))
    , m_ok(button(QStringLiteral("&Ok"), QStringLiteral("Ok")))
    , m_anuluj(button(QStringLiteral("&Anuluj"), QStringLiteral("Anuluj")))
    , m_usun(button(QStringLiteral("&Usuń"), QStringLiteral("Usun")))
    , m_zamknij(button(QStringLiteral("&Zamknij"), QStringLiteral("Zamknij")))
{
    connect(m_dodaj, &QPushButton::clicked, this, [this] {
        guarded([this] {
            // Adding saves the row being edited first.
            if (isEditing(m_cursor))
                checkBeforeSave();
            m_cursor.insert();
            if (m_firstField)
                m_firstField->setFocus();
        });
    });
    connect(m_ok, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(m_anuluj, &QPushButton::clicked, this, [this] { m_cursor.cancel(); });
    // Deleting asks nothing.
    connect(m_usun, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (mayRemoveCurrent())
                m_cursor.remove();
        });
    });
    connect(m_zamknij, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    connect(&m_cursor, &TableCursor::stateChanged, this, &SetupWindow::updateEnabling);
    connect(&m_cursor, &TableCursor::rowsChanged, this, &SetupWindow::updateEnabling);
    new DeactivationCloser(this, [this] { guarded([this] { openCursors(); }); });
}

QPushButton* SetupWindow::button(const QString& caption, const QString& name)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void SetupWindow::finish(CursorGrid* grid, QLineEdit* firstField)
{
    m_firstField = firstField;
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_dodaj, m_ok, m_anuluj, m_usun, m_zamknij})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    guarded([this] { openCursors(); });
    updateEnabling();
}

void SetupWindow::openCursors()
{
    m_cursor.open();
}

void SetupWindow::save()
{
    checkBeforeSave();
    saveRow(m_cursor);
}

void SetupWindow::updateEnabling()
{
    const bool editing = isEditing(m_cursor);
    m_ok->setEnabled(editing);
    m_anuluj->setEnabled(editing);
    m_usun->setEnabled(mayDelete());
}

bool SetupWindow::mayClose()
{
    saveOrDrop(m_cursor, [this] { checkBeforeSave(); });
    return true;
}

void SetupWindow::closeEvent(QCloseEvent* event)
{
    mayClose();
    event->accept();
}
