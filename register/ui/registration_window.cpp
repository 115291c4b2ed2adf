#include "register/ui/registration_window.h"

#include "admin/anonymisation.h"
#include "core/days.h"
#include "core/error.h"
#include "core/frame.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "core/ui/modal.h"
#include "db/data_module.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>

namespace {
// Column widths of the person record, so that what is typed always fits.
constexpr int kNazwiskoWidth = 30;
constexpr int kImieWidth = 20;
constexpr int kAdresWidth = 70;
constexpr int kMiejsceUrWidth = 25;
constexpr int kDokumentNrWidth = 15;
constexpr int kUwagiWidth = 255;

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QComboBox* comboBox(QWidget* parent, const char* name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    return combo;
}

void addRow(QFormLayout* form, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    form->addRow(label, field);
}

// A multi-line text has no length limit of its own: what goes beyond it is
// taken back from just before the cursor, i.e. what was typed or pasted last.
void limitLength(QPlainTextEdit* edit, int maxLength)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxLength] {
        const int excess = static_cast<int>(edit->toPlainText().size()) - maxLength;
        if (excess <= 0)
            return;
        QTextCursor cursor = edit->textCursor();
        const int end = cursor.position() >= excess ? cursor.position()
                                                    : static_cast<int>(edit->toPlainText().size());
        cursor.setPosition(end - excess);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        edit->setTextCursor(cursor);
    });
}
} // namespace

TFormKsiazka::TFormKsiazka(RegistrationWalk walk, QWidget* parent)
    : QDialog(parent)
    , m_walk(std::move(walk))
{
    setObjectName(QStringLiteral("TFormKsiazka"));
    setWindowTitle(QStringLiteral("Ksiażka meldunkowa"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    buildControls();
}

TFormKsiazka::~TFormKsiazka() = default;

void TFormKsiazka::buildControls()
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(buildPersonalBox(), 0, 0, 3, 1);
    grid->addWidget(buildDocumentBox(), 0, 1);
    grid->addWidget(buildRemarksBox(), 1, 1);
    grid->addWidget(buildStayBox(), 2, 1);

    auto* takeOver = new QPushButton(QStringLiteral("&Stały klient"), this);
    takeOver->setObjectName(QStringLiteral("StalyKlient"));
    takeOver->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    close->setObjectName(QStringLiteral("Zamknij"));
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(takeOver);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(takeOver, &QPushButton::clicked, this, [this] {
        m_walk.requestTakeOver();
        QDialog::reject();
    });
    connect(ok, &QPushButton::clicked, this, &TFormKsiazka::save);
    connect(close, &QPushButton::clicked, this, [this] {
        m_walk.finish(RegistrationWalk::Closed::Zamknij);
        QDialog::reject();
    });
}

QGroupBox* TFormKsiazka::buildPersonalBox()
{
    auto* box = new QGroupBox(QStringLiteral("Dane osobowe"), this);
    box->setObjectName(QStringLiteral("DaneOsobowe"));
    auto* form = new QFormLayout(box);
    m_personalForm = form;
    m_nazwisko = lineEdit(box, "Nazwisko", kNazwiskoWidth);
    m_imie = lineEdit(box, "Imie", kImieWidth);
    // No date is a date: an untouched field stays empty and stores none.
    m_dataUr = lineEdit(box, "DataUrodzenia", 0);
    m_dataUr->setInputMask(QStringLiteral("0000-00-00;_"));
    m_dataUr->setText(QString());
    m_miejsceUr = lineEdit(box, "MiejsceUrodzenia", kMiejsceUrWidth);
    m_adres = lineEdit(box, "Adres", kAdresWidth);
    m_panstwo = comboBox(box, "Panstwo");
    addRow(form, QStringLiteral("Nazwisko"), m_nazwisko);
    addRow(form, QStringLiteral("Imię"), m_imie);
    addRow(form, QStringLiteral("Data urodzenia"), m_dataUr);
    addRow(form, QStringLiteral("Miejsce urodzenia"), m_miejsceUr);
    addRow(form, QStringLiteral("Adres"), m_adres);
    // The country is where the guest lives, not the citizenship: the
    // statistics office counts foreign tourists by country of residence.
    const QString residence = QStringLiteral("Kraj stałego zamieszkania gościa (nie "
                                             "obywatelstwo); według niego liczy się turystów "
                                             "zagranicznych w sprawozdaniach dla GUS");
    m_panstwo->setToolTip(residence);
    addRow(form, QStringLiteral("Państwo"), m_panstwo);
    form->labelForField(m_panstwo)->setToolTip(residence);
    return box;
}

QGroupBox* TFormKsiazka::buildDocumentBox()
{
    auto* box = new QGroupBox(QStringLiteral("Dokument  tożsamości"), this);
    box->setObjectName(QStringLiteral("DokumentTozsamosci"));
    m_documentBox = box;
    auto* form = new QFormLayout(box);
    m_rodzaj = comboBox(box, "Rodzaj");
    m_rodzaj->addItems(documentKindTexts());
    m_numer = lineEdit(box, "Numer", kDokumentNrWidth);
    addRow(form, QStringLiteral("Rodzaj"), m_rodzaj);
    addRow(form, QStringLiteral("Numer"), m_numer);
    return box;
}

QGroupBox* TFormKsiazka::buildRemarksBox()
{
    auto* box = new QGroupBox(QStringLiteral("Uwagi"), this);
    box->setObjectName(QStringLiteral("GrupaUwagi"));
    auto* layout = new QHBoxLayout(box);
    m_uwagi = new QPlainTextEdit(box);
    m_uwagi->setObjectName(QStringLiteral("Uwagi"));
    m_uwagi->setTabChangesFocus(true);
    limitLength(m_uwagi, kUwagiWidth);
    layout->addWidget(m_uwagi);
    return box;
}

QGroupBox* TFormKsiazka::buildStayBox()
{
    auto* box = new QGroupBox(QStringLiteral("Dane kwaterunku"), this);
    box->setObjectName(QStringLiteral("DaneKwaterunku"));
    auto* form = new QFormLayout(box);
    m_pokoj = comboBox(box, "NumerPokoju");
    m_od = lineEdit(box, "Od", 0);
    m_od->setReadOnly(true);
    m_do = lineEdit(box, "Do", 0);
    m_do->setReadOnly(true);
    addRow(form, QStringLiteral("Numer pokoju"), m_pokoj);
    addRow(form, QStringLiteral("Od"), m_od);
    addRow(form, QStringLiteral("Do"), m_do);
    connect(m_pokoj, &QComboBox::currentIndexChanged, this, &TFormKsiazka::slotChosen);
    return box;
}

void TFormKsiazka::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOwner(this);
}

