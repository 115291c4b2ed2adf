#pragma once

#include "core/ui/close_query.h"
#include "stays/availability.h"
#include "stays/stay_store.h"
#include "stays/text_grid.h"

#include <QDate>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <utility>

class QDateEdit;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QWindow;

// The stay editor: a reservation or an accommodation group with its room
// lines, picked from the free rooms and free places of the group period.
class TRezerwacja : public QWidget, public CloseQuery {
    Q_OBJECT
public:
    // `groupId` and `caller` (a GroupListener refreshed when the editor
    // closes) are used by the two change modes.
    explicit TRezerwacja(StayMode mode, int groupId = 0, QObject* caller = nullptr,
                         QWidget* parent = nullptr);
    ~TRezerwacja() override;

    // Initialises the window (and loads the group in a change mode); throws
    // RezydoError when the database cannot be read.
    void start();

    // A new reservation that starts with one room already chosen for the
    // period from..to: the whole room (`beds` 0) or single beds of `gender`.
    void startWithRoom(const QString& room, const QDate& from, const QDate& to, int beds,
                       const QString& gender);

    StayMode mode() const { return m_mode; }
    bool mayClose() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHeader();
    QWidget* buildAvailability();
    QWidget* buildMiddle();
    QWidget* buildChosen();
    QWidget* buildBottom();
    QWidget* availabilityPage(const QString& prefix, QTableWidget* table);
    void connectSignals();

    void reset();
    AvailabilityRequest request(int page) const;
    void fillActivePage();
    void clearFilters();
    void addRooms();
    void removeLines();
    void updateSummary();
    void onSave();
    bool save(); // true when the window was reset for the next group
    void onClose();
    void groupPeriodChanged();
    void groupPeriodChecked();
    void linePeriodChanged();
    void setDate(QDateEdit* edit, const QDate& day);

    void watchDeactivation();
    void otherWindowFocused(QWindow* window);
    void deactivated();
    void closeAtOnce();
    void closeWindow();
    void notifyCaller();

    StayMode m_mode;
    int m_groupId;
    QPointer<QObject> m_caller;
    Availability m_availability;
    TextGrid m_freeRooms;
    TextGrid m_freePlaces;
    TextGrid m_chosen;
    std::optional<std::pair<QDate, QDate>> m_lastFill;
    bool m_saving = false;
    bool m_settling = false; // just reset after a save: a click now is the rest of a double click
    bool m_closePending = false;
    bool m_closeWithoutQuestion = false;
    bool m_closeApproved = false;
    bool m_callerNotified = false;
    bool m_watching = false;
    bool m_adjusting = false;

    QLineEdit* m_name = nullptr;
    QLineEdit* m_persons = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QTabWidget* m_pages = nullptr;
    QTableWidget* m_roomsTable = nullptr;
    QTableWidget* m_placesTable = nullptr;
    QList<QLineEdit*> m_roomFilters;
    QList<QLineEdit*> m_placeFilters;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QRadioButton* m_wholeRoom = nullptr;
    QRadioButton* m_singles = nullptr;
    QLineEdit* m_count = nullptr;
    QRadioButton* m_women = nullptr;
    QRadioButton* m_men = nullptr;
    QDateEdit* m_lineFrom = nullptr;
    QDateEdit* m_lineTo = nullptr;
    QTableWidget* m_chosenTable = nullptr;
    QLabel* m_roomsLabel = nullptr;
    QLabel* m_bedsLabel = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_closeButton = nullptr;
    QWidget* m_body = nullptr;
};
