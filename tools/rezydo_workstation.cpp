// rezydo-workstation DB --seed N --seconds S --journal FILE [--name W] [--kill-mode checkin]
// rezydo-workstation DB --reserve-once --journal FILE [--name W]
//
// One more front desk on a database file that other copies of the program use
// at the same time: it keeps saving reservations and walk-ins, checking in,
// registering persons, creating calculations, issuing invoices, taking payments and checking
// out, with the program's own logic and connection, and no windows. Every
// operation leaves one line in the journal (flushed at once), so whoever
// reads it afterwards knows what was reported as done:
//
//     kind TAB key=value,... TAB outcome TAB text
//
// outcome is "ok", "refused" (text: the message the desk would have shown),
// "double-booking" (the save asked "Zajęte miejsca" and was answered No) or
// "skipped" (nothing to work on). --kill-mode checkin loops large check-ins
// with a tiny page cache, so that the file is written long before a commit:
// a process killed in the middle must leave a database that rolls back whole.
// --reserve-once saves one reservation on the first free room and ends.
#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/payments.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/engine.h"
#include "db/sql.h"
#include "register/bed_slots.h"
#include "register/person_record.h"
#include "stays/availability.h"
#include "stays/check_in_out.h"
#include "stays/chosen_lines.h"
#include "stays/stay_store.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {
struct Options {
    QString database;
    QString journal;
    QString name;
    quint32 seed = 1;
    int seconds = 5;
    bool killMode = false;
    bool reserveOnce = false;
};

std::optional<Options> parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QStringLiteral("--seed") && hasValue)
            o.seed = args[++i].toUInt(&ok);
        else if (a == QStringLiteral("--seconds") && hasValue)
            o.seconds = args[++i].toInt(&ok);
        else if (a == QStringLiteral("--journal") && hasValue)
            o.journal = args[++i];
        else if (a == QStringLiteral("--name") && hasValue)
            o.name = args[++i];
        else if (a == QStringLiteral("--kill-mode") && hasValue) {
            o.killMode = true;
            ok = args[++i] == QStringLiteral("checkin");
        } else if (a == QStringLiteral("--reserve-once"))
            o.reserveOnce = true;
        else if (o.database.isEmpty() && !a.startsWith(QStringLiteral("--")))
            o.database = a;
        else
            ok = false;
        if (!ok)
            return std::nullopt;
    }
    if (o.database.isEmpty() || o.journal.isEmpty() || o.seconds < 0)
        return std::nullopt;
    if (o.name.isEmpty())
        o.name = QStringLiteral("W%1").arg(o.seed);
    return o;
}

// The desk nobody sits at: the double-booking question is answered No, every
// dialog is cancelled, and the last message shown is kept for the journal.
class DeskPrompter : public Prompter {
public:
    QString lastMessage;
    QString lastQuestion;

    bool ask(const QString& text, const QString& caption, bool) override
    {
        lastQuestion = caption + QStringLiteral(": ") + text;
        return false;
    }
    void message(const QString& text, const QString& caption, Icon) override
    {
        lastMessage = caption + QStringLiteral(": ") + text;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFile(const QString&, const QString&, const QString&, const QString&, const QString&,
                     Existing) override
    {
        return {};
    }
    void clear()
    {
        lastMessage.clear();
        lastQuestion.clear();
    }
};

class Journal {
public:
    explicit Journal(const QString& path)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            throw RezydoError(QStringLiteral("cannot write the journal ") + path);
    }
    void write(const QString& kind, const QString& ids, const QString& outcome,
               const QString& text = {})
    {
        QString clean = text;
        clean.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        m_file.write((kind + QLatin1Char('\t') + ids + QLatin1Char('\t') + outcome +
                      QLatin1Char('\t') + clean + QLatin1Char('\n'))
                         .toUtf8());
        m_file.flush();
    }

private:
    QFile m_file;
};

// Which operation the desk does next, and how often.
enum class Op { Reserve, WalkIn, CheckIn, Register, Calculate, Pay, Issue, CheckOut };
struct Weighted {
    Op op;
    int weight;
};
constexpr Weighted kMix[] = {{Op::Reserve, 24},  {Op::WalkIn, 10},    {Op::CheckIn, 14},
                             {Op::Register, 20}, {Op::Calculate, 10}, {Op::Pay, 12},
                             {Op::Issue, 10},    {Op::CheckOut, 10}};

