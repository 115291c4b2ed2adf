#pragma once

#include "register/register_browse.h"

#include <QWidget>

class QBoxLayout;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QTableView;
class RowSet;
class RowSetModel;
class TitleSort;

// "Modyfikowanie Książki Meldunkowej": the register entries with their group,
// person, room and days, for the whole register or for one accommodation
// group; corrects, adds and removes persons and prints the list as shown.
// Controls: Rodzaj (with its label RodzajEtykieta), DataPoczatkowa,
// DataKoncowa, the grid Lista, the search fields SzukajNazwa, SzukajNazwisko,
// SzukajImie, SzukajPokoj, SzukajOd, SzukajDo with the buttons Szukaj and
// CzyscSzukanie; buttons Zmien, Dodaj, Usun, Zamknij, Podglad, Drukuj.
class TModyfikacjaKsiazki : public QWidget {
    Q_OBJECT
public:
    // groupId 0: the whole register; above 0: that group's entries only.
    explicit TModyfikacjaKsiazki(int groupId = 0, QWidget* parent = nullptr);
    ~TModyfikacjaKsiazki() override;

    // Only the system menu in the child frame's title bar; the frame is
    // maximised now and again whenever it is activated.
    static void attachFrame(QMdiSubWindow* sub);

    const RowSet& rows() const { return *m_rows; }
    // The group persons are added to; 0 until the first "&Dodaj" in the
    // whole register.
    int groupId() const { return m_groupId; }
    bool oneGroup() const { return m_oneGroup; }

    // The commands of the buttons and the search fields.
    void change();
    void add();
    void remove();
    void search();
    void showAll();
    void preview();
    void print();

private:
    void buildWindow();
    void buildChoice(QBoxLayout* layout);
    void buildSearch(QBoxLayout* layout);
    void buildButtons(QBoxLayout* layout);
    void displayChanged();
    void reloadSorted(const QString& order);
    // Reads the list again with the window's conditions and positions it on
    // the entry of the person in the group, when it is there.
    void rebuild(int groupId, int personId);
    void rebuildHere();
    void afterRegistration(int groupId, int personId);
    void printList(bool toPreview);
    int currentGroup() const;
    int currentPerson() const;

    int m_groupId = 0;
    bool m_oneGroup = false;
    // One group is listed in the order of the database until a title is clicked.
    bool m_unsorted = false;
    QString m_order = kRegisterInitialOrder;

    RowSet* m_rows = nullptr;
    RowSetModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    TitleSort* m_sort = nullptr;
    QLabel* m_kindLabel = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_fromLabel = nullptr;
    QDateEdit* m_from = nullptr;
    QLabel* m_toLabel = nullptr;
    QDateEdit* m_to = nullptr;
    QList<QLineEdit*> m_search;
};
