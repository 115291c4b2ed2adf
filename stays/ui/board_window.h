#pragma once

#include "core/frame.h"
#include "stays/board.h"

#include <QDate>
#include <QWidget>

class BoardView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

// The planning board "Plan pokoi": every room by day over two, four or eight
// weeks, the groups as bars, the particulars of the chosen group beside it.
// It opens groups as the stay list does and follows the database: it reads
// again when it becomes the active window and every few seconds while it is.
class TPlanPokoi : public QWidget, public GroupListener {
    Q_OBJECT
public:
    explicit TPlanPokoi(QWidget* parent = nullptr);
    ~TPlanPokoi() override;

    static constexpr int kRefreshMs = 5000;

    QDate first() const { return m_first; }
    int days() const;
    void setFirst(const QDate& day);
    void setWeeks(int weeks); // 2, 4 or 8
    BoardView* view() const { return m_view; }

    // Reads the span again, keeping the chosen group or cells. Throws DbError.
    void refresh();
    void groupEdited(int groupId) override;

    // The commands of the buttons.
    void change();
    void billing();
    void book();
    void newReservation();
    void search();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    QWidget* buildNavigation();
    QWidget* buildPanel();
    QWidget* buildLegend();
    void showParticulars();
    void refreshWhenActive();
    bool isActiveChild() const;
    void askSingleBeds(const QString& room, const QDate& from, const QDate& to,
                       const BookingChoice& choice);

    QDate m_first;
    BoardGroupKey m_edited; // the group handed to the stay editor
    QString m_lastSearch;
    QList<BoardGroup> m_found;
    int m_foundIndex = 0;
    bool m_watching = false;

    BoardView* m_view = nullptr;
    QDateEdit* m_from = nullptr;
    QComboBox* m_weeks = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_kind = nullptr;
    QLabel* m_period = nullptr;
    QLabel* m_persons = nullptr;
    QLabel* m_rooms = nullptr;
    QLabel* m_notes = nullptr;
    QLabel* m_settled = nullptr;
    QLabel* m_registeredCount = nullptr;
    QListWidget* m_registered = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_billing = nullptr;
    QPushButton* m_book = nullptr;
    QPushButton* m_newReservation = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_timer = nullptr;
};