class Desk {
public:
    Desk(const Options& o, DeskPrompter& prompter, Journal& journal)
        : m_name(o.name)
        , m_random(o.seed)
        , m_prompter(prompter)
        , m_journal(journal)
        , m_base(today().addDays(100))
    {
    }

    void runMix(const QDeadlineTimer& deadline)
    {
        int total = 0;
        for (const Weighted& w : kMix)
            total += w.weight;
        while (!deadline.hasExpired()) {
            int pick = m_random.bounded(total);
            for (const Weighted& w : kMix) {
                if (pick < w.weight) {
                    run(w.op);
                    break;
                }
                pick -= w.weight;
            }
        }
    }

    void reserveOnce() { run(Op::Reserve); }

    // Large check-ins, one after the other, until the process is killed or
    // the time is up.
    void runLargeCheckIns(const QDeadlineTimer& deadline)
    {
        // A small page cache makes the file's writes spill to it early.
        if (engineOf(db()) == Engine::File)
            runSql(db(), QStringLiteral("PRAGMA cache_size=5"));
        for (int i = 0; !deadline.hasExpired(); ++i) {
            const QDate from = m_base.addDays(400 + 3 * i);
            StayForm form = formFor(QStringLiteral("%1-duza-%2").arg(m_name).arg(i), 40, from);
            Availability availability;
            TextGrid rooms = Availability::freeRoomsGrid();
            availability.fillFreeRooms(db(), request(form.from, form.to), rooms);
            for (int row = 0; row < std::min(rooms.rowCount(), 6); ++row)
                if (!rooms.key(row).isEmpty())
                    addRoom(form, rooms, row, std::nullopt);
            if (linesOf(form.chosen).isEmpty())
                continue; // earlier desks took these days; a group needs a room
            const SaveOutcome saved = saveStay(db(), StayMode::NewReservation, 0, form);
            if (saved.kind != SaveOutcome::Saved)
                throw RezydoError(m_prompter.lastMessage);
            const QString ids = QStringLiteral("res=%1,persons=40,lines=%2,name=%3")
                                    .arg(saved.groupId)
                                    .arg(linesOf(form.chosen).size())
                                    .arg(form.name);
            m_journal.write(QStringLiteral("checkin-start"), ids, QStringLiteral("ok"));
            const std::optional<int> k = checkInReservation(db(), saved.groupId);
            if (k)
                m_journal.write(QStringLiteral("checkin"), ids + QStringLiteral(",grp=%1").arg(*k),
                                QStringLiteral("ok"));
            else
                m_journal.write(QStringLiteral("checkin"), ids, QStringLiteral("refused"),
                                m_prompter.lastMessage);
        }
    }

private:
    QSqlDatabase db() { return dataModule().database(); }
    QString marker() { return QStringLiteral("%1-%2").arg(m_name).arg(++m_counter); }

    // The receptionist looks at the screen a moment before pressing the button,
    // which is when another desk gets its chance.
    void think(int longer = 0) { QThread::msleep(5 + longer + m_random.bounded(30)); }

    void run(Op op)
    {
        m_prompter.clear();
        const QString kind = kindName(op);
        try {
            switch (op) {
            case Op::Reserve:
                saveNewStay(StayMode::NewReservation);
                break;
            case Op::WalkIn:
                saveNewStay(StayMode::NewAccommodation);
                break;
            case Op::CheckIn:
                checkIn();
                break;
            case Op::Register:
                registerPerson();
                break;
            case Op::Calculate:
                calculate();
                break;
            case Op::Pay:
                pay();
                break;
            case Op::Issue:
                issue();
                break;
            case Op::CheckOut:
                checkOut();
                break;
            }
        } catch (const RezydoError& e) {
            m_journal.write(kind, m_ids, QStringLiteral("refused"), e.text());
        }
        m_ids.clear();
    }

    static QString kindName(Op op)
    {
        switch (op) {
        case Op::Reserve:
            return QStringLiteral("reserve");
        case Op::WalkIn:
            return QStringLiteral("walkin");
        case Op::CheckIn:
            return QStringLiteral("checkin");
        case Op::Register:
            return QStringLiteral("register");
        case Op::Calculate:
            return QStringLiteral("calc");
        case Op::Pay:
            return QStringLiteral("pay");
        case Op::Issue:
            return QStringLiteral("invoice");
        case Op::CheckOut:
            return QStringLiteral("checkout");
        }
        return {};
    }

