#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>

// What the person archive tells its caller after one showing.
struct ArchiveChoice {
    int personId = 0;     // Identyfikator_o of the current row, or 0
    bool details = false; // "Szczegóły" was asked for
    bool chosen = false;  // a person was chosen ("Książka")
    bool finished = true; // the work with the archive is finished
};

// A window that handed a group to the stay editor; it reloads, positioned on
// the group, when the editor has saved or closed.
class GroupListener {
public:
    virtual ~GroupListener() = default;
    virtual void groupEdited(int groupId) = 0;
};

// The services of the main window that windows of different folders use to
// open each other. Windows pass nothing but row identifiers. Every operation
// does nothing until the window it opens exists.
class Frame {
public:
    virtual ~Frame() = default;

    // The stay editor in edit mode for a reservation or an accommodation group.
    // `caller` (a GroupListener, may be null) is refreshed after the save.
    virtual void openStayEditor(int groupId, bool reservation, QObject* caller)
    {
        (void)groupId, (void)reservation, (void)caller;
    }
    // The stay editor for a new reservation of one room for a period, the
    // room already chosen: whole (`beds` 0) or `beds` single beds of `gender`.
    virtual void openNewReservation(const QString& room, const QDate& from, const QDate& to,
                                    int beds, const QString& gender)
    {
        (void)room, (void)from, (void)to, (void)beds, (void)gender;
    }
    // The billing window of an accommodation group.
    virtual void openBilling(int groupId) { (void)groupId; }
    // The registration walk over a whole accommodation group; 0 = the newest group.
    virtual void registerGroup(int groupId) { (void)groupId; }
    // The registration entry for one register entry of a group. Both return
    // the person the registration ended on (0 when none), so that a list can
    // position itself on that person afterwards.
    virtual int editRegisterEntry(int groupId, int personId)
    {
        (void)groupId, (void)personId;
        return 0;
    }
    // The registration entry adding a new person to a group.
    virtual int addPersonToGroup(int groupId)
    {
        (void)groupId;
        return 0;
    }
    // The register browse window for one accommodation group.
    virtual void openRegisterBrowse(int groupId) { (void)groupId; }
    // One modal showing of the person archive; `fromRegistration` hides the
    // print buttons and shows "Książka".
    virtual ArchiveChoice showPersonArchive(bool fromRegistration)
    {
        (void)fromRegistration;
        return {};
    }
    // The guest details and payment history of a person.
    virtual void showGuestDetails(int personId) { (void)personId; }
};

// The installed frame (the main window); a do-nothing frame until one is set.
Frame& frame();
void setFrame(Frame* f); // nullptr restores the do-nothing frame
