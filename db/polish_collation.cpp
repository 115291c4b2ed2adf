#include "db/polish_collation.h"

#include "db/engine.h"
#include "db/sql.h"

#include <QByteArray>
#include <QChar>

#include <algorithm>
#include <array>
#include <sqlite3.h>

namespace {

// The primary weights, in the order of their ranges: blanks, punctuation and
// symbols by code point (1 + code point), then digits by value, then the
// letters a..z with three places each (the letter itself and foreign letters
// written on it, then the Polish letter with its mark, then ż after ź), then
// other alphabets by their case-folded code point.
constexpr char32_t kDigits = 0x110001;
constexpr char32_t kLatin = 0x110100;
constexpr char32_t kOtherLetters = 0x110200;

struct Weight {
    char32_t primary = 0;
    bool upper = false;
};

char32_t latin(char32_t base, int place)
{
    return kLatin + (base - U'a') * 3 + static_cast<char32_t>(place);
}

// The Polish letters with a mark (case-folded), each with the letter it
// follows and its place after it: ź is the first after z, ż the second.
struct PolishLetter {
    char32_t letter;
    char32_t base;
    int place;
};
constexpr PolishLetter kPolishLetters[] = {{U'ą', U'a', 1}, {U'ć', U'c', 1}, {U'ę', U'e', 1},
                                           {U'ł', U'l', 1}, {U'ń', U'n', 1}, {U'ó', U'o', 1},
                                           {U'ś', U's', 1}, {U'ź', U'z', 1}, {U'ż', U'z', 2}};

const PolishLetter* polishLetter(char32_t folded)
{
    for (const PolishLetter& p : kPolishLetters)
        if (p.letter == folded)
            return &p;
    return nullptr;
}

// The letter a..z a foreign Latin letter is written on (é, ü, ñ, ø), 0 for none.
char32_t baseLetter(char32_t folded)
{
    for (int depth = 0; depth < 3; ++depth) {
        if (folded >= U'a' && folded <= U'z')
            return folded;
        const QString parts = QChar::decomposition(folded);
        if (parts.isEmpty())
            break;
        folded = QChar::toCaseFolded(static_cast<char32_t>(parts.at(0).unicode()));
    }
    // Letters with a stroke or joined letters have no decomposition.
    switch (folded) {
    case U'ø':
    case U'œ':
        return U'o';
    case U'đ':
    case U'ð':
        return U'd';
    case U'æ':
        return U'a';
    case U'ß':
        return U's';
    case U'ħ':
        return U'h';
    case U'ı':
        return U'i';
    case U'ŧ':
        return U't';
    default:
        return 0;
    }
}

Weight computeWeight(char32_t c)
{
    Weight w;
    w.upper = QChar::isUpper(c) || QChar::isTitleCase(c);
    const char32_t folded = QChar::toCaseFolded(c);
    if (const PolishLetter* polish = polishLetter(folded)) {
        w.primary = latin(polish->base, polish->place);
    } else if (QChar::isLetter(c)) {
        const char32_t base = baseLetter(folded);
        w.primary = base ? latin(base, 0) : kOtherLetters + folded;
    } else if (QChar::isDigit(c)) {
        w.primary = kDigits + static_cast<char32_t>(QChar::digitValue(c));
    } else {
        w.primary = 1 + c;
    }
    return w;
}

// Latin script up to the end of Latin Extended-B comes from a table made
// once; the rest is worked out when met.
constexpr char32_t kTableSize = 0x250;

const std::array<Weight, kTableSize>& weightTable()
{
    static const std::array<Weight, kTableSize> table = [] {
        std::array<Weight, kTableSize> t;
        for (char32_t c = 0; c < kTableSize; ++c)
            t[c] = computeWeight(c);
        return t;
    }();
    return table;
}

// Reads code points from UTF-8 as SQLite keeps text. A byte that does not
// belong to well-formed UTF-8 reads as a code point of its own (0xDC00 plus
// the byte, never produced by valid text), so different bytes never read
// the same.
class Utf8Reader {
public:
    Utf8Reader(const void* text, int bytes)
        : m_p(static_cast<const unsigned char*>(text))
        , m_end(m_p + (bytes > 0 ? bytes : 0))
    {
    }
    bool atEnd() const { return m_p == m_end; }
    char32_t next()
    {
        const unsigned char lead = *m_p++;
        if (lead < 0x80)
            return lead;
        // The bytes that follow the lead, and the least code point that needs
        // them (a longer form than needed is not well-formed).
        const int extra = (lead & 0xE0) == 0xC0   ? 1
                          : (lead & 0xF0) == 0xE0 ? 2
                          : (lead & 0xF8) == 0xF0 ? 3
                                                  : 0;
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (extra == 0 || m_end - m_p < extra)
            return stray(lead);
        char32_t c = lead & (0x3F >> extra);
        for (int i = 0; i < extra; ++i) {
            if ((m_p[i] & 0xC0) != 0x80)
                return stray(lead);
            c = (c << 6) | (m_p[i] & 0x3F);
        }
        if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return stray(lead);
        m_p += extra;
        return c;
    }

private:
    static char32_t stray(unsigned char byte) { return 0xDC00 + byte; }
    const unsigned char* m_p;
    const unsigned char* m_end;
};

class Utf16Reader {
public:
    explicit Utf16Reader(QStringView text)
        : m_p(text.utf16())
        , m_end(m_p + text.size())
    {
    }
    bool atEnd() const { return m_p == m_end; }
    char32_t next()
    {
        const char16_t unit = *m_p++;
        if (QChar::isHighSurrogate(unit) && m_p != m_end && QChar::isLowSurrogate(*m_p))
            return QChar::surrogateToUcs4(unit, *m_p++);
        return unit;
    }

private:
    const char16_t* m_p;
    const char16_t* m_end;
};

// One pass: the first difference of primary weight decides at once; the first
// difference of case, and then of code point, are kept for texts whose letters
// are equal. A text that is the beginning of the other comes first.
template <class Reader> int compareTexts(Reader a, Reader b)
{
    const std::array<Weight, kTableSize>& table = weightTable();
    const auto weight = [&table](char32_t c) {
        return c < kTableSize ? table[c] : computeWeight(c);
    };
    int byCase = 0;
    int byCode = 0;
    while (!a.atEnd() && !b.atEnd()) {
        const char32_t ca = a.next();
        const char32_t cb = b.next();
        if (ca == cb)
            continue;
        const Weight wa = weight(ca);
        const Weight wb = weight(cb);
        if (wa.primary != wb.primary)
            return wa.primary < wb.primary ? -1 : 1;
        if (byCase == 0 && wa.upper != wb.upper)
            byCase = wa.upper ? 1 : -1;
        if (byCode == 0)
            byCode = ca < cb ? -1 : 1;
    }
    if (a.atEnd() != b.atEnd())
        return a.atEnd() ? -1 : 1;
    return byCase != 0 ? byCase : byCode;
}

// The length of the common beginning of two texts, cut back to where a
// character starts in both (`inside` tells a unit that continues a character),
// so that reading from there reads what reading from the start would. Most
// names of a sorted list share a beginning with their neighbours; skipping it
// unit by unit is the bulk of the time saved over reading every character.
template <class Unit, class Inside>
qsizetype commonStart(const Unit* a, qsizetype lengthA, const Unit* b, qsizetype lengthB,
                      Inside inside)
{
    const qsizetype shorter = std::min(lengthA, lengthB);
    qsizetype i = 0;
    while (i < shorter && a[i] == b[i])
        ++i;
    while (i > 0 && ((i < lengthA && inside(a[i])) || (i < lengthB && inside(b[i]))))
        --i;
    return i;
}

int collatePolish(void*, int bytesA, const void* a, int bytesB, const void* b)
{
    const auto* textA = static_cast<const unsigned char*>(a);
    const auto* textB = static_cast<const unsigned char*>(b);
    const int skip = static_cast<int>(commonStart(
        textA, bytesA, textB, bytesB, [](unsigned char byte) { return (byte & 0xC0) == 0x80; }));
    return compareTexts(Utf8Reader(textA + skip, bytesA - skip),
                        Utf8Reader(textB + skip, bytesB - skip));
}

void casefold(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    if (!text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const QByteArray folded =
        QString::fromUtf8(text, sqlite3_value_bytes(args[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()),
                        SQLITE_TRANSIENT);
}

} // namespace

int comparePolish(QStringView a, QStringView b)
{
    const qsizetype skip = commonStart(a.utf16(), a.size(), b.utf16(), b.size(),
                                       [](char16_t unit) { return QChar::isLowSurrogate(unit); });
    return compareTexts(Utf16Reader(a.mid(skip)), Utf16Reader(b.mid(skip)));
}

void addPolishText(sqlite3* handle)
{
    if (!handle)
        throw DbError(QStringLiteral("Brak połączenia z bazą danych."));
    if (sqlite3_create_collation_v2(handle, "PL", SQLITE_UTF8, nullptr, collatePolish, nullptr) !=
            SQLITE_OK ||
        sqlite3_create_function_v2(handle, "casefold", 1,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   casefold, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)));
}

void addPolishText(QSqlDatabase db)
{
    addPolishText(sqliteHandleOf(db)); // a missing handle is refused there
}