    AvailabilityRequest request(const QDate& from, const QDate& to) const
    {
        AvailabilityRequest r;
        r.from = from;
        r.to = to;
        r.chosen = &m_noneChosen;
        r.filters = QStringList(4);
        return r;
    }

    StayForm formFor(const QString& name, int persons, const QDate& from) const
    {
        StayForm form;
        form.name = name;
        form.persons = QString::number(persons);
        form.from = from;
        form.to = from.addDays(3);
        form.chosen = chosenGrid();
        return form;
    }

    static void addRoom(StayForm& form, const TextGrid& list, int row, std::optional<int> freeBeds)
    {
        RoomToAdd add;
        add.room = list.key(row);
        add.roomBeds = list.cell(row, 2);
        add.type = list.cell(row, 3);
        add.beds = freeBeds ? *freeBeds : list.cell(row, 2).toInt();
        add.from = dayText(form.from);
        add.to = dayText(form.to);
        addToChosen(form.chosen, add);
    }

    // Both desks look at the same three periods and take the first rooms the
    // lists offer, as receptionists do: the second save finds the beds gone.
    void saveNewStay(StayMode mode)
    {
        const QDate from = m_base.addDays(7 * m_random.bounded(3));
        StayForm form = formFor(marker(), 1, from);
        Availability availability;
        TextGrid rooms = Availability::freeRoomsGrid();
        availability.fillFreeRooms(db(), request(form.from, form.to), rooms);
        if (!rooms.key(0).isEmpty()) {
            addRoom(form, rooms, 0, std::nullopt);
        } else {
            TextGrid places = Availability::freePlacesGrid();
            availability.fillFreePlaces(db(), request(form.from, form.to), places);
            for (int row = 0; row < places.rowCount() && linesOf(form.chosen).isEmpty(); ++row)
                if (places.cell(row, 4).toInt() > 0)
                    addRoom(form, places, row, 1);
        }
        const QList<RoomLine> lines = linesOf(form.chosen);
        const QString kind = kindName(mode == StayMode::NewReservation ? Op::Reserve : Op::WalkIn);
        if (lines.isEmpty()) {
            m_journal.write(kind, QStringLiteral("name=") + form.name, QStringLiteral("skipped"));
            return;
        }
        form.persons = QString::number(lines.first().beds);
        m_ids = QStringLiteral("name=%1,room=%2,beds=%3,persons=%3,lines=1")
                    .arg(form.name, lines.first().room)
                    .arg(lines.first().beds);
        think(40);
        const SaveOutcome outcome = saveStay(db(), mode, 0, form);
        switch (outcome.kind) {
        case SaveOutcome::Saved:
            m_journal.write(kind,
                            m_ids + (mode == StayMode::NewReservation ? QStringLiteral(",res=%1")
                                                                      : QStringLiteral(",grp=%1"))
                                        .arg(outcome.groupId),
                            QStringLiteral("ok"));
            break;
        case SaveOutcome::Declined:
            m_journal.write(kind, m_ids, QStringLiteral("double-booking"), m_prompter.lastQuestion);
            break;
        case SaveOutcome::Refused:
        case SaveOutcome::NoRooms:
            m_journal.write(kind, m_ids, QStringLiteral("refused"), m_prompter.lastMessage);
            break;
        }
    }

    // A random row of a statement's first column, or 0 when there is none.
    int anyOf(const QString& sql)
    {
        QList<int> ids;
        {
            QSqlQuery q = runSql(db(), sql);
            while (q.next())
                ids.append(q.value(0).toInt());
        }
        return ids.isEmpty() ? 0 : ids.at(m_random.bounded(static_cast<int>(ids.size())));
    }

    void checkIn()
    {
        const int r = anyOf(QStringLiteral("SELECT Identyfikator FROM Rez_hot"));
        if (r == 0) {
            m_journal.write(QStringLiteral("checkin"), {}, QStringLiteral("skipped"));
            return;
        }
        // Nothing changes a reservation but its check-in, so these stay true.
        const int persons =
            scalarSql(db(), QStringLiteral("SELECT Osob FROM Rez_hot WHERE Identyfikator = :ID"),
                      {{":ID", r}})
                .toInt();
        const int lines =
            scalarSql(db(),
                      QStringLiteral("SELECT count(*) FROM Rez_msc WHERE Identyfikator = :ID"),
                      {{":ID", r}})
                .toInt();
        m_ids = QStringLiteral("res=%1,persons=%2,lines=%3").arg(r).arg(persons).arg(lines);
        think();
        const std::optional<int> k = checkInReservation(db(), r);
        if (k)
            m_journal.write(QStringLiteral("checkin"), m_ids + QStringLiteral(",grp=%1").arg(*k),
                            QStringLiteral("ok"));
        else
            m_journal.write(QStringLiteral("checkin"), m_ids, QStringLiteral("refused"),
                            m_prompter.lastMessage.isEmpty()
                                ? QStringLiteral("the reservation is gone")
                                : m_prompter.lastMessage);
    }

