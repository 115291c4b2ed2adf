#pragma once

#include "admin/archive_rows.h"
#include "admin/person_archive.h"
#include "core/frame.h"
#include "reports/engine/report_output.h"

#include <QDialog>
#include <QList>

#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class ArchiveModel;
class TitleSort;

// "Archiwum gości": the former guests, searched, printed, and handed to the
// caller for their details or for a new stay. The same window is shown again
// and again by its caller's loop, keeping its display kind, dates, search and
// order. Controls: Rodzaj (display kind), DataPoczatkowa and DataKoncowa with
// their labels EtykietaDataPoczatkowa and EtykietaDataKoncowa, the grid Lista,
// the search boxes SzukajNazwisko, SzukajImie, SzukajAdres, SzukajPokoj,
// SzukajOd, SzukajDo with the buttons Szukaj and CzyscSzukanie, and the buttons
// Podglad, Drukuj, Szczegoly, EksportDanych, UsunDane, Ksiazka and Zamknij;
// the two about a person's data act on the current row's person at once.
class TArchiwum : public QDialog {
    Q_OBJECT
public:
    // From the registration the print buttons are hidden, from the menu
    // "&Książka" is.
    explicit TArchiwum(bool fromRegistration, QWidget* parent = nullptr);
    ~TArchiwum() override;

    // One modal showing; the flags of the previous one are cleared first. A
    // printout asked for is made while the window is out of the way (it stays
    // above other windows, the preview among them), and the window comes back.
    ArchiveChoice showModal();
    const ArchiveChoice& choice() const { return m_choice; }
    bool fromRegistration() const { return m_fromRegistration; }

    const ArchiveRows& rows() const { return *m_rows; }
    ArchiveKind kind() const;
    QString order() const;

    // Rebuilds the statement from the kind, the dates and the order and reads
    // its first rows again; the search stays in force. A failing statement is
    // reported and leaves the list empty.
    void reload();
    void search();
    void clearSearch();
    void print(ReportOutput mode);

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    QLayout* buildKindRow();
    QLayout* buildSearchRow();
    QLayout* buildButtonRow();
    void kindChanged();
    void runSearch(const QString& expression);
    int currentPerson() const;
    void printAsked(ReportOutput mode);
    void details();
    void takePerson();

    bool m_fromRegistration = false;
    ArchiveChoice m_choice;
    std::optional<ReportOutput> m_printout; // asked for during the current showing
    ArchiveRows* m_rows = nullptr;
    ArchiveModel* m_model = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_fromLabel = nullptr;
    QLabel* m_toLabel = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QTableView* m_grid = nullptr;
    TitleSort* m_sort = nullptr;
    QList<QLineEdit*> m_search;
};
