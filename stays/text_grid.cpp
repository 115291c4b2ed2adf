#include "stays/text_grid.h"

#include <algorithm>

TextGrid::TextGrid(QStringList titles)
    : m_titles(std::move(titles))
{
    appendRow();
}

QString TextGrid::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return m_rows[row][column];
}

void TextGrid::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    m_rows[row][column] = text;
}

bool TextGrid::isBlank(int row) const
{
    if (row < 0 || row >= rowCount())
        return true;
    return std::all_of(m_rows[row].cbegin(), m_rows[row].cend(),
                       [](const QString& s) { return s.isEmpty(); });
}

void TextGrid::blankRow(int row)
{
    if (row >= 0 && row < rowCount())
        m_rows[row] = QStringList(columnCount(), QString());
}

void TextGrid::appendRow()
{
    m_rows.append(QStringList(columnCount(), QString()));
}

void TextGrid::insertRow(int row)
{
    m_rows.insert(std::clamp(row, 0, rowCount()), QStringList(columnCount(), QString()));
}

void TextGrid::takeRow(int row)
{
    if (row >= 0 && row < rowCount())
        m_rows.removeAt(row);
}

int TextGrid::findKey(const QString& key) const
{
    for (int r = 0; r < rowCount(); ++r)
        if (this->key(r).compare(key, Qt::CaseInsensitive) == 0)
            return r;
    return -1;
}

int sortedInsert(TextGrid& grid, const QString& key)
{
    const int existing = grid.findKey(key);
    if (existing >= 0)
        return existing;
    const QByteArray keyBytes = key.toUtf8();
    int target = grid.rowCount();
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (grid.key(r).toUtf8() > keyBytes) {
            target = r;
            break;
        }
    }
    if (grid.rowCount() == 0) {
        grid.appendRow();
        target = 0;
    } else if (grid.isBlank(0)) {
        target = 0;
    } else {
        grid.insertRow(target);
    }
    grid.blankRow(target);
    grid.setCell(target, 1, key);
    return target;
}

void removeRow(TextGrid& grid, int row)
{
    if (row < 0 || row >= grid.rowCount())
        return;
    if (grid.rowCount() == 1)
        grid.blankRow(0);
    else
        grid.takeRow(row);
}

void removeRows(TextGrid& grid, QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows)
        removeRow(grid, r);
}

void clearGrid(TextGrid& grid)
{
    while (grid.rowCount() > 1)
        grid.takeRow(grid.rowCount() - 1);
    if (grid.rowCount() == 0)
        grid.appendRow();
    grid.blankRow(0);
}

namespace {
int partOf(const QString& text, int from, int length, int fallback)
{
    bool ok = false;
    const int value = text.mid(from, length).toInt(&ok);
    return ok ? value : fallback;
}
} // namespace

QDate readDateCell(const QString& text)
{
    // Year 0 and years before it are no day QDate can hold; they read as "not a number".
    int year = partOf(text, 0, 4, 1900);
    if (year < 1)
        year = 1900;
    int month = partOf(text, 5, 2, 1);
    if (month < 1 || month > 12)
        month = 1;
    int day = partOf(text, 8, 2, 1);
    if (!QDate::isValid(year, month, day))
        day = 1;
    return QDate(year, month, day);
}