    void registerPerson()
    {
        int g = 0;
        int o = 0;
        {
            // Often the group that has stayed longest, which the other desks
            // are about to check out.
            const QString oldest = m_random.bounded(2) == 0
                                       ? QStringLiteral(" AND K.Identyfikator_g = (SELECT "
                                                        "min(Identyfikator) FROM Kwat_hot)")
                                       : QString();
            QSqlQuery q = runSql(db(), QStringLiteral("SELECT K.Identyfikator_g, K.Identyfikator_o "
                                                      "FROM Ksiazka K JOIN Kwat_hot H ON "
                                                      "H.Identyfikator = K.Identyfikator_g "
                                                      "WHERE K.Pelne_dane = 0") +
                                           oldest);
            QList<QPair<int, int>> entries;
            while (q.next())
                entries.append({q.value(0).toInt(), q.value(1).toInt()});
            if (!entries.isEmpty())
                std::tie(g, o) = entries.at(m_random.bounded(static_cast<int>(entries.size())));
        }
        const BedSlotList free = g ? buildBedSlots(db(), g, loadEntry(db(), g, o)) : BedSlotList{};
        if (free.beds.empty()) {
            m_journal.write(QStringLiteral("register"), {}, QStringLiteral("skipped"));
            return;
        }
        PersonSave save;
        save.groupId = g;
        save.personId = o;
        save.slot = free.beds.front();
        save.fields.Nazwisko = marker();
        save.fields.Imie = QStringLiteral("Jan");
        save.fields.Adres = QStringLiteral("ul. Krótka 1, Kraków");
        save.fields.ID_Panstwo = 1 + m_random.bounded(3);
        save.fields.Dokument_nr = QStringLiteral("ABC123456");
        m_ids = QStringLiteral("grp=%1,person=%2,name=%3,room=%4")
                    .arg(g)
                    .arg(o)
                    .arg(save.fields.Nazwisko, save.slot->Nr_pokoju);
        think(20);
        savePerson(db(), save);
        m_journal.write(QStringLiteral("register"), m_ids, QStringLiteral("ok"));
    }

    void calculate()
    {
        const int k = anyOf(QStringLiteral("SELECT Identyfikator FROM Kwat_hot WHERE Identyfikator "
                                           "NOT IN (SELECT Identyfikator FROM Kalk)"));
        if (k == 0) {
            m_journal.write(QStringLiteral("calc"), {}, QStringLiteral("skipped"));
            return;
        }
        m_ids = QStringLiteral("grp=%1").arg(k);
        think();
        createCalculation(db(), k);
        m_journal.write(QStringLiteral("calc"), m_ids, QStringLiteral("ok"));
    }

    void pay()
    {
        const int k = anyOf(QStringLiteral(
            "SELECT H.Identyfikator FROM Kwat_hot H JOIN Kalk C ON C.Identyfikator = "
            "H.Identyfikator"));
        if (k == 0) {
            m_journal.write(QStringLiteral("pay"), {}, QStringLiteral("skipped"));
            return;
        }
        Payment p;
        p.groupId = k;
        p.number = marker();
        p.amount = Money::fromUnits(10000LL * (1 + m_random.bounded(300)));
        p.day = today();
        p.type = 1 + m_random.bounded(3);
        m_ids =
            QStringLiteral("grp=%1,number=%2,amount=%3").arg(k).arg(p.number).arg(p.amount.units());
        think();
        const qint64 id = registerPayment(db(), p);
        m_journal.write(QStringLiteral("pay"), m_ids + QStringLiteral(",kwit=%1").arg(id),
                        QStringLiteral("ok"));
    }

