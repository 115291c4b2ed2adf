#include "reports/engine/ui/parameter_window.h"

#include "core/ui/child_window.h"
#include "core/ui/keyboard.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TFormParametry::TFormParametry(const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormParametry"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    m_content = new QVBoxLayout;
    layout->addLayout(m_content, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    buttons->addStretch(1);
    m_preview = button(QStringLiteral("Podglad"), QStringLiteral("&Podgląd"));
    m_print = button(QStringLiteral("Drukuj"), QStringLiteral("&Drukuj"));
    m_close = button(QStringLiteral("Zamknij"), QStringLiteral("&Zamknij"));
    layout->addLayout(buttons);

    connect(m_preview, &QPushButton::clicked, this, [this] { choose(ReportOutput::Preview); });
    connect(m_print, &QPushButton::clicked, this, [this] { choose(ReportOutput::Print); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormParametry::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The buttons are made before the report's own controls; Tab reaches them
    // last, so the window starts in its first control.
    QWidget* last = previousInFocusChain();
    while (last != this && last->focusPolicy() == Qt::NoFocus)
        last = last->previousInFocusChain();
    if (last != this && last != m_close)
        setTabChain({last, m_preview, m_print, m_close});
    centreOnOwner(this);
}

void TFormParametry::choose(ReportOutput mode)
{
    m_mode = mode;
    if (prepare())
        accept();
}
