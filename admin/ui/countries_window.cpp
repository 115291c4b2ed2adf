#include "admin/ui/countries_window.h"

#include "admin/countries.h"
#include "admin/ui/cursor_fields.h"
#include "admin/ui/cursor_grid.h"
#include "core/error.h"
#include "core/ui/child_window.h"
#include "db/data_module.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

TPanstwa::TPanstwa(QWidget* parent)
    : QWidget(parent)
    , m_countries(new TableCursor(
          QStringLiteral("Panstwo"), [] { return dataModule().database(); }, this))
    , m_fields(new CursorFields(*m_countries, this))
    , m_nazwa(new QLineEdit(this))
    , m_dodaj(button(QStringLiteral("&Dodaj"), QStringLiteral("Dodaj")))
    , m_ok(button(QStringLiteral("&Ok"), QStringLiteral("Ok")))
    , m_anuluj(button(QStringLiteral("&Anuluj"), QStringLiteral("Anuluj")))
    , m_usun(button(QStringLiteral("&Usuń"), QStringLiteral("Usun")))
    , m_zamknij(button(QStringLiteral("&Zamknij"), QStringLiteral("Zamknij")))
{
    setObjectName(QStringLiteral("TPanstwa"));
    setWindowTitle(QStringLiteral("Ustawienie państw"));
    resize(360, 380);

    m_nazwa->setObjectName(QStringLiteral("NazwaPanstwa"));
    m_fields->bind(m_nazwa, QStringLiteral("Nazwa"));
    auto* grid =
        new CursorGrid(*m_countries, {{QStringLiteral("Nazwa"), QStringLiteral("Nazwa")}}, this);
    grid->setObjectName(QStringLiteral("Lista"));

    connect(m_dodaj, &QPushButton::clicked, this, [this] {
        guarded([this] {
            m_countries->insert();
            m_nazwa->setFocus();
        });
    });
    connect(m_ok, &QPushButton::clicked, this, [this] { guarded([this] { ok(); }); });
    connect(m_anuluj, &QPushButton::clicked, this, [this] { m_countries->cancel(); });
    connect(m_usun, &QPushButton::clicked, this,
            [this] { guarded([this] { deleteCountry(dataModule().database(), *m_countries); }); });
    connect(m_zamknij, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    connect(m_nazwa, &QLineEdit::returnPressed, this, [this] {
        if (m_countries->state() == TableCursor::State::Insert && !m_nazwa->text().isEmpty())
            guarded([this] { ok(); });
    });
    connect(m_countries, &TableCursor::stateChanged, this, &TPanstwa::updateEnabling);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nazwa państwa"), m_nazwa);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_dodaj, m_ok, m_anuluj, m_usun, m_zamknij})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    guarded([this] { m_countries->open(); });
    updateEnabling();
}

QPushButton* TPanstwa::button(const QString& caption, const QString& name)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void TPanstwa::setFrameButtons(QMdiSubWindow* sub)
{
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void TPanstwa::updateEnabling()
{
    const bool adding = m_countries->state() == TableCursor::State::Insert;
    m_ok->setEnabled(adding);
    m_anuluj->setEnabled(adding);
    m_dodaj->setEnabled(!adding);
    m_usun->setEnabled(!adding);
    m_nazwa->setReadOnly(!adding);
}

void TPanstwa::ok()
{
    finishNewCountry(*m_countries);
}
