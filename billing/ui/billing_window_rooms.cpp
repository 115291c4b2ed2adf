#include "billing/ui/billing_window.h"
#include "billing/ui/window_parts.h"
#include "core/error.h"
#include "core/prompter.h"
#include "db/data_module.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>

using namespace window_parts;

QWidget* TOplaty::buildRoomsPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("StronaPokoje"));
    m_lineModel = new QStandardItemModel(0, 6, this);
    m_lineModel->setHorizontalHeaderLabels({QStringLiteral("Nr pokoju"), QStringLiteral("Miejsc"),
                                            QStringLiteral("Znizka"), QStringLiteral("Dni"),
                                            QStringLiteral("Brutto"), QStringLiteral("VAT")});
    m_lineList = new QTableView(page);
    m_lineList->setObjectName(QStringLiteral("Pozycje"));
    m_lineList->setModel(m_lineModel);
    m_lineList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lineList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lineList->horizontalHeader()->setStretchLastSection(true);

    m_lineSize = wholeNumberField(page, "Rozmiar");
    m_lineRoom = field(page, "Nr_pokoju");
    m_lineRoom->setMaxLength(9);
    m_lineTaken = wholeNumberField(page, "Miejsc");
    m_lineNights = wholeNumberField(page, "Dni");
    m_linePrice = field(page, "Oplata1");
    m_lineDiscount = wholeNumberField(page, "Znizka");
    m_lineVat = vatCombo(page, "VAT", m_vatCodes);
    m_lineBasis = field(page, "Podstawa");
    m_lineGross = field(page, "Brutto");
    m_total = field(page, "Razem", true);
    m_lineOk = button(page, "Ok", QStringLiteral("&Ok"));
    m_lineCancel = button(page, "Anuluj", QStringLiteral("&Anuluj"));

    auto* left = new QFormLayout;
    left->addRow(QStringLiteral("Rozmiar"), m_lineSize);
    left->addRow(QStringLiteral("Numer"), m_lineRoom);
    left->addRow(QStringLiteral("Miejsc"), m_lineTaken);
    left->addRow(QStringLiteral("Dni"), m_lineNights);
    left->addRow(QStringLiteral("Za dobę"), m_linePrice);
    auto* right = new QFormLayout;
    right->addRow(QStringLiteral("Zniżka %"), m_lineDiscount);
    right->addRow(QStringLiteral("VAT %"), m_lineVat);
    right->addRow(QStringLiteral("Podstawa zniżki"), m_lineBasis);
    right->addRow(QStringLiteral("Brutto"), m_lineGross);
    right->addRow(QStringLiteral("Razem"), m_total);
    auto* fields = new QHBoxLayout;
    fields->addLayout(left);
    fields->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_lineOk);
    buttons->addWidget(m_lineCancel);
    buttons->addStretch();
    buttons->addWidget(closeButton("ZamknijPokoje"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_lineList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connectRoomsPage();
    setLineChanging(false);
    return page;
}

void TOplaty::connectRoomsPage()
{
    for (QLineEdit* edit :
         {m_lineSize, m_lineRoom, m_lineTaken, m_lineNights, m_lineDiscount, m_lineBasis})
        connect(edit, &QLineEdit::textEdited, this, [this] { lineEdited(); });
    connect(m_linePrice, &QLineEdit::textEdited, this, [this] {
        m_priceEdited = true;
        lineEdited();
    });
    connect(m_lineGross, &QLineEdit::textEdited, this, [this] {
        m_grossEdited = true;
        lineEdited();
    });
    connect(m_lineVat, &QComboBox::activated, this, [this] { lineEdited(); });
    connect(m_lineList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_lineChanging)
                    showLine(current.row());
            });
    connect(m_lineOk, &QPushButton::clicked, this,
            [this] { guarded([this] { saveCurrentLine(); }); });
    connect(m_lineCancel, &QPushButton::clicked, this, [this] { cancelLine(); });
}

