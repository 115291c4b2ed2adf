#include "db/column_kind.h"

#include "core/days.h"
#include "db/sql.h"

QString columnText(const QVariant& value, ColumnKind kind)
{
    if (kind == ColumnKind::YesNo)
        return value.toLongLong() != 0 ? QStringLiteral("Tak") : QStringLiteral("Nie");
    if (value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Day: {
        const QDate day = dayFromValue(value);
        return day.isValid() ? dayText(day) : value.toString();
    }
    case ColumnKind::Money:
        return moneyFromValue(value).toPlainString();
    case ColumnKind::Integer: {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        return ok ? QString::number(n) : value.toString();
    }
    case ColumnKind::Text:
    case ColumnKind::YesNo:
        break;
    }
    return value.toString();
}
