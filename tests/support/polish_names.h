#pragma once

#include <QStringList>

#include <algorithm>

// Names in Polish alphabetical order: Polish letters after their base letters
// (Ć after C, Ł after L, Ś after S, Ź and Ż after Z), small and capital
// letters alike ("de Gaulle" among the D's, "łata" between "Lis" and "Łoś").
// A byte-wise order puts the Polish letters and the small letters after Z.
inline const QStringList kNamesInPolishOrder = {
    "Cyran",   "Ćwik",  "Dąbrowski", "de Gaulle", "Lis",       "łata",  "Łoś",
    "Łukasz",  "Nowak", "Ńa",        "Ołówek",    "Ostrowski", "Szulc", "Śliwa",
    "Świątek", "Zając", "Zięba",     "Źródło",    "Żak"};

// The same names in the order a test writes them, neither sorted nor reversed.
inline QStringList namesAsWritten()
{
    QStringList out;
    for (qsizetype i = 0; i < kNamesInPolishOrder.size(); ++i)
        out << kNamesInPolishOrder[(i * 7 + 3) % kNamesInPolishOrder.size()];
    return out;
}

inline QStringList reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}

// Room numbers sort as text, by character codes: "10" before "2", and a
// capital letter before a small one ("1C" before "1b"), unlike names.
inline const QStringList kRoomsAsWritten = {"2", "1b", "10", "1C", "1A"};
inline const QStringList kRoomsInTextOrder = {"10", "1A", "1C", "1b", "2"};

// A list with each run of equal neighbours given once.
inline QStringList runs(const QStringList& list)
{
    QStringList out;
    for (const QString& s : list)
        if (out.isEmpty() || out.last() != s)
            out << s;
    return out;
}
