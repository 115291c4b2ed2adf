#pragma once

#include <QSqlDatabase>

#include <vector>

// The order in which the registration window shows the persons of a group,
// and what it does after each showing. Kept apart from the window so the
// rules of the walk read in one place.
class RegistrationWalk {
public:
    enum class Closed { Ok, Zamknij, CloseBox };
    enum class Next { TakeOver, NextPerson, End };

    // Every register entry of the group in database order (0 = the newest
    // accommodation group); add mode when the group has none.
    static RegistrationWalk group(QSqlDatabase db, int groupId);
    // One register entry, edited.
    static RegistrationWalk entry(int groupId, int personId);
    // One new person added to the group.
    static RegistrationWalk newPerson(int groupId);

    int groupId() const { return m_groupId; }
    bool hasGroup() const { return m_groupId > 0; }
    bool addMode() const { return m_addMode; }
    int personId() const { return m_personId; }
    void setPersonId(int personId) { m_personId = personId; }

    // "Stały klient": the window closes for the archive and comes back.
    void requestTakeOver() { m_takeOver = true; }
    bool takeOverRequested() const { return m_takeOver; }
    void takeOver(int formerGuestId) { m_formerGuest = formerGuestId; }
    void endTakeOver() { m_takeOver = false; }
    int formerGuest() const { return m_formerGuest; }

    // The person shown is finished: saved, or the window closed without a
    // take-over.
    void finish(Closed how);
    bool done() const { return m_done; }

    // After the window has closed: back for the archive, on to the next
    // person (only after "&OK"), or the end of the walk.
    Next afterShowing();

private:
    int m_groupId = 0;
    bool m_addMode = false;
    std::vector<int> m_persons;
    size_t m_index = 0;
    int m_remaining = 0;
    int m_personId = 0;
    int m_formerGuest = 0;
    bool m_takeOver = false;
    bool m_done = false;
    Closed m_closed = Closed::CloseBox;
};
