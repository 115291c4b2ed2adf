#pragma once

#include "core/money.h"
#include "db/sql.h"
#include "db/synthetic_data.h"
#include "db/synthetic_names.h"
#include "db/synthetic_plan.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>

#include <random>
#include <vector>

// The writer of a synthetic database: turns a Plan into rows, person records
// and their register entries first, then calculations, and at the end the
// payments and invoice numbers in the order they were issued.
namespace synthetic {

inline int below(std::mt19937& rng, int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}
inline bool chance(std::mt19937& rng, int percent)
{
    return below(rng, 100) < percent;
}

// One statement prepared once and run for every row, values bound by position.
class Insert {
public:
    Insert(QSqlDatabase db, const QString& sql)
        : m_query(db)
    {
        m_query.setForwardOnly(true);
        if (!m_query.prepare(sql))
            throw DbError(m_query.lastError());
    }
    void run(std::initializer_list<QVariant> values)
    {
        int i = 0;
        for (const QVariant& v : values)
            m_query.bindValue(i++, v);
        if (!m_query.exec())
            throw DbError(m_query.lastError());
    }

private:
    QSqlQuery m_query;
};

inline QString statement(const char* table, const char* columns, int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QLatin1String(table), QString::fromUtf8(columns), marks.join(QLatin1Char(',')));
}

// A guest with a person record; enough to find the record again and to name it.
struct Guest {
    int id = 0;
    int lastTo = 0; // departure day of the latest stay, so that stays never overlap
    std::uint32_t name = 0;
    int country = 1;
    Tongue tongue = Tongue::Polish;
    bool female = false;
};

// Who a group is: its country, and whether it is a firm or an organised tour.
struct Party {
    int country = 1;
    Tongue tongue = Tongue::Polish;
    bool firm = false;
    bool tour = false;
    std::uint32_t firmIndex = 0; // the firm among the regular clients
    QString name;
};

struct PendingPayment {
    int group = 0;
    int day = 0;
    qint64 amount = 0;
    int type = 1;
};

struct Invoice {
    int group = 0;
    int day = 0;
};

class Writer {
public:
    Writer(QSqlDatabase db, std::uint32_t seed);
    SyntheticCounts write(int years, int rooms);

private:
    void loadCountries();
    void writeSetup(const Plan& plan);
    const QVariant& day(int offset);
    Party drawParty(const PlannedGroup& g);
    std::size_t guestFor(const Party& party, int from, bool& isNew);
    void writePerson(const Guest& g, const QString& address);
    QString groupName(const Party& party, const Guest* first);
    QString notes();
    void writeGroup(const Plan& plan, const PlannedGroup& g);
    void writeReservation(const Plan& plan, const PlannedGroup& g, const Party& party);
    const Guest* writeEntries(const Plan& plan, const PlannedGroup& g, const Party& party, int id);
    void writeCalculation(const Plan& plan, const PlannedGroup& g, const Party& party, int id,
                          const QString& name, const QString& notes);
    Money writeCalculationLines(const Plan& plan, const PlannedGroup& g, int id, int discount,
                                const QString& ground, int rate, Money& tax);
    bool planPayments(const PlannedGroup& g, int id, Money due, bool invoice, bool transfer);
    void writePayments();
    void writeInvoiceNumbers();
    void raiseSequence(const char* table, int value);

    QSqlDatabase m_db;
    std::mt19937 m_rng;
    QDate m_today;
    int m_firstDay = 0;
    std::vector<QVariant> m_days;
    std::vector<int> m_originCountry; // Panstwo.ID of each origin, 0 when missing
    std::vector<int> m_foreignIds;    // every country but the home one
    std::vector<Guest> m_guests;
    std::vector<PendingPayment> m_payments;
    std::vector<Invoice> m_invoices;
    int m_nextPerson = 1;
    int m_nextGroup = 1;
    int m_nextReservation = 1;
    SyntheticCounts m_counts;
    Insert m_person, m_entry, m_kwatHot, m_kwatMsc, m_rezHot, m_rezMsc, m_kalk, m_kalkDet, m_kwit,
        m_rach;
};

} // namespace synthetic
