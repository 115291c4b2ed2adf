#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// What the buttons of the windows do with the KSeF records, asking and
// telling through the Prompter; no transaction is open while they ask.

// Exports one document into a file the receptionist chooses (proposed in the
// folder used last, named by its number). True when a file was written.
bool exportToKsef(QSqlDatabase db, int groupId, std::optional<qint64> correctionId);
// Exports every waiting document of the period into a chosen folder and says
// how many went and which failed. True when any file was written.
bool exportWaitingToKsef(QSqlDatabase db, const QDate& from, const QDate& to);
// Asks for the KSeF number of an exported document and records it. True when recorded.
bool askKsefNumber(QSqlDatabase db, int groupId, std::optional<qint64> correctionId);
// Marks an exported document as handed over, and asks for the reason of a rejection.
bool markSent(QSqlDatabase db, int groupId, std::optional<qint64> correctionId);
bool askRejection(QSqlDatabase db, int groupId, std::optional<qint64> correctionId);

// The line about a document's record shown beside it: "KSeF: przyjęta, numer …".
QString ksefStateLine(QSqlDatabase db, int groupId, std::optional<qint64> correctionId);
