#include "register/registration_walk.h"

#include "db/sql.h"

RegistrationWalk RegistrationWalk::group(QSqlDatabase db, int groupId)
{
    RegistrationWalk walk;
    walk.m_groupId =
        groupId != 0
            ? groupId
            : scalarSql(db, QStringLiteral("SELECT max(Identyfikator) FROM Kwat_hot")).toInt();
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Identyfikator_o FROM Ksiazka "
                                        "WHERE Identyfikator_g = :ID ORDER BY rowid"),
                         {{":ID", walk.m_groupId}});
    while (q.next())
        walk.m_persons.push_back(q.value(0).toInt());
    walk.m_remaining = static_cast<int>(walk.m_persons.size());
    walk.m_addMode = walk.m_persons.empty();
    if (!walk.m_addMode)
        walk.m_personId = walk.m_persons.front();
    return walk;
}

RegistrationWalk RegistrationWalk::entry(int groupId, int personId)
{
    RegistrationWalk walk;
    walk.m_groupId = groupId;
    walk.m_persons = {personId};
    walk.m_remaining = 1;
    walk.m_personId = personId;
    return walk;
}

RegistrationWalk RegistrationWalk::newPerson(int groupId)
{
    RegistrationWalk walk;
    walk.m_groupId = groupId;
    walk.m_addMode = true;
    return walk;
}

void RegistrationWalk::finish(Closed how)
{
    m_done = true;
    m_closed = how;
}

RegistrationWalk::Next RegistrationWalk::afterShowing()
{
    if (m_takeOver)
        return Next::TakeOver;
    if (!m_done)
        return Next::End;
    ++m_index;
    --m_remaining;
    if (m_remaining <= 0 || m_closed != Closed::Ok || m_index >= m_persons.size())
        return Next::End;
    m_done = false;
    m_formerGuest = 0; // a take-over belongs to the person it was made for
    m_personId = m_persons[m_index];
    return Next::NextPerson;
}
