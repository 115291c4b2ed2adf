#include "db/synthetic_names.h"

#include <iterator>

namespace synthetic {
namespace {

template <typename T, std::size_t N> std::size_t sizeOf(const T (&)[N])
{
    return N;
}

// Polish surnames in their male form; the female form is derived below.
const char* const kPolishSurnames[] = {
    "Nowak",       "Kowalski",    "Wiśniewski",  "Wójcik",      "Kowalczyk",    "Kamiński",
    "Lewandowski", "Zieliński",   "Szymański",   "Woźniak",     "Dąbrowski",    "Kozłowski",
    "Jankowski",   "Mazur",       "Kwiatkowski", "Krawczyk",    "Piotrowski",   "Grabowski",
    "Nowakowski",  "Pawłowski",   "Michalski",   "Nowicki",     "Adamczyk",     "Dudek",
    "Zając",       "Wieczorek",   "Jabłoński",   "Król",        "Majewski",     "Olszewski",
    "Jaworski",    "Wróbel",      "Malinowski",  "Pawlak",      "Witkowski",    "Walczak",
    "Stępień",     "Górski",      "Rutkowski",   "Michalak",    "Sikora",       "Ostrowski",
    "Baran",       "Duda",        "Szewczyk",    "Tomaszewski", "Pietrzak",     "Marciniak",
    "Wróblewski",  "Zalewski",    "Jakubowski",  "Jasiński",    "Zawadzki",     "Sadowski",
    "Bąk",         "Chmielewski", "Włodarczyk",  "Borkowski",   "Czarnecki",    "Sawicki",
    "Sokołowski",  "Urbański",    "Kubiak",      "Maciejewski", "Szczepański",  "Kucharski",
    "Wilk",        "Kalinowski",  "Lis",         "Mazurek",     "Wysocki",      "Adamski",
    "Kaźmierczak", "Wasilewski",  "Sobczak",     "Czerwiński",  "Andrzejewski", "Cieślak",
    "Głowacki",    "Zakrzewski",  "Kołodziej",   "Sikorski",    "Krajewski",    "Gajewski",
    "Szymczak",    "Szulc",       "Baranowski",  "Laskowski",   "Brzeziński",   "Makowski",
    "Ziółkowski",  "Przybylski",  "Domański",    "Nowacki",     "Borowski",     "Błaszczyk",
    "Chojnacki",   "Ciesielski",  "Mróz",        "Szczepaniak", "Wesołowski",   "Górecki",
    "Krupa",       "Kaczmarczyk", "Leśniak",     "Kaczmarek",   "Grzelak",      "Kowalewski",
    "Bielecki",    "Żak",         "Gołębiowski", "Lipiński"};
const char* const kPolishMen[] = {
    "Piotr",   "Krzysztof", "Andrzej", "Tomasz",  "Paweł",     "Jan",       "Michał",   "Marcin",
    "Jakub",   "Adam",      "Marek",   "Łukasz",  "Grzegorz",  "Mateusz",   "Wojciech", "Mariusz",
    "Dariusz", "Zbigniew",  "Jerzy",   "Maciej",  "Rafał",     "Robert",    "Kamil",    "Józef",
    "Szymon",  "Ryszard",   "Kacper",  "Bartosz", "Stanisław", "Sebastian", "Filip",    "Artur"};
const char* const kPolishWomen[] = {
    "Anna",     "Maria",     "Katarzyna", "Małgorzata", "Agnieszka",  "Barbara", "Ewa",
    "Krystyna", "Magdalena", "Elżbieta",  "Joanna",     "Aleksandra", "Monika",  "Zofia",
    "Teresa",   "Danuta",    "Natalia",   "Julia",      "Karolina",   "Marta",   "Beata",
    "Dorota",   "Halina",    "Jadwiga",   "Alicja",     "Iwona",      "Grażyna", "Paulina",
    "Justyna",  "Zuzanna",   "Hanna",     "Renata"};
const char* const kTowns[] = {"Warszawa",    "Kraków",        "Łódź",      "Wrocław",
                              "Poznań",      "Gdańsk",        "Szczecin",  "Bydgoszcz",
                              "Lublin",      "Białystok",     "Katowice",  "Gdynia",
                              "Częstochowa", "Radom",         "Toruń",     "Sosnowiec",
                              "Kielce",      "Rzeszów",       "Gliwice",   "Zabrze",
                              "Olsztyn",     "Bielsko-Biała", "Bytom",     "Zielona Góra",
                              "Rybnik",      "Opole",         "Tarnów",    "Nowy Sącz",
                              "Płock",       "Elbląg",        "Wałbrzych", "Gorzów Wielkopolski",
                              "Włocławek",   "Koszalin",      "Kalisz",    "Legnica",
                              "Grudziądz",   "Słupsk",        "Jaworzno",  "Jastrzębie-Zdrój",
                              "Żywiec",      "Zakopane",      "Przemyśl",  "Krosno",
                              "Sanok",       "Gorlice",       "Limanowa",  "Myślenice"};
const char* const kStreets[] = {
    "Długa",        "Polna",         "Leśna",     "Słoneczna",  "Krótka",       "Szkolna",
    "Ogrodowa",     "Lipowa",        "Łąkowa",    "Brzozowa",   "Kwiatowa",     "Kościelna",
    "Sosnowa",      "Zielona",       "Parkowa",   "Akacjowa",   "Mickiewicza",  "Kolejowa",
    "Ogrodowa",     "Wiśniowa",      "Różana",    "Kopernika",  "Sienkiewicza", "Słowackiego",
    "Piłsudskiego", "Jana Pawła II", "3 Maja",    "Kościuszki", "Reymonta",     "Żeromskiego",
    "Wolności",     "Rynek",         "Spacerowa", "Górska"};

const char* const kGermanSurnames[] = {"Müller",  "Schmidt", "Schneider",  "Fischer", "Weber",
                                       "Meyer",   "Wagner",  "Becker",     "Schulz",  "Hoffmann",
                                       "Koch",    "Richter", "Klein",      "Wolf",    "Schröder",
                                       "Neumann", "Braun",   "Zimmermann", "Krüger",  "Hartmann"};
const char* const kGermanMen[] = {"Hans",    "Peter",   "Klaus", "Jürgen",   "Stefan", "Thomas",
                                  "Andreas", "Michael", "Uwe",   "Wolfgang", "Lukas",  "Jonas"};
const char* const kGermanWomen[] = {"Anna",  "Ursula", "Monika", "Sabine", "Petra", "Claudia",
                                    "Julia", "Lena",   "Katrin", "Birgit", "Heike", "Sophie"};
const char* const kCzechSurnames[] = {"Novák",     "Svoboda", "Novotný",  "Dvořák", "Černý",
                                      "Procházka", "Kučera",  "Veselý",   "Horák",  "Němec",
                                      "Pokorný",   "Marek",   "Pospíšil", "Hájek",  "Král"};
const char* const kCzechMen[] = {"Jiří",  "Jan",      "Petr",     "Josef",  "Pavel",  "Martin",
                                 "Tomáš", "Jaroslav", "Miroslav", "Zdeněk", "Václav", "Michal"};
const char* const kCzechWomen[] = {"Jana",     "Marie", "Eva",  "Hana",  "Anna",  "Lenka",
                                   "Kateřina", "Lucie", "Věra", "Alena", "Petra", "Veronika"};
const char* const kEnglishSurnames[] = {"Smith",   "Jones",  "Williams", "Brown",    "Taylor",
                                        "Davies",  "Wilson", "Evans",    "Thomas",   "Johnson",
                                        "Roberts", "Walker", "Wright",   "Robinson", "Thompson",
                                        "White",   "Hughes", "Edwards",  "Green",    "Hall"};
const char* const kEnglishMen[] = {"John", "David",   "Michael", "James", "Robert", "Paul",
                                   "Mark", "Richard", "Andrew",  "Peter", "George", "Oliver"};
const char* const kEnglishWomen[] = {"Mary",  "Susan", "Sarah",  "Emma",  "Elizabeth", "Helen",
                                     "Karen", "Linda", "Olivia", "Emily", "Jessica",   "Laura"};
const char* const kUkrainianSurnames[] = {"Shevchenko", "Kovalenko", "Bondarenko", "Tkachenko",
                                          "Kravchenko", "Oliynyk",   "Shevchuk",   "Polishchuk",
                                          "Lysenko",    "Marchenko", "Moroz",      "Savchenko"};
const char* const kUkrainianMen[] = {"Oleksandr", "Andriy", "Serhiy", "Volodymyr", "Dmytro",
                                     "Mykola",    "Ivan",   "Yuriy",  "Vasyl",     "Taras"};
const char* const kUkrainianWomen[] = {"Olena",    "Nataliya", "Iryna",  "Oksana", "Tetiana",
                                       "Svitlana", "Yuliya",   "Mariya", "Halyna", "Larysa"};
const char* const kFrenchSurnames[] = {"Martin",  "Bernard", "Dubois",   "Thomas", "Robert",
                                       "Richard", "Petit",   "Durand",   "Leroy",  "Moreau",
                                       "Simon",   "Laurent", "Lefebvre", "Michel", "Garcia"};
const char* const kFrenchMen[] = {"Jean",     "Pierre", "Michel", "Philippe", "Alain", "Nicolas",
                                  "François", "Louis",  "Julien", "Antoine",  "Henri", "Hugo"};
const char* const kFrenchWomen[] = {"Marie",     "Nathalie", "Isabelle", "Sylvie", "Catherine",
                                    "Françoise", "Camille",  "Chloé",    "Claire", "Amélie"};
const char* const kOtherSurnames[] = {
    "Rossi",   "Garcia",  "Hansen",  "Johansson",    "Nagy",      "Horváth", "Kazlauskas",
    "Bērziņš", "Popescu", "Ivanov",  "Yilmaz",       "Tanaka",    "Kim",     "Silva",
    "Jensen",  "De Jong", "Peeters", "Papadopoulos", "Kovačević", "Tamm"};
const char* const kOtherMen[] = {"Marco",  "Carlos", "Lars",  "Erik",  "László", "Tomas",
                                 "Andris", "Mihai",  "Ahmet", "Kenji", "Luis",   "Nikos"};
const char* const kOtherWomen[] = {"Giulia", "Carmen", "Ingrid", "Astrid", "Zsófia", "Ieva",
                                   "Ioana",  "Elif",   "Yuki",   "Ana",    "Sofia",  "Eleni"};

struct Pool {
    const char* const* surnames;
    std::size_t surnameCount;
    const char* const* men;
    std::size_t menCount;
    const char* const* women;
    std::size_t womenCount;
};

#define REZYDO_POOL(S, M, W)                                                                       \
    Pool                                                                                           \
    {                                                                                              \
        S, sizeOf(S), M, sizeOf(M), W, sizeOf(W)                                                   \
    }
const Pool kPools[] = {
    REZYDO_POOL(kPolishSurnames, kPolishMen, kPolishWomen),
    REZYDO_POOL(kGermanSurnames, kGermanMen, kGermanWomen),
    REZYDO_POOL(kCzechSurnames, kCzechMen, kCzechWomen),
    REZYDO_POOL(kEnglishSurnames, kEnglishMen, kEnglishWomen),
    REZYDO_POOL(kUkrainianSurnames, kUkrainianMen, kUkrainianWomen),
    REZYDO_POOL(kFrenchSurnames, kFrenchMen, kFrenchWomen),
    REZYDO_POOL(kOtherSurnames, kOtherMen, kOtherWomen),
};
#undef REZYDO_POOL

// Foreign guests by country: the neighbours come most, then a long tail.
const Origin kOrigins[] = {
    {"Niemcy", Tongue::German, 30},
    {"Czechy", Tongue::Czech, 14},
    {"Słowacja", Tongue::Czech, 10},
    {"Ukraina", Tongue::Ukrainian, 12},
    {"Wielka Brytania", Tongue::English, 8},
    {"Austria", Tongue::German, 4},
    {"Szwajcaria", Tongue::German, 2},
    {"Stany Zjednoczone", Tongue::English, 4},
    {"Irlandia", Tongue::English, 2},
    {"Kanada", Tongue::English, 1},
    {"Australia", Tongue::English, 1},
    {"Francja", Tongue::French, 4},
    {"Belgia", Tongue::French, 1},
    {"Holandia", Tongue::Other, 3},
    {"Węgry", Tongue::Other, 3},
    {"Litwa", Tongue::Other, 3},
    {"Łotwa", Tongue::Other, 1},
    {"Estonia", Tongue::Other, 1},
    {"Włochy", Tongue::Other, 2},
    {"Hiszpania", Tongue::Other, 2},
    {"Szwecja", Tongue::Other, 2},
    {"Norwegia", Tongue::Other, 2},
    {"Dania", Tongue::Other, 1},
    {"Rumunia", Tongue::Other, 1},
    {"Białoruś", Tongue::Ukrainian, 2},
    {"Japonia", Tongue::Other, 1},
    {"Korea Południowa", Tongue::Other, 1},
    {"Turcja", Tongue::Other, 1},
    {"Portugalia", Tongue::Other, 1},
    {"Grecja", Tongue::Other, 1},
    {"Chorwacja", Tongue::Other, 1},
    {"Brazylia", Tongue::Other, 1},
};

QString pick(const char* const* pool, std::size_t count, std::uint32_t index)
{
    return QString::fromUtf8(pool[index % count]);
}

// "Kowalski" → "Kowalska", "Zając" stays; the usual Polish female forms.
QString femaleForm(const QString& surname)
{
    for (const char* ending : {"ski", "cki", "dzki"})
        if (surname.endsWith(QLatin1String(ending)))
            return surname.chopped(1) + QLatin1Char('a');
    return surname;
}

// "Novák" → "Nováková", "Svoboda" → "Svobodová", "Černý" → "Černá".
QString czechFemaleForm(const QString& surname)
{
    if (surname.endsWith(QStringLiteral("ý")))
        return surname.chopped(1) + QStringLiteral("á");
    if (surname.endsWith(QLatin1Char('a')))
        return surname.chopped(1) + QStringLiteral("ová");
    return surname + QStringLiteral("ová");
}

int below(std::mt19937& rng, int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

QString digits(std::mt19937& rng, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QLatin1Char(static_cast<char>('0' + below(rng, 10)));
    return s;
}

QString letters(std::mt19937& rng, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QLatin1Char(static_cast<char>('A' + below(rng, 26)));
    return s;
}

} // namespace

const Origin* origins(int& count)
{
    count = static_cast<int>(std::size(kOrigins));
    return kOrigins;
}

NameParts personName(Tongue tongue, bool female, std::uint32_t index)
{
    const Pool& p = kPools[static_cast<int>(tongue)];
    const std::uint32_t first = index / static_cast<std::uint32_t>(p.surnameCount);
    QString surname = pick(p.surnames, p.surnameCount, index);
    if (female && tongue == Tongue::Polish)
        surname = femaleForm(surname);
    else if (female && tongue == Tongue::Czech)
        surname = czechFemaleForm(surname);
    return {surname, female ? pick(p.women, p.womenCount, first) : pick(p.men, p.menCount, first)};
}

QString homeTown(std::uint32_t index)
{
    return pick(kTowns, std::size(kTowns), index);
}

QString streetAddress(Tongue tongue, std::mt19937& rng)
{
    const QString street = pick(kStreets, std::size(kStreets), rng());
    const QString number = QString::number(1 + below(rng, 120));
    if (tongue != Tongue::Polish)
        return QStringLiteral("%1 %2, %3").arg(number, street, digits(rng, 5));
    const QString flat =
        below(rng, 3) == 0 ? QStringLiteral("/%1").arg(1 + below(rng, 40)) : QString();
    const QString code = digits(rng, 2) + QLatin1Char('-') + digits(rng, 3);
    return QStringLiteral("ul. %1 %2%3, %4 %5").arg(street, number, flat, code, homeTown(rng()));
}

QString documentNumber(Tongue tongue, int kind, std::mt19937& rng)
{
    if (kind == 1)
        return letters(rng, 3) + digits(rng, 6);
    if (kind == 3 || kind == 4)
        return digits(rng, 6) + QLatin1Char('/') + digits(rng, 2);
    return tongue == Tongue::Polish ? letters(rng, 2) + digits(rng, 7)
                                    : letters(rng, 1) + digits(rng, 8);
}

Firm firm(std::uint32_t index)
{
    static const char* const stems[] = {"Budex",   "Transpol", "Elmech",  "Agromax", "Instal",
                                        "Softlab", "Meblex",   "Drewbud", "Polkart", "Termosan",
                                        "Kolbud",  "Geomix",   "Tatrex",  "Sanbud",  "Medikor",
                                        "Ekoplan", "Infotech", "Autorem", "Stalmet", "Rolnex"};
    static const char* const forms[] = {"sp. z o.o.", "S.A.", "s.c.", "sp.j."};
    static const char* const towns[] = {"Kraków", "Katowice", "Warszawa", "Rzeszów", "Tarnów"};
    const std::size_t stemCount = std::size(stems);
    const QString stem = pick(stems, stemCount, index);
    const std::uint32_t branch = index / static_cast<std::uint32_t>(stemCount);
    const QString name = branch == 0 ? stem : QStringLiteral("%1 %2").arg(stem).arg(branch + 1);
    const QString street = pick(kStreets, std::size(kStreets), index * 7 + 3);
    const QString address = QStringLiteral("ul. %1 %2, %3")
                                .arg(street)
                                .arg(1 + index % 90)
                                .arg(QString::fromUtf8(towns[index % std::size(towns)]));
    const std::uint32_t n = 1000000000u + index * 7919u % 900000000u;
    const QString d = QString::number(n);
    const QString nip =
        QStringLiteral("%1-%2-%3-%4").arg(d.left(3), d.mid(3, 3), d.mid(6, 2), d.mid(8, 2));
    return {name + QLatin1Char(' ') + QString::fromUtf8(forms[index % std::size(forms)]), address,
            nip};
}

QString tourName(std::mt19937& rng)
{
    static const char* const kinds[] = {"Wycieczka",   "Kolonia",           "Obóz",
                                        "Pielgrzymka", "Grupa szkoleniowa", "Zespół",
                                        "Klub seniora"};
    static const char* const towns[] = {"Kraków",   "Łódź",  "Poznań", "Gdańsk", "Lublin",
                                        "Warszawa", "Opole", "Kielce", "Toruń",  "Radom"};
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(kinds[below(rng, std::size(kinds))]),
                                       QString::fromUtf8(towns[below(rng, std::size(towns))]));
}

} // namespace synthetic
