#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

// Moving a whole hotel between the file and a database server (either way,
// or file to file): the tables of a freshly made database of the same schema
// version are filled with every row of the other, keys and all.

struct CopiedTable {
    QString name; // as the source names it
    qint64 rows = 0;
};

// Copies every table of `from` into the table of the same name in `to`, in
// one transaction on `to`: the rows `to` was made with (the country list,
// the rates, the Config row) give way to the source's. Every column the two
// share is copied, keys included, and the position of a file's row without a
// key of its own (its rowid) with it where the other side keeps one. Then
// every auto-number of `to` continues after the highest key, and never below
// the number the source had reached. `progress` hears of each table as it is
// done. Throws RezydoError (nothing is written then).
QList<CopiedTable> copyDatabase(QSqlDatabase from, QSqlDatabase to,
                                const std::function<void(const CopiedTable&)>& progress = {});

// What differs between two databases of the same schema: for every table its
// row count, and for every column the count of values and their sum (of the
// numbers, of the lengths of texts). Empty when they agree; otherwise one
// Polish line per difference.
QStringList compareDatabases(QSqlDatabase a, QSqlDatabase b);
