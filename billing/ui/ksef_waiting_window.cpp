#include "billing/ui/ksef_waiting_window.h"

#include "billing/ksef/ksef_commands.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/ui/child_window.h"
#include "core/ui/list_grid.h"
#include "db/data_module.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QStandardItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}
} // namespace

TKsefOczekujace::TKsefOczekujace(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TKsefOczekujace"));
    setWindowTitle(QStringLiteral("Faktury do wysłania do KSeF"));
    m_grid = makeListGrid(this, QStringLiteral("Lista"));
    m_model = new QStandardItemModel(0, 6, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Numer"), QStringLiteral("Nabywca"),
                                        QStringLiteral("Wystawiona"), QStringLiteral("Brutto"),
                                        QStringLiteral("Stan"), QStringLiteral("Termin wysłania")});
    m_grid->setModel(m_model);
    auto* note = new QLabel(QStringLiteral("Termin: następny dzień roboczy po dniu wystawienia "
                                           "(tryb offline24). Pogrubione: termin mija dziś lub "
                                           "już minął."),
                            this);
    note->setWordWrap(true);
    m_export = makeButton(this, "Eksportuj", QStringLiteral("&Eksportuj"));
    m_exportAll = makeButton(this, "EksportujWszystkie", QStringLiteral("Eksportuj &wszystkie"));
    m_sent = makeButton(this, "Wyslana", QStringLiteral("Wy&słana"));
    m_number = makeButton(this, "NumerKSeF", QStringLiteral("Numer &KSeF"));
    m_rejected = makeButton(this, "Odrzucona", QStringLiteral("&Odrzucona"));
    QPushButton* close = makeButton(this, "Zamknij", QStringLiteral("&Zamknij"));
    m_export->setToolTip(QStringLiteral("Zapisanie pliku FA(3) wybranej faktury"));
    m_exportAll->setToolTip(QStringLiteral("Zapisanie plików wszystkich faktur z listy, które "
                                           "nie zostały jeszcze przekazane"));
    m_sent->setToolTip(QStringLiteral("Plik faktury przekazano do wysłania do KSeF"));
    m_rejected->setToolTip(QStringLiteral("KSeF odrzucił fakturę: wpisanie powodu"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_export, m_exportAll, m_sent, m_number, m_rejected})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(note);
    layout->addLayout(buttons);

    QSqlDatabase db = dataModule().database();
    connect(m_export, &QPushButton::clicked, this, [this, db] {
        act([db](const KsefWaiting& w) { return exportToKsef(db, w.groupId, w.correctionId); });
    });
    connect(m_exportAll, &QPushButton::clicked, this, [this, db] {
        guarded([this, db] {
            if (exportWaitingToKsef(db, QDate(), QDate()))
                reload();
        });
    });
    connect(m_sent, &QPushButton::clicked, this, [this, db] {
        act([db](const KsefWaiting& w) { return markSent(db, w.groupId, w.correctionId); });
    });
    connect(m_number, &QPushButton::clicked, this, [this, db] {
        act([db](const KsefWaiting& w) { return askKsefNumber(db, w.groupId, w.correctionId); });
    });
    connect(m_rejected, &QPushButton::clicked, this, [this, db] {
        act([db](const KsefWaiting& w) { return askRejection(db, w.groupId, w.correctionId); });
    });
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    guarded([this] { reload(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateButtons(); });
    resize(760, 420);
}

void TKsefOczekujace::reload()
{
    const std::optional<KsefWaiting> before = current();
    m_waiting = ksefWaiting(dataModule().database());
    m_model->removeRows(0, m_model->rowCount());
    const QDate day = today();
    int keep = 0;
    for (const KsefWaiting& w : m_waiting) {
        QString deadline = dayText(w.deadline);
        if (w.due(day))
            deadline += w.deadline == day ? QStringLiteral(" (dziś)") : QStringLiteral(" (minął)");
        QList<QStandardItem*> row{cell(w.number),
                                  cell(w.buyer),
                                  cell(dayText(w.issued), Qt::AlignHCenter),
                                  cell(w.gross.toPlainString(true), Qt::AlignRight),
                                  cell(w.stateText),
                                  cell(deadline, Qt::AlignHCenter)};
        if (w.due(day))
            for (QStandardItem* item : row) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setForeground(QColor(Qt::darkRed));
            }
        if (before && before->groupId == w.groupId && before->correctionId == w.correctionId)
            keep = m_model->rowCount();
        m_model->appendRow(row);
    }
    fitColumns(m_grid, 1);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(keep, 0));
    updateButtons();
}

std::optional<KsefWaiting> TKsefOczekujace::current() const
{
    const int row = m_grid->currentIndex().row();
    if (row < 0 || row >= m_waiting.size())
        return std::nullopt;
    return m_waiting.at(row);
}

void TKsefOczekujace::act(const std::function<bool(const KsefWaiting&)>& action)
{
    guarded([this, &action] {
        const std::optional<KsefWaiting> w = current();
        if (w && action(*w))
            reload();
    });
}

void TKsefOczekujace::updateButtons()
{
    const std::optional<KsefWaiting> w = current();
    const bool exported = w && w->recordId.has_value();
    m_export->setEnabled(w && !w->sent);
    m_exportAll->setEnabled(!m_waiting.isEmpty());
    m_sent->setEnabled(exported && !w->sent);
    m_number->setEnabled(exported);
    m_rejected->setEnabled(exported);
}
