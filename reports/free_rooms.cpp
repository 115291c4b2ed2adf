#include "reports/free_rooms.h"

#include "db/sql.h"
#include "reports/engine/mask.h"

namespace {
constexpr int kCenter = Qt::AlignCenter;
constexpr qreal kRow = 6;

QVariant dayOrNull(const QDate& day)
{
    return day.isValid() ? dayValue(day) : QVariant();
}

QVariant daysOrNull(const QDate& from, const QDate& to)
{
    return to.isValid() ? QVariant(from.daysTo(to)) : QVariant();
}

// The row with `room` in `column` (room numbers compared as stored), or -1.
int findRoom(const ReportData& rows, const QString& column, const QString& room)
{
    for (int i = 0; i < rows.rowCount(); ++i)
        if (rows.value(i, column).toString() == room)
            return i;
    return -1;
}

struct Column {
    const char* name;
    QString heading;
    QString field;
    qreal width;
    ValueKind kind = ValueKind::Auto;
};

// The headings of one section, shown only while that section prints.
void addSection(Band& header, Band& detail, const QList<Column>& columns, const QString& prefix)
{
    qreal x = 0;
    for (const Column& c : columns) {
        const QString name = prefix + QString::fromLatin1(c.name);
        Control& h = header.addText(name, QRectF(x, 0.5, c.width, kRow), c.heading, kCenter,
                                    reportFont(7, true));
        h.visible = prefix == QLatin1String("Pokoje");
        Control& f = detail.addField(QString::fromLatin1(c.name), QRectF(x, 0, c.width, kRow),
                                     c.field, {}, kCenter);
        f.valueKind = c.kind;
        x += c.width;
    }
    detail.addLine(QPointF(0, kRow + 0.3), QPointF(x, kRow + 0.3), 0.1);
}

void showSection(Band& header, bool beds)
{
    for (Control& c : header.controls)
        if (c.kind == ControlKind::Text)
            c.visible =
                c.name.startsWith(beds ? QLatin1String("Miejsca") : QLatin1String("Pokoje"));
}
} // namespace

void FreeRooms::load(QSqlDatabase db, const QDate& day)
{
    // Read into fresh lists, so a failure leaves the lists of the last day
    // read, with that day.
    FreeRooms fresh;
    fresh.read(db, day);
    *this = std::move(fresh);
}

