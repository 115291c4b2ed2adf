#pragma once

#include <QSqlDatabase>

#include <cstdint>

// What a synthetic database was given, for the caller's summary.
struct SyntheticCounts {
    int rooms = 0;
    int registerEntries = 0;
    int persons = 0;
    int calculations = 0;
    int calculationLines = 0;
    int payments = 0;
    int invoices = 0;
    int staying = 0;      // accommodation groups in the house today
    int reservations = 0; // reservation groups still to come
};

// Fills a fresh database (nothing in it but the countries and the Config row)
// with a large, realistic hotel: `rooms` rooms with a price list, `years` years
// of checked-out stays up to today() with their register, calculations,
// payments and invoices, today's guests, and a year of reservations. One
// transaction; the same seed and the same today() give the same database.
// Throws DbError (and writes nothing) when a statement fails.
SyntheticCounts insertSyntheticData(QSqlDatabase db, int years, int rooms,
                                    std::uint32_t seed = 20260715);