    // The invoice page proposes a number; the receptionist accepts it, and the
    // number is taken when the invoice is written, so desks issuing at the same
    // moment never share one.
    void issue()
    {
        const int k = anyOf(QStringLiteral(
            "SELECT H.Identyfikator FROM Kwat_hot H JOIN Kalk C ON C.Identyfikator = "
            "H.Identyfikator WHERE coalesce(C.Typ, 0) <> 2"));
        if (k == 0) {
            m_journal.write(QStringLiteral("invoice"), {}, QStringLiteral("skipped"));
            return;
        }
        m_ids = QStringLiteral("grp=%1").arg(k);
        CalcHeader header = loadHeader(db(), k);
        header.name = marker();
        think();
        issueInvoice(db(), header, today(), today(), PaymentMethod::Cash, 14, std::nullopt,
                     invoiceSeries());
        m_journal.write(QStringLiteral("invoice"),
                        m_ids + QStringLiteral(",number=%1,series=%2,year=%3")
                                    .arg(*header.number)
                                    .arg(header.series)
                                    .arg(header.issueDate.year()),
                        QStringLiteral("ok"));
    }

    void checkOut()
    {
        const int k = anyOf(m_random.bounded(2) == 0
                                ? QStringLiteral("SELECT min(Identyfikator) FROM Kwat_hot")
                                : QStringLiteral("SELECT Identyfikator FROM Kwat_hot"));
        if (k == 0) {
            m_journal.write(QStringLiteral("checkout"), {}, QStringLiteral("skipped"));
            return;
        }
        m_ids = QStringLiteral("grp=%1").arg(k);
        think();
        if (checkOutGroup(db(), k))
            m_journal.write(QStringLiteral("checkout"), m_ids, QStringLiteral("ok"));
        else
            m_journal.write(QStringLiteral("checkout"), m_ids, QStringLiteral("refused"),
                            m_prompter.lastMessage);
    }

    QString m_name;
    QRandomGenerator m_random;
    DeskPrompter& m_prompter;
    Journal& m_journal;
    QDate m_base;
    TextGrid m_noneChosen = chosenGrid();
    int m_counter = 0;
    QString m_ids; // of the operation under way, for the journal line of a failure
};
// The server's driver warns when a statement prepared inside a transaction
// the server has given up is freed before the rollback: the transaction is
// then run again whole, so the warning tells of no fault. Everything else
// goes to the error output, where the test looks for the desk's faults.
QtMessageHandler g_defaultHandler = nullptr;

void deskMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("Unable to free statement: ")) &&
        text.contains(QLatin1String("current transaction is aborted")))
        return;
    g_defaultHandler(type, context, text);
}
} // namespace

int main(int argc, char* argv[])
{
    g_defaultHandler = qInstallMessageHandler(deskMessages);
    QCoreApplication app(argc, argv);
    const std::optional<Options> o = parse(QCoreApplication::arguments().mid(1));
    if (!o) {
        std::fprintf(stderr, "usage: rezydo-workstation DB --seed N --seconds S --journal FILE "
                             "[--name W] [--kill-mode checkin]\n"
                             "       rezydo-workstation DB --reserve-once --journal FILE "
                             "[--name W]\n");
        return 2;
    }
    // A database file, or a server's connection text.
    const bool onServer = o->database.contains(QLatin1Char('='));
    const QFileInfo file(o->database);
    if (!onServer && file.fileName() != QStringLiteral("Baza.mdb")) {
        std::fprintf(stderr, "rezydo-workstation: the database file must be named Baza.mdb\n");
        return 2;
    }
    // The settings of this desk live and die with it; the user's stay untouched.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.filePath("user"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, settings.filePath("machine"));
    if (!settings.isValid() ||
        !(onServer ? writeSetting(QStringLiteral("SerwerBazy"), o->database)
                   : writeSetting(QStringLiteral("KatalogBazy"), file.absolutePath()))) {
        std::fprintf(stderr, "rezydo-workstation: no place for the settings\n");
        return 1;
    }
    auto owned = std::make_unique<DeskPrompter>();
    DeskPrompter& desk = *owned;
    installPrompter(std::move(owned));
    try {
        DataModule data;
        data.openConnection();
        Journal journal(o->journal);
        Desk worker(*o, desk, journal);
        const QDeadlineTimer deadline(std::chrono::seconds(o->seconds));
        if (o->reserveOnce)
            worker.reserveOnce();
        else if (o->killMode)
            worker.runLargeCheckIns(deadline);
        else
            worker.runMix(deadline);
    } catch (const RezydoError& e) {
        std::fprintf(stderr, "rezydo-workstation: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