void FreeRooms::read(QSqlDatabase db, const QDate& day)
{
    m_day = day;
    const QVariant d = dayValue(day);
    m_grupPokoje = ReportRows::fromSql(
        db,
        QStringLiteral("SELECT Nr_pokoju, Min(Od) AS ODKiedy FROM Kwat_i_Rez WHERE Od > :D "
                       "GROUP BY Nr_pokoju"),
        {{":D", d}});
    m_grupMiejsca = ReportRows::fromSql(
        db,
        QStringLiteral("SELECT Nr_pokoju, Od AS ODKiedy, Sum(Miejsc) AS Zajetych FROM Kwat_i_Rez "
                       "WHERE Od > :D GROUP BY Nr_pokoju, Od ORDER BY Nr_pokoju, Od"),
        {{":D", d}});
    const ReportRows rooms = ReportRows::fromSql(
        db,
        QStringLiteral(
            "SELECT P.Nr_Pokoju, P.Miejsc, P.Typ, P.Opis FROM Pokoje AS P WHERE P.Nr_Pokoju NOT "
            "IN (SELECT Nr_pokoju FROM Kwat_msc K WHERE K.Nr_pokoju = P.Nr_Pokoju AND K.\"Do\" > "
            ":D AND K.Od <= :D) AND P.Nr_Pokoju NOT IN (SELECT Nr_pokoju FROM Rez_msc K WHERE "
            "K.Nr_pokoju = P.Nr_Pokoju AND K.\"Do\" > :D AND K.Od <= :D) ORDER BY P.Nr_Pokoju"),
        {{":D", d}});
    // Plec: the gender of the line that comes first by arrival among those
    // taking the room on the day.
    const ReportRows beds = ReportRows::fromSql(
        db,
        QStringLiteral(
            "SELECT M.Nr_pokoju, M.Miejsc, M.Typ, Sum(M.Miejsc1) AS Zajetych, (SELECT F.Jaki "
            "FROM Miejsca F WHERE F.Nr_pokoju = M.Nr_pokoju AND F.\"Do\" > :D AND F.Od <= :D "
            "ORDER BY F.Od LIMIT 1) AS Plec FROM Miejsca M WHERE M.\"Do\" > :D AND M.Od <= :D "
            "GROUP BY M.Nr_pokoju, M.Miejsc, M.Typ HAVING Sum(M.Miejsc1) < M.Miejsc "
            "ORDER BY M.Nr_pokoju"),
        {{":D", d}});

    m_blocked = ReportRows::fromSql(
        db,
        QStringLiteral("SELECT B.Nr_pokoju, P.Miejsc, B.Od, B.\"Do\", B.Powod FROM Blokady B "
                       "LEFT JOIN Pokoje P ON P.Nr_Pokoju = B.Nr_pokoju "
                       "WHERE B.Od <= :D AND B.\"Do\" >= :D ORDER BY B.Nr_pokoju, B.Od"),
        {{":D", d}});
    const auto isBlocked = [this](const QString& room) {
        return findRoom(m_blocked, QStringLiteral("Nr_pokoju"), room) >= 0;
    };
    const ReportRows laterBlocks = ReportRows::fromSql(
        db,
        QStringLiteral("SELECT Nr_pokoju, Min(Od) AS Od FROM Blokady WHERE Od > :D "
                       "GROUP BY Nr_pokoju"),
        {{":D", d}});
    // The earlier of the next arrival and the next block.
    const auto freeTill = [&laterBlocks](const QString& room, const QDate& arrival) {
        const int b = findRoom(laterBlocks, QStringLiteral("Nr_pokoju"), room);
        const QDate block =
            b < 0 ? QDate() : dayFromValue(laterBlocks.value(b, QStringLiteral("Od")));
        if (!block.isValid())
            return arrival;
        return arrival.isValid() && arrival < block ? arrival : block;
    };

    m_pokoje = ReportRows(
        QStringList(rooms.columns()) << QStringLiteral("Do") << QStringLiteral("Dni"), {});
    m_roomBeds = 0;
    for (int i = 0; i < rooms.rowCount(); ++i) {
        const QString room = rooms.value(i, QStringLiteral("Nr_Pokoju")).toString();
        if (isBlocked(room))
            continue;
        const int g = findRoom(m_grupPokoje, QStringLiteral("Nr_pokoju"), room);
        const QDate until = freeTill(
            room, g < 0 ? QDate() : dayFromValue(m_grupPokoje.value(g, QStringLiteral("ODKiedy"))));
        QVariantList row;
        for (const QString& c : rooms.columns())
            row << rooms.value(i, c);
        row << dayOrNull(until) << daysOrNull(day, until);
        m_pokoje.append(row);
        m_roomBeds += rooms.value(i, QStringLiteral("Miejsc")).toInt();
    }

    m_miejsca = ReportRows(QStringList(beds.columns())
                               << QStringLiteral("Wolnych") << QStringLiteral("DoKiedy")
                               << QStringLiteral("Dni"),
                           {});
    m_freeBeds = 0;
    for (int i = 0; i < beds.rowCount(); ++i) {
        const QString room = beds.value(i, QStringLiteral("Nr_pokoju")).toString();
        if (isBlocked(room))
            continue;
        const int taken = beds.value(i, QStringLiteral("Zajetych")).toInt();
        const int free = beds.value(i, QStringLiteral("Miejsc")).toInt() - taken;
        const QDate until = freeTill(room, freeUntil(m_grupMiejsca, room, taken));
        QVariantList row;
        for (const QString& c : beds.columns())
            row << beds.value(i, c);
        row << free << dayOrNull(until) << daysOrNull(day, until);
        m_miejsca.append(row);
        m_freeBeds += free;
    }
}

QString FreeRooms::blockedText() const
{
    QStringList parts;
    for (int i = 0; i < m_blocked.rowCount(); ++i) {
        const QString reason = m_blocked.value(i, QStringLiteral("Powod")).toString();
        const QString until = m_blocked.value(i, QStringLiteral("Do")).toString();
        parts << QStringLiteral("%1 (%2do %3)")
                     .arg(m_blocked.value(i, QStringLiteral("Nr_pokoju")).toString(),
                          reason.isEmpty() ? QString() : reason + QStringLiteral(", "), until);
    }
    return parts.join(QStringLiteral(", "));
}

QDate FreeRooms::freeUntil(const ReportData& groups, const QString& room, int takenOnDay)
{
    for (int i = 0; i < groups.rowCount(); ++i)
        if (groups.value(i, QStringLiteral("Nr_pokoju")).toString() == room &&
            groups.value(i, QStringLiteral("Zajetych")).toInt() > takenOnDay)
            return dayFromValue(groups.value(i, QStringLiteral("ODKiedy")));
    return {};
}

