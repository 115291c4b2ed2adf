#include "admin/ui/rates_window.h"

#include "admin/ui/cursor_choice.h"
#include "admin/ui/cursor_fields.h"
#include "admin/ui/cursor_grid.h"
#include "core/prompter.h"
#include "db/data_module.h"
#include "db/sql.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>

namespace {
TableCursor& ownCursor(const QString& table)
{
    return *new TableCursor(table, [] { return dataModule().database(); });
}

QLineEdit* box(QWidget* parent, const QString& name, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QComboBox* choice(QWidget* parent, const QString& name, const QStringList& items, bool editable)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(editable);
    c->addItems(items);
    return c;
}

CursorGrid* grid(TableCursor& cursor, QVector<TableCursorModel::Column> columns, QWidget* parent)
{
    auto* g = new CursorGrid(cursor, std::move(columns), parent);
    g->setObjectName(QStringLiteral("Lista"));
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}
} // namespace

TStawkiVat::TStawkiVat(QWidget* parent)
    : SetupWindow(ownCursor(QStringLiteral("Stawki_VAT")), parent)
{
    cursor().setParent(this);
    setObjectName(QStringLiteral("TStawkiVat"));
    setWindowTitle(QStringLiteral("Stawki VAT"));
    resize(520, 380);
    auto* fields = new CursorFields(cursor(), this);
    QLineEdit* kod = box(this, QStringLiteral("Kod"), 2);
    QLineEdit* procent = box(this, QStringLiteral("Procent"), 2);
    QLineEdit* opis = box(this, QStringLiteral("Opis"), 20);
    auto* oferowana = new QCheckBox(QStringLiteral("Oferowana dla nowych pozycji"), this);
    oferowana->setObjectName(QStringLiteral("Oferowana"));
    QComboBox* kodFa = choice(
        this, QStringLiteral("KodFA"),
        {"23", "22", "8", "7", "5", "4", "3", "0 KR", "0 WDT", "0 EX", "zw", "oo", "np I", "np II"},
        false);
    fields->bind(kod, QStringLiteral("Kod"));
    fields->bind(procent, QStringLiteral("Procent"), CursorFields::Kind::Integer);
    fields->bind(opis, QStringLiteral("Opis"));
    bindFlag(oferowana, cursor(), QStringLiteral("Oferowana"));
    bindChoice(kodFa, cursor(), QStringLiteral("Kod_FA"));
    form()->addRow(QStringLiteral("Kod stawki"), kod);
    form()->addRow(QStringLiteral("Stawka %"), procent);
    form()->addRow(QStringLiteral("Tekst na fakturze"), opis);
    form()->addRow(QStringLiteral("Kod w e-fakturze (FA)"), kodFa);
    form()->addRow(oferowana);
    finish(grid(cursor(),
                {{QStringLiteral("Kod"), QStringLiteral("Kod")},
                 {QStringLiteral("Procent"), QStringLiteral("Stawka %")},
                 {QStringLiteral("Opis"), QStringLiteral("Na fakturze")},
                 {QStringLiteral("Oferowana"), QStringLiteral("Oferowana")},
                 {QStringLiteral("Kod_FA"), QStringLiteral("Kod FA")}},
                this),
           kod);
}

bool TStawkiVat::mayRemoveCurrent()
{
    if (cursor().state() == TableCursor::State::Insert || cursor().current() < 0)
        return true;
    const QString code = cursor().value(QStringLiteral("Kod")).toString();
    const int uses =
        scalarSql(dataModule().database(),
                  QStringLiteral("SELECT (SELECT count(*) FROM Kalk_det WHERE VAT = :K) + (SELECT "
                                 "count(*) FROM Kalk_usl WHERE VAT = :K) + (SELECT count(*) FROM "
                                 "Uslugi WHERE VAT = :K) + (SELECT count(*) FROM Config WHERE "
                                 "Stawka_noclegu = :K)"),
                  {{":K", code}})
            .toInt();
    if (uses == 0)
        return true;
    prompter().warn(QStringLiteral("Stawki %1 używają już pozycje kalkulacji, usługi lub dane "
                                   "hotelu, więc nie można jej usunąć. Można wyłączyć jej "
                                   "oferowanie dla nowych pozycji.")
                        .arg(code),
                    QStringLiteral("Usuwanie stawki VAT - błąd!"));
    return false;
}

TUslugi::TUslugi(QWidget* parent)
    : SetupWindow(ownCursor(QStringLiteral("Uslugi")), parent)
{
    cursor().setParent(this);
    setObjectName(QStringLiteral("TUslugi"));
    setWindowTitle(QStringLiteral("Usługi"));
    resize(560, 400);
    auto* fields = new CursorFields(cursor(), this);
    fields->setInsertWhenEmpty(true);
    QLineEdit* nazwa = box(this, QStringLiteral("Nazwa"), 60);
    QComboBox* jm =
        choice(this, QStringLiteral("Jm"),
               {QStringLiteral("szt."), QStringLiteral("doba"), QStringLiteral("osoba")}, true);
    jm->lineEdit()->setMaxLength(10);
    QLineEdit* cena = box(this, QStringLiteral("Cena"), 0);
    QStringList offered;
    QSqlQuery q = runSql(dataModule().database(),
                         QStringLiteral("SELECT Kod FROM Stawki_VAT WHERE Oferowana = 1 "
                                        "ORDER BY rowid"));
    while (q.next())
        offered << q.value(0).toString();
    QComboBox* vat = choice(this, QStringLiteral("VAT"), offered, false);
    QLineEdit* pkwiu = box(this, QStringLiteral("PKWiU"), 20);
    fields->bind(nazwa, QStringLiteral("Nazwa"));
    bindChoice(jm, cursor(), QStringLiteral("Jm"));
    fields->bind(cena, QStringLiteral("Cena"), CursorFields::Kind::Money);
    bindChoice(vat, cursor(), QStringLiteral("VAT"));
    fields->bind(pkwiu, QStringLiteral("PKWiU"));
    form()->addRow(QStringLiteral("Nazwa usługi"), nazwa);
    form()->addRow(QStringLiteral("Jednostka miary"), jm);
    form()->addRow(QStringLiteral("Cena jedn. brutto"), cena);
    form()->addRow(QStringLiteral("Stawka VAT"), vat);
    form()->addRow(QStringLiteral("Symbol PKWiU"), pkwiu);
    finish(grid(cursor(),
                {{QStringLiteral("Nazwa"), QStringLiteral("Nazwa")},
                 {QStringLiteral("Jm"), QStringLiteral("J.m.")},
                 {QStringLiteral("Cena"), QStringLiteral("Cena brutto"), true},
                 {QStringLiteral("VAT"), QStringLiteral("VAT")},
                 {QStringLiteral("PKWiU"), QStringLiteral("PKWiU")}},
                this),
           nazwa);
}

bool TUslugi::mayDelete() const
{
    return !cursor().isEmpty();
}
