#include "reports/guest_lists.h"

#include "core/days.h"

#include <QLocale>

Statement currentGuestsStatement(int dataFilter)
{
    // (Pelne_dane=A or Pelne_dane=B): both values for all, one of them otherwise.
    const int a = dataFilter == 2 ? 0 : 1;
    const int b = dataFilter == 1 ? 1 : 0;
    // One row per distinct entry (a group's every room repeats it); groups in
    // the order their rooms were taken, a group's guests in the order entered.
    return {QStringLiteral(
                "select Ksiazka.Pelne_dane, Ksiazka.Identyfikator_o, "
                "Kwat_hot.Identyfikator, Kwat_hot.Nazwa, Arch_os.Nazwisko, Arch_os.Imie, "
                "Ksiazka.Od, Ksiazka.\"Do\", Ksiazka.Nr_pokoju from Arch_os inner join Ksiazka on "
                "Arch_os.Identyfikator_o=Ksiazka.Identyfikator_o inner join Kwat_hot on "
                "Ksiazka.Identyfikator_g=Kwat_hot.Identyfikator inner join Kwat_msc on "
                "Kwat_hot.Identyfikator=Kwat_msc.Identyfikator where (Ksiazka.Pelne_dane=:A or "
                "Ksiazka.Pelne_dane=:B) group by Ksiazka.Pelne_dane, Ksiazka.Identyfikator_o, "
                "Kwat_hot.Identyfikator, Kwat_hot.Nazwa, Arch_os.Nazwisko, Arch_os.Imie, "
                "Ksiazka.Od, Ksiazka.\"Do\", Ksiazka.Nr_pokoju "
                "order by min(Kwat_msc.rowid), min(Ksiazka.rowid)"),
            {{QStringLiteral(":A"), a}, {QStringLiteral(":B"), b}}};
}

QStringList currentGuestsFilterItems()
{
    return {QStringLiteral("Wszystkie Osoby"), QStringLiteral("Pełne Dane"),
            QStringLiteral("Niepełne Dane")};
}

Statement roomListStatement(int kind, const QDate& day)
{
    if (kind == 2)
        return {QStringLiteral(
                    "select Kwat_msc.Identyfikator, Kwat_msc.Miejsc, Kwat_hot.Nazwa, Kwat_msc.Od, "
                    "Kwat_msc.\"Do\", Kwat_msc.Nr_pokoju, Kwat_hot.Od as HotOd, Kwat_hot.\"Do\" "
                    "as HotDo, Kwat_hot.Osob from Kwat_hot inner join Kwat_msc on "
                    "Kwat_hot.Identyfikator=Kwat_msc.Identyfikator where Kwat_msc.\"Do\"=:Dzien"),
                {{QStringLiteral(":Dzien"), dayValue(day)}}};
    const QString base = QStringLiteral(
        "select Rez_msc.Identyfikator, Rez_msc.Miejsc, Rez_hot.Nazwa, Rez_msc.Od, "
        "Rez_msc.\"Do\", Rez_msc.Nr_pokoju, Rez_hot.Od as HotOd, Rez_hot.\"Do\" as HotDo, "
        "Rez_hot.Osob from Rez_hot inner join Rez_msc on "
        "Rez_hot.Identyfikator=Rez_msc.Identyfikator");
    if (kind == 3)
        return {base, {}};
    return {base + QStringLiteral(" where Rez_msc.Od=:Dzien"),
            {{QStringLiteral(":Dzien"), dayValue(day)}}};
}

Statement groupsOfDayStatement(const QDate& day)
{
    // Every accommodation group with its register entries, or one row of its
    // own while it has none.
    return {QStringLiteral(
                "select Kwat_hot.Nazwa, Kwat_hot.Osob, Kwat_hot.Od as KwatOd, Kwat_hot.\"Do\" as "
                "KwatDo, A.Nazwisko, A.Imie, A.Nr_pokoju, A.Od as ArchOd, A.\"Do\" as ArchDo, "
                "A.Identyfikator_o as ID, case when A.Identyfikator_o is null or "
                "A.Identyfikator_o<1 then Kwat_hot.Nazwa||' (grupa '||coalesce(CAST(Kwat_hot.Osob "
                "AS TEXT),'')"
                "||' osób)' else coalesce(A.Nazwisko,'')||' '||coalesce(A.Imie,'') end as Dane, "
                "case when A.Identyfikator_o is null or A.Identyfikator_o<1 then Kwat_hot.\"Do\" "
                "else A.\"Do\" end as Data from Kwat_hot left join Arch_join_Ksiazka A on "
                "A.Identyfikator_g=Kwat_hot.Identyfikator where Kwat_hot.Od=:Dzien or A.Od=:Dzien"),
            {{QStringLiteral(":Dzien"), dayValue(day)}}};
}

QString dayWithWeekday(const QDate& day)
{
    return dayText(day) + QStringLiteral(" (") + QLocale().dayName(day.dayOfWeek()) +
           QLatin1Char(')');
}
