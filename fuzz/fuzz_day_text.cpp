// Days as typed or stored: dayFromText accepts exactly "yyyy-mm-dd" (blanks
// around allowed) and prints back to the same text; readDateCell, the stay
// editor's reading of a grid cell, turns any text into a real day, the same
// day for a well-formed cell, and reads its own printout back unchanged.
#include "fuzz/fuzz_support.h"

#include "core/days.h"
#include "stays/text_grid.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = fuzzText(data, size);
    static const QRegularExpression strict(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));

    const std::optional<QDate> day = dayFromText(text);
    if (day) {
        fuzzCheck(day->isValid(), "a day read is a valid day", text);
        fuzzCheck(strict.match(text.trimmed()).hasMatch(), "only yyyy-mm-dd reads as a day", text);
        fuzzCheck(dayText(*day) == text.trimmed(), "a day prints back as it was typed", text);
    }

    const QDate cell = readDateCell(text);
    fuzzCheck(cell.isValid(), "every cell reads as a real day", text);
    fuzzCheck(!day || !text.startsWith(text.trimmed()) || cell == *day,
              "a well-formed cell reads as its day", text);
    fuzzCheck(readDateCell(dayText(cell)) == cell, "a cell's day prints to a cell of that day",
              text);
    return 0;
}
