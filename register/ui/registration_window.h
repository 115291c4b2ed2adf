#pragma once

#include "register/bed_slots.h"
#include "register/person_record.h"
#include "register/registration_walk.h"

#include <QDialog>

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Ksiażka meldunkowa": enters the persons of an accommodation group into the
// guest register, one person per showing. Controls are named after their
// captions: Nazwisko, Imie, DataUrodzenia, MiejsceUrodzenia, Adres, Panstwo,
// Rodzaj, Numer, Uwagi, NumerPokoju, Od, Do; buttons StalyKlient, OK, Zamknij.
// With the hotel's minimal scope of guest data the birth date and place and
// the document box are hidden and nothing of them is stored.
class TFormKsiazka : public QDialog {
    Q_OBJECT
public:
    explicit TFormKsiazka(RegistrationWalk walk, QWidget* parent = nullptr);
    ~TFormKsiazka() override;

    // The three ways in; each shows the window modally until its walk ends.
    // The last two return the person the walk ended on (0 when none: a new
    // person that was not saved).
    static void registerGroup(int groupId, QWidget* parent); // 0 = the newest group
    static int editEntry(int groupId, int personId, QWidget* parent);
    static int addPerson(int groupId, QWidget* parent);

    // Loads the first person and shows the window until the walk ends.
    void run();

    const RegistrationWalk& walk() const { return m_walk; }
    const BedSlotList& bedSlots() const { return m_slots; }
    bool minimalForm() const { return m_minimal; }

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void applyDataScope();
    QGroupBox* buildPersonalBox();
    QGroupBox* buildDocumentBox();
    QGroupBox* buildRemarksBox();
    QGroupBox* buildStayBox();
    void loadPerson();
    void loadPersonFields(int personId);
    void showPerson(const PersonFields& person);
    void fillCountries(std::optional<int> selectId);
    void showSlots(BedSlotList list);
    void slotChosen(int index);
    PersonFields typedPerson() const;
    void save();
    void takeOverFromArchive();

    RegistrationWalk m_walk;
    BedSlotList m_slots;
    bool m_minimal = false;

    QLineEdit* m_nazwisko = nullptr;
    QLineEdit* m_imie = nullptr;
    QLineEdit* m_dataUr = nullptr; // yyyy-mm-dd through a mask; empty = no date
    QLineEdit* m_miejsceUr = nullptr;
    QLineEdit* m_adres = nullptr;
    QComboBox* m_panstwo = nullptr;
    QComboBox* m_rodzaj = nullptr;
    QLineEdit* m_numer = nullptr;
    QPlainTextEdit* m_uwagi = nullptr;
    QComboBox* m_pokoj = nullptr;
    QLineEdit* m_od = nullptr;
    QLineEdit* m_do = nullptr;
    QFormLayout* m_personalForm = nullptr;
    QGroupBox* m_documentBox = nullptr;
};