void TOplaty::loadLines(int row)
{
    m_lines = ::loadLines(dataModule().database(), m_groupId);
    m_lineModel->removeRows(0, m_lineModel->rowCount());
    for (const CalcLine& l : m_lines)
        m_lineModel->appendRow({cell(l.room), cell(intText(l.taken)), cell(intText(l.discount)),
                                cell(QString::number(l.nights)), cell(l.gross.toString()),
                                cell(l.vat)});
    m_total->setText(linesGross(m_lines).toString());
    const int count = static_cast<int>(m_lines.size());
    const int target = count == 0 ? -1 : std::clamp(row, 0, count - 1);
    setLineChanging(false);
    if (target >= 0)
        m_lineList->selectRow(target);
    showLine(target);
}

void TOplaty::showLine(int row)
{
    m_lineRow = row >= 0 && row < m_lines.size() ? row : -1;
    const CalcLine line = m_lineRow >= 0 ? m_lines.at(m_lineRow) : CalcLine{};
    m_lineSize->setText(intText(line.size));
    m_lineRoom->setText(line.room);
    m_lineTaken->setText(intText(line.taken));
    m_lineNights->setText(m_lineRow >= 0 ? QString::number(line.nights) : QString());
    m_linePrice->setText(m_lineRow >= 0 ? line.price1.toPlainString() : QString());
    m_lineDiscount->setText(intText(line.discount));
    setVat(m_lineVat, line.vat, m_vatCodes);
    m_lineBasis->setText(line.discountBasis);
    m_lineGross->setText(m_lineRow >= 0 ? line.gross.toPlainString() : QString());
    m_priceEdited = false;
    m_grossEdited = false;
}

void TOplaty::lineEdited()
{
    if (m_lineRow >= 0)
        setLineChanging(true);
}

void TOplaty::setLineChanging(bool changing)
{
    m_lineChanging = changing;
    m_lineOk->setEnabled(changing);
    m_lineCancel->setEnabled(changing);
    // The list stays where the change began until it is saved or discarded.
    m_lineList->setEnabled(!changing);
}

namespace {
Money typedMoney(const QLineEdit* edit)
{
    const std::optional<Money> m = Money::parse(edit->text());
    if (!m)
        throw RezydoError(QStringLiteral("'%1' nie jest poprawną kwotą.").arg(edit->text()));
    return *m;
}
} // namespace

// The line as typed. Amounts keep their stored four places unless retyped,
// since the fields show only two.
CalcLine TOplaty::editedLine() const
{
    CalcLine line = m_lines.at(m_lineRow);
    line.size = intFrom(m_lineSize);
    line.room = m_lineRoom->text();
    line.taken = intFrom(m_lineTaken);
    line.nights = intFrom(m_lineNights).value_or(0);
    if (m_priceEdited)
        line.price1 = typedMoney(m_linePrice);
    line.price2 = line.price1;
    line.discount = intFrom(m_lineDiscount);
    line.vat = m_lineVat->currentText();
    line.discountBasis = m_lineBasis->text();
    if (m_grossEdited)
        line.gross = typedMoney(m_lineGross);
    return line;
}

void TOplaty::saveCurrentLine()
{
    if (!m_lineChanging || m_lineRow < 0)
        return;
    const CalcLine line = editedLine();
    QSqlDatabase db = dataModule().database();
    try {
        saveLine(db, line, m_lines.at(m_lineRow).gross);
    } catch (const CalculationError& e) {
        prompter().error(e.text(), CalculationError::caption()); // the line stays in change
        return;
    }
    loadLines(m_lineRow);
    const CalcHeader stored = loadHeader(db, m_groupId);
    m_header.gross = stored.gross;
    m_header.tax = stored.tax;
    m_header.settled = stored.settled;
    m_gross->setText(stored.gross.toString());
    m_tax->setText(stored.tax.toString());
    showSettlement(currentSettlement(db, m_groupId));
}

void TOplaty::cancelLine()
{
    setLineChanging(false);
    showLine(m_lineRow);
}
