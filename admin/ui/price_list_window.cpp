#include "admin/ui/price_list_window.h"

#include "admin/ui/cursor_fields.h"
#include "admin/ui/cursor_grid.h"
#include "db/data_module.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>

TCennik::TCennik(QWidget* parent)
    : SetupWindow(dataModule().prices(), parent)
    , m_editing(dataModule().prices())
{
    setObjectName(QStringLiteral("TCennik"));
    setWindowTitle(QStringLiteral("Cennik"));
    resize(480, 360);

    // Texts typed for a row are forgotten once it is saved, dropped or left;
    // connected before the boxes, so they reload after.
    connect(&cursor(), &TableCursor::stateChanged, this, [this](TableCursor::State s) {
        if (s != TableCursor::State::Edit && s != TableCursor::State::Insert)
            m_editing.reset();
    });
    connect(&cursor(), &TableCursor::currentChanged, this, [this] { m_editing.reset(); });
    m_fields = new CursorFields(cursor(), this);
    m_fields->setInsertWhenEmpty(true);

    QLineEdit* typ = box(QStringLiteral("Typ"));
    m_fields->bind(typ, QStringLiteral("Typ"));
    form()->addRow(QStringLiteral("Typ"), typ);
    addPriceBoxes();

    auto* grid = new CursorGrid(cursor(),
                                {{QStringLiteral("Typ"), QStringLiteral("Typ")},
                                 {QStringLiteral("Cena1"), QStringLiteral("Cena za miejsce"), true},
                                 {QStringLiteral("Cena3"), QStringLiteral("Cena za pokój"), true}},
                                this);
    grid->setObjectName(QStringLiteral("Lista"));
    // The titles are longer than the prices; each column fits both.
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Leaving a row saves it, so a price that is not an amount keeps it.
    grid->setBeforeMove([this] { m_editing.check(); });
    finish(grid, typ);
}

QLineEdit* TCennik::box(const QString& name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    return e;
}

// The two shown prices and, hidden, the further-night prices they are copied to.
void TCennik::addPriceBoxes()
{
    const struct {
        const char* name;
        const char* column;
        const char* label;
        bool shown;
    } prices[] = {
        {"CenaZaMiejsce", "Cena1", "Cena za miejsce", true},
        {"CenaZaMiejsceNastepny", "Cena2", "Cena za miejsce (następny)", false},
        {"CenaZaPokoj", "Cena3", "Cena za pokój", true},
        {"CenaZaPokojNastepny", "Cena4", "Cena za pokój (następny)", false},
    };
    for (const auto& p : prices) {
        QLineEdit* e = box(QLatin1String(p.name));
        const QString column = QLatin1String(p.column);
        CursorFields::Typed typed;
        if (p.shown)
            typed = [this, column](const QString& text) { m_editing.typed(column, text); };
        m_fields->bind(e, column, CursorFields::Kind::Money, typed,
                       [this, column] { return m_editing.isBad(column); });
        if (p.shown)
            form()->addRow(QString::fromUtf8(p.label), e);
        else
            e->hide();
    }
}
