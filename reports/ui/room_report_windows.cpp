#include "reports/ui/room_report_windows.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/ui/list_grid.h"
#include "db/data_module.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

namespace {
// A read-only grid model over rows a rule computed.
class RowsModel final : public QAbstractTableModel {
public:
    struct Column {
        QString field, title;
        Qt::Alignment alignment;
    };
    RowsModel(const ReportRows& rows, QList<Column> columns, QObject* parent)
        : QAbstractTableModel(parent)
        , m_rows(rows)
        , m_columns(std::move(columns))
    {
    }
    void refresh()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& = {}) const override { return m_rows.rowCount(); }
    int columnCount(const QModelIndex& = {}) const override
    {
        return static_cast<int>(m_columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const Column& c = m_columns[index.column()];
        if (role == Qt::DisplayRole)
            return m_rows.value(index.row(), c.field).toString();
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(c.alignment | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o == Qt::Horizontal && role == Qt::DisplayRole)
            return m_columns[section].title;
        return {};
    }

private:
    const ReportRows& m_rows;
    QList<Column> m_columns;
};

QLabel* boldLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}
} // namespace

TFormRapPokoje::TFormRapPokoje(QWidget* parent)
    : TFormParametry(QStringLiteral("Wolne pokoje"), parent)
{
    setObjectName(QStringLiteral("TFormRapPokoje"));
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Wolne od"), this));
    m_day = new QDateEdit(today(), this);
    m_day->setObjectName(QStringLiteral("WolneOd"));
    m_day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_day->setCalendarPopup(true);
    m_day->setToolTip(QStringLiteral("Data od której pokój jest zwalniany lub wolny "));
    top->addWidget(m_day);
    top->addStretch(1);
    content()->addLayout(top);

    const Qt::Alignment c = Qt::AlignHCenter;
    auto* grids = new QGridLayout;
    grids->addWidget(new QLabel(QStringLiteral("Wolne pokoje"), this), 0, 0);
    grids->addWidget(new QLabel(QStringLiteral("Wolne miejsca"), this), 0, 1);
    m_roomGrid = makeListGrid(this, QStringLiteral("WolnePokoje"));
    m_roomGrid->setModel(new RowsModel(m_rooms.pytPokoje(),
                                       {{"Nr_Pokoju", "Nr pokoju", Qt::AlignLeft},
                                        {"Miejsc", "Miejsc", Qt::AlignLeft},
                                        {"Do", "Wolny do", c},
                                        {"Dni", "Dni", c}},
                                       this));
    m_bedGrid = makeListGrid(this, QStringLiteral("WolneMiejsca"));
    m_bedGrid->setModel(new RowsModel(m_rooms.pytMiejsca(),
                                      {{"Nr_pokoju", "Nr pokoju", Qt::AlignLeft},
                                       {"Miejsc", "Rozmiar", Qt::AlignLeft},
                                       {"Typ", "Typ", c},
                                       {"Wolnych", "Wolnych", c},
                                       {"DoKiedy", "Wolne do", c},
                                       {"Dni", "Dni", c},
                                       {"Plec", "Płeć", c}},
                                      this));
    fitColumns(m_roomGrid, -1);
    fitColumns(m_bedGrid, -1);
    grids->addWidget(m_roomGrid, 1, 0);
    grids->addWidget(m_bedGrid, 1, 1);
    // The grids share the width in the measure of what their columns need,
    // so that both show every column whole.
    const QString day = QStringLiteral("0000-00-00");
    grids->setColumnStretch(0, columnsWidth(m_roomGrid, {{2, day}}));
    grids->setColumnStretch(1, columnsWidth(m_bedGrid, {{4, day}}));
    auto* left = new QHBoxLayout;
    m_roomCount = boldLabel(this, QStringLiteral("Pokoi"));
    m_roomBeds = boldLabel(this, QStringLiteral("MiejscPokoi"));
    left->addWidget(m_roomCount);
    left->addWidget(m_roomBeds);
    grids->addLayout(left, 2, 0);
    m_freeBeds = boldLabel(this, QStringLiteral("MiejscWolnych"));
    grids->addWidget(m_freeBeds, 2, 1);
    content()->addLayout(grids, 1);
    m_blocked = new QLabel(this);
    m_blocked->setObjectName(QStringLiteral("Zablokowane"));
    m_blocked->setWordWrap(true);
    m_blocked->setStyleSheet(QStringLiteral("color: #a00000"));
    m_blocked->hide();
    content()->addWidget(m_blocked);
    // Within a screen of the program's own size.
    resize(780, 460);

    connect(m_day, &QDateEdit::dateChanged, this, [this] {
        if (!guarded([this] { load(); })) {
            // The lists still hold the last day read: the field goes back to
            // that day, so nothing is shown or printed under another day.
            const QSignalBlocker block(m_day);
            m_day->setDate(m_rooms.day());
        }
    });
}

void TFormRapPokoje::load()
{
    m_rooms.load(dataModule().database(), m_day->date());
    for (QTableView* grid : {m_roomGrid, m_bedGrid})
        static_cast<RowsModel*>(grid->model())->refresh();
    m_roomCount->setText(QStringLiteral("Pokoi : %1").arg(m_rooms.freeRoomCount()));
    m_roomBeds->setText(QStringLiteral("Miejsc : %1").arg(m_rooms.freeRoomBeds()));
    m_freeBeds->setText(QStringLiteral("Miejsc : %1").arg(m_rooms.freeBeds()));
    const QString blocked = m_rooms.blockedText();
    m_blocked->setText(QStringLiteral("Pokoje zablokowane: ") + blocked);
    m_blocked->setVisible(!blocked.isEmpty());
}

TFormRapWykorzystanie::TFormRapWykorzystanie(QList<TMiesiac> months, QStringList rooms,
                                             QWidget* parent)
    : TFormParametry(QStringLiteral("Wykorzystanie pokoi w wybranym miesiącu"), parent)
    , m_months(std::move(months))
    , m_rooms(std::move(rooms))
{
    setObjectName(QStringLiteral("TFormRapWykorzystanie"));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Miesiąc"), this));
    m_month = new QComboBox(this);
    m_month->setObjectName(QStringLiteral("Miesiac"));
    for (const TMiesiac& m : m_months)
        m_month->addItem(m.text());
    row->addWidget(m_month, 1);
    content()->addLayout(row);
    // Wide enough for the whole caption in the title bar.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 80);
    previewButton()->setText(QStringLiteral("Podgląd"));
    printButton()->setText(QStringLiteral("Drukuj"));
}

bool TFormRapWykorzystanie::prepare()
{
    // The entries of the chosen month are made before the window closes with
    // a mode; when they cannot be made, the error is shown and the command
    // ends without a chart.
    m_entries.clear();
    if (guarded([this] { m_entries = roomEntries(dataModule().database(), m_rooms, month()); }))
        return true;
    reject();
    return false;
}

const TMiesiac& TFormRapWykorzystanie::month() const
{
    return m_months[std::max(0, m_month->currentIndex())];
}
