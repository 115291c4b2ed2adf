#pragma once

#include "reports/engine/ui/parameter_window.h"
#include "reports/free_rooms.h"
#include "reports/room_utilisation.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QTableView;

// "Wolne pokoje": the free rooms and beds of a day, with the totals.
class TFormRapPokoje : public TFormParametry {
    Q_OBJECT
public:
    explicit TFormRapPokoje(QWidget* parent = nullptr);
    const FreeRooms& rooms() const { return m_rooms; }
    // Reads the lists of the day in the field; throws DbError, leaving the
    // lists of the last day read. The command reads them before it shows the
    // window, so a failure there ends the command.
    void load();

private:
    FreeRooms m_rooms;
    QDateEdit* m_day = nullptr;
    QTableView* m_roomGrid = nullptr;
    QTableView* m_bedGrid = nullptr;
    QLabel* m_roomCount = nullptr;
    QLabel* m_roomBeds = nullptr;
    QLabel* m_freeBeds = nullptr;
    QLabel* m_blocked = nullptr;
};

// The month picker of the room chart; the entries are made on confirming.
class TFormRapWykorzystanie : public TFormParametry {
    Q_OBJECT
public:
    TFormRapWykorzystanie(QList<TMiesiac> months, QStringList rooms, QWidget* parent = nullptr);
    const TMiesiac& month() const;
    const QList<TElemWykorzystania>& entries() const { return m_entries; }
    int roomCount() const { return static_cast<int>(m_rooms.size()); }

protected:
    bool prepare() override;

private:
    QList<TMiesiac> m_months;
    QStringList m_rooms;
    QList<TElemWykorzystania> m_entries;
    QComboBox* m_month = nullptr;
};