void TFormKsiazka::registerGroup(int groupId, QWidget* parent)
{
    TFormKsiazka form(RegistrationWalk::group(dataModule().database(), groupId), parent);
    form.run();
}

int TFormKsiazka::editEntry(int groupId, int personId, QWidget* parent)
{
    TFormKsiazka form(RegistrationWalk::entry(groupId, personId), parent);
    form.run();
    return form.walk().personId();
}

int TFormKsiazka::addPerson(int groupId, QWidget* parent)
{
    TFormKsiazka form(RegistrationWalk::newPerson(groupId), parent);
    form.run();
    return form.walk().personId();
}

void TFormKsiazka::applyDataScope()
{
    m_minimal = readGuestDataSettings(dataModule().database()).minimal;
    m_personalForm->setRowVisible(m_dataUr, !m_minimal);
    m_personalForm->setRowVisible(m_miejsceUr, !m_minimal);
    m_documentBox->setVisible(!m_minimal);
}

void TFormKsiazka::run()
{
    if (!m_walk.hasGroup() || !guarded([this] {
            applyDataScope();
            loadPerson();
        }))
        return;
    for (;;) {
        runModal(*this);
        switch (m_walk.afterShowing()) {
        case RegistrationWalk::Next::TakeOver:
            takeOverFromArchive();
            m_walk.endTakeOver();
            break;
        case RegistrationWalk::Next::NextPerson:
            if (!guarded([this] { loadPerson(); }))
                return;
            break;
        case RegistrationWalk::Next::End:
            return;
        }
    }
}

void TFormKsiazka::reject()
{
    // The close box and Escape end the person, as "&Zamknij" does.
    if (!m_walk.takeOverRequested() && !m_walk.done())
        m_walk.finish(RegistrationWalk::Closed::CloseBox);
    QDialog::reject();
}

void TFormKsiazka::loadPerson()
{
    // Each person starts in the surname, not where the previous one was left.
    m_nazwisko->setFocus();
    QSqlDatabase db = dataModule().database();
    if (m_walk.addMode()) {
        fillCountries(std::nullopt);
        m_panstwo->setCurrentIndex(m_panstwo->count() > 0 ? 0 : -1);
        m_rodzaj->setCurrentIndex(0);
        showSlots(buildBedSlots(db, m_walk.groupId()));
        return;
    }
    const std::optional<EntryPlace> entry = loadEntry(db, m_walk.groupId(), m_walk.personId());
    m_od->setText(entry ? dayText(entry->Od) : QString());
    m_do->setText(entry ? dayText(entry->Do) : QString());
    showSlots(buildBedSlots(db, m_walk.groupId(), entry));
    loadPersonFields(m_walk.formerGuest() > 0 ? m_walk.formerGuest() : m_walk.personId());
}

