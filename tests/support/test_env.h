#pragma once

#include "db/engine.h"
#include "tests/support/scripted_prompter.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <deque>
#include <functional>
#include <memory>

class DataModule;
class QDialog;

// Everything one test needs, fresh: a temporary program directory holding a
// new database at the default place (Baza/Baza.mdb), both settings scopes in
// the temporary folder, a fixed clock, a scripted prompter and modal script,
// and an open data module. Everything is put back when it goes.
//
// When the environment variable REZYDO_TEST_SERVER holds a server's
// connection text, the new database is instead a database of its own on that
// server (dropped when the TestEnv goes), and SerwerBazy points at it.
class TestEnv {
public:
    struct Options {
        bool createDatabase = true;
        bool demo = false;
        bool openConnection = true;
        QDateTime now = QDateTime(QDate(2026, 7, 15), QTime(12, 0));
    };
    TestEnv();
    explicit TestEnv(const Options& options);
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    // True when the tests run on a server (REZYDO_TEST_SERVER is set).
    static bool onServer();
    // The server named by REZYDO_TEST_SERVER, with `database` for its dbname
    // (empty: as the variable names it).
    static ServerAddress testServer(const QString& database = {});

    QString dir() const { return m_dir.path(); }
    QString path(const QString& relative) const; // inside the temporary folder
    QString databaseFile() const;                // the default Baza/Baza.mdb
    DataModule& data() { return *m_data; }
    QSqlDatabase db();
    ScriptedPrompter& prompter() { return *m_prompter; }

    // Runs SQL (with positional bindings) and fails the test on error.
    void exec(const QString& sql, const QVariantList& values = {});
    QVariant scalar(const QString& sql, const QVariantList& values = {});
    // Every row of a statement as "a|b|c" texts, for compact comparisons.
    QStringList rows(const QString& sql, const QVariantList& values = {});

    void setNow(const QDateTime& now);

    // Modal windows are answered from this queue, in order of appearance. Each
    // handler gets the dialog and returns its result. An unexpected dialog is
    // rejected and counted.
    std::deque<std::function<int(QDialog&)>> modal;
    int unexpectedModals = 0;

private:
    QTemporaryDir m_dir;
    QString m_serverDatabase; // the database made on the server, if any
    std::unique_ptr<DataModule> m_data;
    ScriptedPrompter* m_prompter = nullptr;
    std::unique_ptr<Prompter> m_previousPrompter;
};

// Runs a statement on the test server's own database (REZYDO_TEST_SERVER),
// through a connection kept for the whole run; fails the test on error.
void runOnTestServer(const QString& sql);

// A connection of the test's own to a database file, knowing the Polish order
// like every connection of the program; closed and removed when it goes.
class FileConnection {
public:
    explicit FileConnection(const QString& file);
    ~FileConnection();
    FileConnection(const FileConnection&) = delete;
    FileConnection& operator=(const FileConnection&) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

// Writes into a database file through a connection of its own, leaving its
// version as it is: the file as an older program left it, before an upgrade.
void writeWithoutUpgrade(const QString& file, const QStringList& statements);
