#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// The group commands of the stay list with their questions, without widgets.
// Each returns whether the list must be reloaded.

// "&Kwateruj": check-in, then the offers to register the persons and to
// bill the group. Returns the new accommodation group, or nullopt.
std::optional<int> checkInWithOffers(QSqlDatabase db, int reservationId);

// "&Książka" on a reservation: asks first when the arrival day is not today;
// then check-in and the registration of the new group. Returns the new
// group, or nullopt when nothing was done.
std::optional<int> checkInAndRegister(QSqlDatabase db, int reservationId, const QString& name,
                                      const QDate& arrival);

// "&Wykwateruj": the three questions; before the planned departure, whether
// the guests leave today (then their register entries end today); then the
// check-out. Returns true when the group was checked out.
bool checkOutWithQuestions(QSqlDatabase db, int groupId, const QString& name);