void TFormKsiazka::loadPersonFields(int personId)
{
    // A missing record shows empty fields rather than the previous person's.
    showPerson(::loadPerson(dataModule().database(), personId).value_or(PersonFields{}));
}

void TFormKsiazka::showPerson(const PersonFields& person)
{
    m_nazwisko->setText(person.Nazwisko);
    m_imie->setText(person.Imie);
    m_dataUr->setText(dayText(person.Data_ur));
    m_miejsceUr->setText(person.Miejsce_ur);
    m_adres->setText(person.Adres);
    m_rodzaj->setCurrentIndex(person.documentIndex < m_rodzaj->count() ? person.documentIndex : -1);
    m_numer->setText(person.Dokument_nr);
    m_uwagi->setPlainText(person.Uwagi);
    fillCountries(person.ID_Panstwo);
}

void TFormKsiazka::fillCountries(std::optional<int> selectId)
{
    m_panstwo->clear();
    for (const Country& country : loadCountries(dataModule().database()))
        m_panstwo->addItem(country.name, country.id);
    m_panstwo->setCurrentIndex(selectId ? m_panstwo->findData(*selectId) : -1);
}

void TFormKsiazka::showSlots(BedSlotList list)
{
    m_slots = std::move(list);
    {
        // Filling would select the first bed on its own and show its dates.
        const QSignalBlocker blocker(m_pokoj);
        m_pokoj->clear();
        for (const TKwaterunek& slot : m_slots.beds)
            m_pokoj->addItem(slot.Nr_pokoju);
        m_pokoj->setCurrentIndex(m_slots.selected);
    }
    slotChosen(m_slots.selected);
}

void TFormKsiazka::slotChosen(int index)
{
    if (index < 0 || index >= static_cast<int>(m_slots.beds.size()))
        return;
    const TKwaterunek& slot = m_slots.beds[static_cast<size_t>(index)];
    m_od->setText(dayText(slot.Od));
    m_do->setText(dayText(slot.Do));
}

PersonFields TFormKsiazka::typedPerson() const
{
    PersonFields p;
    p.Nazwisko = m_nazwisko->text();
    p.Imie = m_imie->text();
    p.Data_ur = dayFromText(m_dataUr->text()).value_or(QDate());
    p.Miejsce_ur = m_miejsceUr->text();
    p.Adres = m_adres->text();
    if (m_panstwo->currentIndex() >= 0)
        p.ID_Panstwo = m_panstwo->currentData().toInt();
    p.documentIndex = m_rodzaj->currentIndex();
    p.Dokument_nr = m_numer->text();
    p.Uwagi = m_uwagi->toPlainText();
    return p;
}

void TFormKsiazka::save()
{
    // The mask leaves its separators in an empty field.
    const QString birth = m_dataUr->text();
    if (!m_minimal && birth != QStringLiteral("--") && !dayFromText(birth)) {
        prompter().warn(QStringLiteral("Data urodzenia „%1” nie jest prawidłową datą. Wpisz ją "
                                       "jako rrrr-mm-dd albo usuń całą.")
                            .arg(birth),
                        windowTitle());
        m_dataUr->setFocus();
        return;
    }
    PersonSave request;
    request.minimal = m_minimal;
    request.groupId = m_walk.groupId();
    request.personId = m_walk.personId();
    request.addMode = m_walk.addMode();
    const int index = m_pokoj->currentIndex();
    if (index >= 0 && index < static_cast<int>(m_slots.beds.size()))
        request.slot = m_slots.beds[static_cast<size_t>(index)];
    request.fields = typedPerson();
    // A failed save is shown and leaves nothing behind; the window still
    // closes as after a save, so a group walk goes on with the next person.
    guarded([&] { m_walk.setPersonId(savePerson(dataModule().database(), request)); });
    m_walk.finish(RegistrationWalk::Closed::Ok);
    accept();
}

void TFormKsiazka::takeOverFromArchive()
{
    for (;;) {
        const ArchiveChoice choice = frame().showPersonArchive(true);
        if (choice.details && choice.personId > 0)
            frame().showGuestDetails(choice.personId);
        if (choice.chosen && choice.personId > 0) {
            // The former guest's data fill the form; saving writes them into
            // this entry's own person record, the former one stays as it was.
            m_walk.takeOver(choice.personId);
            guarded([&] { loadPersonFields(choice.personId); });
        }
        if (choice.finished)
            return;
    }
}
