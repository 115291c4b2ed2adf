#include "reports/ui/person_nights_window.h"

#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/ui/child_window.h"
#include "db/data_module.h"
#include "reports/statistics.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace {
QDateEdit* dayPicker(QWidget* parent, const QString& name, const QDate& day)
{
    auto* picker = new QDateEdit(day, parent);
    picker->setObjectName(name);
    picker->setDisplayFormat(QLatin1String(kDayFormat));
    picker->setCalendarPopup(true);
    return picker;
}

QLabel* boldResult(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}
} // namespace

TFormOsoboDoba::TFormOsoboDoba(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TFormOsoboDoba"));
    setWindowTitle(QStringLiteral("Liczba osób i udzielonych noclegów"));
    auto* grid = new QGridLayout(this);
    m_start = dayPicker(this, QStringLiteral("DataPoczatkowa"), today());
    m_end = dayPicker(this, QStringLiteral("DataKoncowa"), today().addDays(1));
    m_persons = boldResult(this, QStringLiteral("LiczbaOsob"));
    m_nights = boldResult(this, QStringLiteral("LiczbaNoclegow"));
    grid->addWidget(new QLabel(QStringLiteral("data początkowa"), this), 0, 0);
    grid->addWidget(m_start, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("data końcowa"), this), 1, 0);
    grid->addWidget(m_end, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("liczba osób"), this), 2, 0);
    grid->addWidget(m_persons, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("udzielonych noclegów"), this), 3, 0);
    grid->addWidget(m_nights, 3, 1);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    close->setObjectName(QStringLiteral("Zamknij"));
    grid->addWidget(close, 4, 1, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    for (QDateEdit* picker : {m_start, m_end})
        connect(picker, &QDateEdit::dateChanged, this,
                [this] { guarded([this] { recompute(); }); });
    // Escape closes the window as its close button does.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, close, &QAbstractButton::animateClick,
                  Qt::WidgetWithChildrenShortcut);
    // Wide enough for the whole caption in the child window's title bar.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
    guarded([this] { recompute(); });
}

void TFormOsoboDoba::recompute()
{
    const PersonNights r = personNights(dataModule().database(), m_start->date(), m_end->date());
    m_persons->setText(QString::number(r.persons));
    m_nights->setText(QString::number(r.nights));
}