TRapPokoje::TRapPokoje(const FreeRooms& rooms)
{
    title = QStringLiteral("Wolne pokoje i miejsca");
    page.columns = 2;
    const QString day = formatDate(rooms.day(), QStringLiteral("yyyy-mm-dd"));
    m_roomsTitle = QStringLiteral("Wolne pokoje od dnia ") + day;
    m_bedsTitle = QStringLiteral("Wolne miejsca od dnia ") + day;

    Band& header = setPageHeader(11);
    header.addText(QStringLiteral("Tytul"), QRectF(0, 0, 190, 8), m_roomsTitle, kCenter,
                   reportFont(12, true));
    header.beforePrint = [this](BandContext& ctx) {
        ctx.suppress = !m_titleOn;
        ctx.band.setText(QStringLiteral("Tytul"), m_beds ? m_bedsTitle : m_roomsTitle);
    };
    Band& headings = setColumnHeader(kRow + 1);
    headings.addLine(QPointF(0, kRow + 0.8), QPointF(page.columnWidth(), kRow + 0.8));

    Band& roomRows = *addData(&rooms.pytPokoje(), kRow + 0.5, QStringLiteral("Pokoje")).detail;
    addSection(headings, roomRows,
               {{"Nr_Pokoju", QStringLiteral("Numer pokoju"), QStringLiteral("Nr_Pokoju"), 27},
                {"Miejsc", QStringLiteral("Miejsc"), QStringLiteral("Miejsc"), 18},
                {"Do", QStringLiteral("Do"), QStringLiteral("Do"), 27, ValueKind::Day},
                {"Dni", QStringLiteral("Dni"), QStringLiteral("Dni"), 18}},
               QStringLiteral("Pokoje"));
    // Marks the rooms section as printed, so that the beds begin a new page
    // even when there was no free room.
    addLoop(0.1, 1, QStringLiteral("KoniecPokoi"));

    Band& start = addLoop(0, 1, QStringLiteral("PoczatekMiejsc"));
    start.newPageBefore = true;
    start.enabled = !rooms.pytMiejsca().isEmpty();
    start.beforePrint = [this, &headings](BandContext&) {
        m_beds = true;
        showSection(headings, true);
    };
    Band& bedRows = *addData(&rooms.pytMiejsca(), kRow + 0.5, QStringLiteral("Miejsca")).detail;
    addSection(headings, bedRows,
               {{"Nr_pokoju", QStringLiteral("Numer pokoju"), QStringLiteral("Nr_pokoju"), 23},
                {"Miejsc", QStringLiteral("Rozmiar"), QStringLiteral("Miejsc"), 14},
                {"Wolnych", QStringLiteral("Wolnych"), QStringLiteral("Wolnych"), 14},
                {"Plec", QStringLiteral("Płeć"), QStringLiteral("Plec"), 9},
                {"DoKiedy", QStringLiteral("Do"), QStringLiteral("DoKiedy"), 22, ValueKind::Day},
                {"Dni", QStringLiteral("Dni"), QStringLiteral("Dni"), 9}},
               QStringLiteral("Miejsca"));
    // Rooms out of use on the day, after both lists.
    Band& blocked = addLoop(kRow * 2, 1, QStringLiteral("Zablokowane"));
    blocked.enabled = !rooms.blocked().isEmpty();
    Control& text = blocked.addText(QStringLiteral("Zablokowane"),
                                    QRectF(0, 1, page.columnWidth(), kRow * 2 - 1),
                                    QStringLiteral("Pokoje zablokowane: ") + rooms.blockedText(),
                                    Qt::AlignLeft | Qt::AlignTop, reportFont(8));
    text.wordWrap = true;
    text.stretch = true;
    // Once the beds' headings have printed, the pages after carry no title.
    headings.afterPrint = [this](BandContext&) {
        if (m_beds)
            m_titleOn = false;
    };
    onStart([this, &headings] {
        m_beds = false;
        m_titleOn = true;
        showSection(headings, false);
    });
}

LaunchResult printFreeRooms(const FreeRooms& rooms, ReportOutput mode)
{
    if (rooms.pytPokoje().isEmpty() && rooms.pytMiejsca().isEmpty() && rooms.blocked().isEmpty())
        return LaunchResult::failure(kNoDataMessage);
    TRapPokoje report(rooms);
    runReport(report, mode);
    return LaunchResult::success();
}
