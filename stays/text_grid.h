#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// A grid of texts as the editor's lists hold them: column titles (row 0 of
// the grid on screen) and data rows addressed from 0. Column 0 is a narrow
// unnamed column; the room number is in column 1. A grid always keeps at
// least one data row, blank when the list is empty.
class TextGrid {
public:
    explicit TextGrid(QStringList titles = {});

    const QStringList& titles() const { return m_titles; }
    int columnCount() const { return static_cast<int>(m_titles.size()); }
    int rowCount() const { return static_cast<int>(m_rows.size()); }

    // Cells outside the grid read as "" and are never written.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // The room number of a row (column 1).
    QString key(int row) const { return cell(row, 1); }
    bool isBlank(int row) const;
    void blankRow(int row);

    void appendRow();
    void insertRow(int row); // a blank row before `row`; the rows below move down
    void takeRow(int row);   // the row goes; the grid may become empty

    // The first row whose column 1 equals `key` without regard to letter
    // case, or -1.
    int findKey(const QString& key) const;

private:
    QStringList m_titles;
    QList<QStringList> m_rows;
};

// Sorted insert by room number: the first row already holding the key
// (letter case ignored), else a new row before the first whose number is
// greater byte by byte (so "10" comes before "2"), using the blank row of an
// empty grid. The returned row holds the key in column 1.
int sortedInsert(TextGrid& grid, const QString& key);

// Removes a row; a grid's only row is blanked instead.
void removeRow(TextGrid& grid, int row);
// Removes the given rows one by one from the bottom up.
void removeRows(TextGrid& grid, QList<int> rows);
// Blanks the grid down to one data row.
void clearGrid(TextGrid& grid);

// Reads a "yyyy-mm-dd" cell; a part that is not a number reads as 1900, 1
// and 1, so an empty cell is 1900-01-01. A year below 1, a month outside 1 to
// 12 and a day the month does not have read the same way, so every cell reads
// as a valid day.
QDate readDateCell(const QString& text);
