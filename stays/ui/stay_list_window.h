#pragma once

#include "core/frame.h"
#include "stays/stay_list_queries.h"

#include <QWidget>

class ColumnFields;
class QLineEdit;
class QPushButton;
class QTableView;
class RowSet;
class RowSetModel;
class TitleSort;

// The list of reservation or accommodation groups with the room lines of the
// current group, its filters and the front desk's group commands.
class TLista : public QWidget, public GroupListener {
    Q_OBJECT
public:
    // The five ways the main menu opens the list.
    enum class Variant {
        ModifyReservations,   // "&Modyfikowanie rezerwacji"
        CheckInFromList,      // "Kwaterowanie z &listy rezerwacji"
        ModifyAccommodations, // "M&odyfikowanie kwaterunku"
        CheckOut,             // "&Wykwaterowanie"
        Payments,             // "&Opłaty"
    };

    explicit TLista(Variant variant, QWidget* parent = nullptr);
    ~TLista() override;

    ListMode mode() const { return m_mode; }
    Variant variant() const { return m_variant; }

    // Reloads closed grids and makes the group current (after the stay editor).
    void groupEdited(int groupId) override;

    // The commands of the bottom buttons and the search fields.
    void change();
    void remove();
    void checkIn();
    void book();
    void billing();
    void checkOut();
    void search();
    void showAll();

private:
    enum class DoubleClick { Nothing, Change, CheckOut, Billing };

    void buildWindow();
    QPushButton* addButton(const QString& caption, const QString& name, const QString& hint);
    void arrangeButtons();
    void loadGroups(int groupId);
    void loadLines();
    void reloadGroups(const QString& order);
    void reloadLines(const QString& order);
    void closeData();
    void showHeader();
    int currentGroup() const;
    QString currentName() const;
    void onDoubleClick();

    Variant m_variant;
    ListMode m_mode;
    DoubleClick m_doubleClick = DoubleClick::Nothing;
    QString m_groupOrder = QStringLiteral("Identyfikator desc");
    QString m_lineOrder = QStringLiteral("Nr_pokoju");

    RowSet* m_groups = nullptr;
    RowSet* m_lines = nullptr;
    RowSetModel* m_groupModel = nullptr;
    RowSetModel* m_lineModel = nullptr;
    QTableView* m_groupGrid = nullptr;
    QTableView* m_lineGrid = nullptr;
    TitleSort* m_groupSort = nullptr;
    TitleSort* m_lineSort = nullptr;

    QLineEdit* m_name = nullptr;
    QLineEdit* m_od = nullptr;
    QLineEdit* m_do = nullptr;
    QLineEdit* m_persons = nullptr;
    QLineEdit* m_notes = nullptr;

    ColumnFields* m_filters = nullptr;
    QLineEdit* m_findId = nullptr;
    QLineEdit* m_findName = nullptr;
    QLineEdit* m_findOd = nullptr;
    QLineEdit* m_findDo = nullptr;
    QLineEdit* m_findPersons = nullptr;
    QLineEdit* m_findRoom = nullptr;

    QPushButton* m_change = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_checkOut = nullptr;
    QPushButton* m_billing = nullptr;
    QPushButton* m_checkIn = nullptr;
    QPushButton* m_book = nullptr;
    QPushButton* m_close = nullptr;
};
