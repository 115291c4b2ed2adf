#pragma once

#include <QSqlDatabase>

// Rooms, prices and a few reservation and accommodation groups around today,
// so that a newcomer sees a living hotel. Throws DbError.
void insertDemoData(QSqlDatabase db);
