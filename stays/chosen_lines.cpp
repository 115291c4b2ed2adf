#include "stays/chosen_lines.h"

TextGrid chosenGrid()
{
    return TextGrid({QString(), QStringLiteral("Nr pokoju"), QStringLiteral("Miejsc"),
                     QStringLiteral("Typ"), QStringLiteral("Rezw. miejsc."), QStringLiteral("K/M"),
                     QStringLiteral("Od"), QStringLiteral("Do")});
}

int numberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

int bedsToAdd(const QString& bedsCell, bool fromFreePlaces, bool singles, const QString& countText)
{
    int n = fromFreePlaces ? numberOr(bedsCell, 1) : bedsCell.toInt();
    if (singles) {
        const int m = numberOr(countText, 1);
        if (m < n)
            n = m;
    }
    return n;
}

int addToChosen(TextGrid& list, const RoomToAdd& add)
{
    int row = list.findKey(add.room);
    if (row < 0) {
        row = sortedInsert(list, add.room);
    } else if (list.cell(row, chosen::From) != add.from || list.cell(row, chosen::To) != add.to) {
        // The same room for other days is a line of its own.
        row = sortedInsert(list, QStringLiteral("xxx"));
    }
    bool held = false;
    const int former = list.cell(row, chosen::Beds).toInt(&held);
    list.setCell(row, chosen::Room, add.room);
    list.setCell(row, chosen::RoomBeds, add.roomBeds);
    list.setCell(row, chosen::Type, add.type);
    list.setCell(row, chosen::Beds, QString::number(held ? former + add.beds : add.beds));
    if (add.gender)
        list.setCell(row, chosen::Gender, *add.gender);
    list.setCell(row, chosen::From, add.from);
    list.setCell(row, chosen::To, add.to);
    return row;
}

BedsSummary bedsSummary(const QString& personsText, const TextGrid& list)
{
    BedsSummary s;
    int persons = numberOr(personsText, -1);
    if (persons == -1) {
        persons = 1;
        s.personsReset = true;
    }
    int beds = 0;
    for (int r = 0; r < list.rowCount(); ++r)
        beds += numberOr(list.cell(r, chosen::Beds), 0);
    s.text = QStringLiteral("Miejsc : ") + QString::number(beds);
    if (beds > persons)
        s.text += QStringLiteral(" (+") + QString::number(beds - persons) + QLatin1Char(')');
    else if (beds < persons)
        s.text += QStringLiteral(" (") + QString::number(beds - persons) + QLatin1Char(')');
    s.red = beds != persons;
    return s;
}

std::pair<QDate, QDate> groupDates(const QDate& from, const QDate& to, const TextGrid& list)
{
    QDate first = from;
    QDate last = to;
    for (int r = 0; r < list.rowCount(); ++r) {
        if (list.key(r).isEmpty())
            continue;
        first = std::min(first, readDateCell(list.cell(r, chosen::From)));
        last = std::max(last, readDateCell(list.cell(r, chosen::To)));
    }
    return {first, last};
}

QList<RoomLine> linesOf(const TextGrid& list)
{
    QList<RoomLine> lines;
    for (int r = 0; r < list.rowCount(); ++r) {
        if (list.key(r).isEmpty())
            continue;
        lines.append({list.key(r), list.cell(r, chosen::From), list.cell(r, chosen::To),
                      numberOr(list.cell(r, chosen::Beds), 1), list.cell(r, chosen::Gender)});
    }
    return lines;
}
