#include "tests/stays/stays_fixture.h"

#include "stays/chosen_lines.h"

void addRooms(TestEnv& env, const QStringList& rooms)
{
    for (const QString& room : rooms) {
        const QStringList f = room.split(QLatin1Char(':'));
        env.exec(QStringLiteral("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) "
                                "VALUES (?, ?, ?, ?)"),
                 {f.value(0), f.value(1).toInt(), f.value(2), f.value(3)});
    }
}

void addLines(TestEnv& env, const QStringList& lines)
{
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char(' '));
        const bool reservation = f[0].startsWith(QLatin1Char('R'));
        const int id = f[0].mid(1).toInt();
        const QString head = reservation ? QStringLiteral("Rez_hot") : QStringLiteral("Kwat_hot");
        const QString table = reservation ? QStringLiteral("Rez_msc") : QStringLiteral("Kwat_msc");
        if (env.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE Identyfikator = ?").arg(head),
                       {id})
                .toInt() == 0)
            env.exec(QStringLiteral("INSERT INTO %1 (Identyfikator, Nazwa, Osob, Od, \"Do\") "
                                    "VALUES (?, 'Grupa', 1, ?, ?)")
                         .arg(head),
                     {id, dayStr(f[3].toInt()), dayStr(f[4].toInt())});
        env.exec(QStringLiteral("INSERT INTO %1 (Identyfikator, Nr_pokoju, Miejsc, Od, \"Do\", "
                                "Jaki) VALUES (?, ?, ?, ?, ?, ?)")
                     .arg(table),
                 {id, f[1], f[2].toInt(), dayStr(f[3].toInt()), dayStr(f[4].toInt()), f.value(5)});
    }
}

TextGrid chosenFrom(const QStringList& rows)
{
    TextGrid grid = chosenGrid();
    for (const QString& text : rows) {
        const QStringList f = text.split(QLatin1Char(':'));
        const int row = grid.isBlank(grid.rowCount() - 1) ? grid.rowCount() - 1
                                                          : (grid.appendRow(), grid.rowCount() - 1);
        grid.setCell(row, chosen::Room, f[0]);
        grid.setCell(row, chosen::RoomBeds, f[1]);
        grid.setCell(row, chosen::Type, f[2]);
        grid.setCell(row, chosen::Beds, f[3]);
        grid.setCell(row, chosen::Gender, f[4]);
        grid.setCell(row, chosen::From, dayStr(f[5].toInt()));
        grid.setCell(row, chosen::To, dayStr(f[6].toInt()));
    }
    return grid;
}

QStringList gridRows(const TextGrid& grid, int lastColumn)
{
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (grid.isBlank(r))
            continue;
        QStringList cells;
        for (int c = 1; c <= lastColumn; ++c)
            cells << grid.cell(r, c);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}
