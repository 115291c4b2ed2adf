#include "reports/ui/kt1_window.h"

#include "core/error.h"
#include "core/prompter.h"
#include "db/data_module.h"
#include "reports/engine/report_output.h"
#include "reports/kt1_report.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>

namespace {
const QString kCaption = QStringLiteral("Sprawozdanie KT-1 (miesięczne)");
} // namespace

TFormRapKt1::TFormRapKt1(QList<QDate> months, const QDate& today, QWidget* parent)
    : TFormParametry(kCaption, parent)
    , m_months(std::move(months))
{
    setObjectName(QStringLiteral("TFormRapKt1"));
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Miesiąc"), this);
    row->addWidget(label);
    m_month = new QComboBox(this);
    m_month->setObjectName(QStringLiteral("Miesiac"));
    label->setBuddy(m_month);
    for (const QDate& m : m_months)
        m_month->addItem(kt1MonthText(m));
    const QDate previous = QDate(today.year(), today.month(), 1).addMonths(-1);
    m_month->setCurrentIndex(std::max<qsizetype>(0, m_months.indexOf(previous)));
    row->addWidget(m_month, 1);
    content()->addLayout(row);

    auto* hint = new QLabel(QStringLiteral("Sprawozdanie o wykorzystaniu turystycznego obiektu "
                                           "noclegowego dla urzędu statystycznego."),
                            this);
    hint->setWordWrap(true);
    content()->addWidget(hint);

    auto* csv = new QPushButton(QStringLiteral("Zapisz &CSV"), this);
    csv->setObjectName(QStringLiteral("ZapiszCsv"));
    csv->setToolTip(QStringLiteral("Zapisuje liczby miesiąca do pliku CSV do wypełnienia "
                                   "formularza na portalu sprawozdawczym GUS"));
    auto* csvRow = new QHBoxLayout;
    csvRow->addStretch(1);
    csvRow->addWidget(csv);
    content()->addLayout(csvRow);
    connect(csv, &QPushButton::clicked, this, [this] { saveCsv(); });
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
}

QDate TFormRapKt1::month() const
{
    if (m_months.isEmpty())
        return {};
    return m_months[std::max(0, m_month->currentIndex())];
}

bool TFormRapKt1::compute()
{
    const QDate first = month();
    return guarded([&] {
        m_figures = kt1Figures(dataModule().database(), first.year(), first.month());
        m_establishment = readEstablishment(dataModule().database());
    });
}

bool TFormRapKt1::prepare()
{
    // A month whose figures cannot be computed prints nothing: the error is
    // shown and the window stays.
    return compute();
}

void TFormRapKt1::saveCsv()
{
    if (!compute())
        return;
    const QString path = prompter().saveFile(
        QStringLiteral("Zapisz sprawozdanie KT-1"), documentsFolder(), kt1CsvName(month()),
        QStringLiteral("Pliki CSV (*.csv)"), QStringLiteral("csv"), Prompter::Existing::Ask);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kt1Csv(m_figures, m_establishment)) < 0 ||
        !file.commit()) {
        prompter().error(QStringLiteral("Nie udało się zapisać pliku %1: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString()),
                         kCaption + QStringLiteral(" - błąd!"));
        return;
    }
    prompter().inform(QStringLiteral("Liczby za %1 zapisano w pliku %2.")
                          .arg(kt1MonthText(month()), QDir::toNativeSeparators(path)),
                      kCaption);
}
