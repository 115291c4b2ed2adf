#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringView>

struct sqlite3;

// Polish alphabetical order, the order of every list sorted by a text:
//
//     A Ą B C Ć D E Ę F G H I J K L Ł M N Ń O Ó P Q R S Ś T U V W X Y Z Ź Ż
//
// Letters are compared without regard to case; another accented letter (é, ü)
// goes with its base letter; blanks and punctuation come before digits, and
// digits before letters. Texts equal so far differ first by case (the small
// letter first: "de Gaulle" before "De Gaulle"), then by code points, so only
// identical texts compare equal and the order is total. Returns <0, 0 or >0.
int comparePolish(QStringView a, QStringView b);

inline bool lessPolish(QStringView a, QStringView b)
{
    return comparePolish(a, b) < 0;
}

// The same order on the database connection, as the collation PL:
//
//     ORDER BY Arch_os.Nazwisko COLLATE PL
//
// It lives in the program, not in the file. No table or view names it; the
// person archive's name indexes do (an index serves ORDER BY ... COLLATE PL
// only when declared with it), so a connection that writes person records
// must register it first: any SQLite tool still reads the file. Room numbers
// do not take it: they sort as plain text ("10" before "2").
inline const QString kCollatePolish = QStringLiteral(" COLLATE PL");

// Adds the collation PL, and the function casefold(text) (the text with its
// letters folded to one case, Polish ones too, for a LIKE that ignores case:
// casefold(Nazwa) LIKE casefold(:x)), to an open connection. Every connection
// the program opens gets them right after opening. Throws DbError when the
// connection is not an open SQLite one or SQLite refuses.
void addPolishText(QSqlDatabase db);
void addPolishText(sqlite3* handle);
