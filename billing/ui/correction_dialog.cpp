#include "billing/ui/correction_dialog.h"

#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/ui/window_parts.h"
#include "billing/vat.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/prompter.h"
#include "db/data_module.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>

using namespace window_parts;

namespace {
TKorekta::Printer& printerSlot()
{
    static TKorekta::Printer printer;
    return printer;
}

enum Column { Description, VatBefore, GrossBefore, VatAfter, GrossAfter, Difference };

QTableView* grid(QWidget* parent, const char* name, QStandardItemModel* model)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->hide();
    return view;
}

QStandardItem* editableCell(const QString& text)
{
    auto* item = new QStandardItem(text);
    item->setEditable(true);
    return item;
}
} // namespace

void TKorekta::setPrinter(Printer printer)
{
    printerSlot() = std::move(printer);
}

TKorekta::TKorekta(int groupId, QWidget* parent)
    : QDialog(parent)
    , m_groupId(groupId)
{
    setObjectName(QStringLiteral("Korekta"));
    setWindowTitle(QStringLiteral("Faktura korygująca"));
    setModal(true);
    m_vatCodes = offeredVatCodes(loadVatRates(dataModule().database()));

    m_invoice = new QLabel(this);
    m_invoice->setObjectName(QStringLiteral("Faktura"));
    m_lineModel = new QStandardItemModel(0, 6, this);
    m_lineModel->setHorizontalHeaderLabels(
        {QStringLiteral("Pozycja"), QStringLiteral("VAT przed"), QStringLiteral("Brutto przed"),
         QStringLiteral("VAT po"), QStringLiteral("Brutto po"), QStringLiteral("Różnica")});
    m_lineList = grid(this, "Pozycje", m_lineModel);
    m_lineList->setEditTriggers(QAbstractItemView::AllEditTriggers);
    // The line's description takes the room the amounts leave.
    m_lineList->horizontalHeader()->setStretchLastSection(false);
    m_lineList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lineList->horizontalHeader()->setSectionResizeMode(Description, QHeaderView::Stretch);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Razem"));
    m_reason = field(this, "Przyczyna");
    m_reason->setMaxLength(200);
    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("DataWystawienia"));
    m_date->setDisplayFormat(QLatin1String(kDayFormat));
    m_date->setCalendarPopup(true);
    m_date->setDate(today());
    m_number = field(this, "NumerKorekty");
    m_number->setValidator(new QIntValidator(1, 2147483647, m_number));
    QPushButton* issueButton = button(this, "WystawKorekte", QStringLiteral("&Wystaw korektę"));

    m_correctionModel = new QStandardItemModel(0, 4, this);
    m_correctionModel->setHorizontalHeaderLabels({QStringLiteral("Numer"), QStringLiteral("Data"),
                                                  QStringLiteral("Różnica brutto"),
                                                  QStringLiteral("Przyczyna")});
    m_correctionList = grid(this, "ListaKorekt", m_correctionModel);
    m_preview = button(this, "PodgladKorekty", QStringLiteral("&Podgląd"));
    m_print = button(this, "DrukujKorekte", QStringLiteral("&Drukuj"));
    QPushButton* close = button(this, "Zamknij", QStringLiteral("&Zamknij"));
    for (QPushButton* b : {issueButton, m_preview, m_print, close})
        b->setAutoDefault(false);

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& caption, QWidget* w) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(w);
        form->addRow(label, w);
    };
    addRow(QStringLiteral("Prz&yczyna korekty"), m_reason);
    addRow(QStringLiteral("Da&ta wystawienia"), m_date);
    addRow(QStringLiteral("N&umer korekty"), m_number);
    auto* issueRow = new QHBoxLayout;
    issueRow->addWidget(m_totals, 1);
    issueRow->addWidget(issueButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_preview);
    buttons->addWidget(m_print);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_invoice);
    layout->addWidget(m_lineList, 2);
    layout->addLayout(form);
    layout->addLayout(issueRow);
    layout->addWidget(new QLabel(QStringLiteral("Wystawione korekty tej faktury:"), this));
    layout->addWidget(m_correctionList, 1);
    layout->addLayout(buttons);
    resize(760, 520);

    connect(m_lineModel, &QStandardItemModel::itemChanged, this, [this] {
        if (!m_filling)
            guarded([this] { showTotals(); });
    });
    connect(issueButton, &QPushButton::clicked, this, [this] { guarded([this] { issue(); }); });
    connect(m_preview, &QPushButton::clicked, this, [this] { guarded([this] { print(true); }); });
    connect(m_print, &QPushButton::clicked, this, [this] { guarded([this] { print(false); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    const CalcHeader header = loadHeader(dataModule().database(), groupId);
    m_invoice->setText(QStringLiteral("Korekta faktury VAT nr %1 z dnia %2, nabywca: %3")
                           .arg(invoiceNumberText(header), dayText(header.issueDate), header.name));
    loadLines();
    loadCorrections();
}

void TKorekta::loadLines()
{
    QSqlDatabase db = dataModule().database();
    m_lines = correctableLines(db, m_groupId);
    m_filling = true;
    m_lineModel->removeRows(0, m_lineModel->rowCount());
    for (const CorrectionLine& l : m_lines)
        m_lineModel->appendRow({cell(l.description), cell(l.vatBefore),
                                cell(l.grossBefore.toPlainString()), editableCell(l.vatAfter),
                                editableCell(l.grossAfter.toPlainString()), cell(QString())});
    m_filling = false;
    m_proposed = proposedCorrectionNumber(db, correctionSeries(), m_date->date().year());
    m_number->setText(QString::number(m_proposed));
    showTotals();
}

void TKorekta::loadCorrections()
{
    m_correctionIds.clear();
    m_correctionModel->removeRows(0, m_correctionModel->rowCount());
    for (const Correction& c : groupCorrections(dataModule().database(), m_groupId)) {
        m_correctionIds << c.id;
        m_correctionModel->appendRow({cell(c.numberText()), cell(dayText(c.issued)),
                                      cell(c.grossDifference().toString()), cell(c.reason)});
    }
    const bool any = !m_correctionIds.isEmpty();
    m_preview->setEnabled(any);
    m_print->setEnabled(any);
    if (any)
        m_correctionList->selectRow(static_cast<int>(m_correctionIds.size()) - 1);
}

// The lines with the rate and gross typed after; a text that is no rate or no
// amount is refused with the line it stands in.
QList<CorrectionLine> TKorekta::editedLines() const
{
    QList<CorrectionLine> out = m_lines;
    for (int row = 0; row < out.size(); ++row) {
        CorrectionLine& l = out[row];
        const QString vat = m_lineModel->item(row, VatAfter)->text().trimmed();
        // A line may keep a rate no longer offered; a new one must be offered.
        if (vat != l.vatBefore && !m_vatCodes.contains(vat))
            throw RezydoError(
                QStringLiteral("Pozycja %1: '%2' nie jest stawką VAT (dozwolone: %3).")
                    .arg(row + 1)
                    .arg(vat, m_vatCodes.join(QStringLiteral(", "))));
        const QString typed = m_lineModel->item(row, GrossAfter)->text();
        const std::optional<Money> gross = Money::parse(typed);
        if (!gross)
            throw RezydoError(QStringLiteral("Pozycja %1: '%2' nie jest poprawną kwotą.")
                                  .arg(row + 1)
                                  .arg(typed));
        l.vatAfter = vat;
        l.grossAfter = *gross;
    }
    return out;
}

void TKorekta::showTotals()
{
    Money before, after;
    m_filling = true;
    try {
        const QList<CorrectionLine> lines = editedLines();
        for (int row = 0; row < lines.size(); ++row) {
            before += lines[row].grossBefore;
            after += lines[row].grossAfter;
            m_lineModel->item(row, Difference)
                ->setText((lines[row].grossAfter - lines[row].grossBefore).toString());
        }
        m_totals->setText(
            QStringLiteral("Brutto przed: %1   po: %2   różnica: %3")
                .arg(before.toString(), after.toString(), (after - before).toString()));
    } catch (const RezydoError& e) {
        m_totals->setText(e.text());
    }
    m_filling = false;
}

void TKorekta::issue()
{
    const QList<CorrectionLine> lines = editedLines();
    const std::optional<int> typed = intFrom(m_number);
    if (!typed || *typed < 1)
        throw RezydoError(
            QStringLiteral("Podaj numer faktury korygującej (liczba większa od zera)."));
    // An untouched proposal means "the next number", taken when the correction is written.
    const std::optional<int> number = *typed == m_proposed ? std::nullopt : typed;
    m_issued = issueCorrection(dataModule().database(), m_groupId, lines, m_reason->text(),
                               m_date->date(), number, correctionSeries());
    m_reason->clear();
    loadLines();
    loadCorrections();
    const Correction c = loadCorrection(dataModule().database(), m_issued);
    prompter().inform(QStringLiteral("Wystawiono fakturę korygującą nr %1.").arg(c.numberText()),
                      QStringLiteral("Faktura korygująca"));
}

void TKorekta::print(bool preview)
{
    const QModelIndex current = m_correctionList->currentIndex();
    const int row =
        current.isValid() ? current.row() : static_cast<int>(m_correctionIds.size()) - 1;
    if (row < 0 || row >= m_correctionIds.size() || !printerSlot())
        return;
    printerSlot()(m_correctionIds.at(row), preview);
}
