#pragma once

#include "db/closures.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QPushButton;
class QTableWidget;

// "Dni zamknięcia obiektu" and "Blokady pokoi": the periods when the whole
// house takes no guests, or when a room is out of use, with their reasons.
// A row chosen in the list is shown in the fields below it; "&Zapisz"
// stores the fields as that row, or as a new one after "&Nowy".
class TBlokady : public QWidget {
    Q_OBJECT
public:
    explicit TBlokady(ClosureKind kind, QWidget* parent = nullptr);

    ClosureKind kind() const { return m_kind; }
    const QList<Closure>& periods() const { return m_periods; }
    // Reads the periods (and the rooms) again and shows them; throws DbError.
    void reload(qint64 select = 0);

private:
    void showRow(int row);
    void startNew();
    void save();
    void removeCurrent();
    Closure fromFields() const;

    ClosureKind m_kind;
    QList<Closure> m_periods;
    QStringList m_rooms;
    qint64 m_editing = 0; // the id shown in the fields, 0 for a new one
    QTableWidget* m_list = nullptr;
    QComboBox* m_room = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QComboBox* m_reason = nullptr;
    QPushButton* m_remove = nullptr;
};
