#include "admin/setup_rows.h"

#include "core/error.h"
#include "db/table_cursor.h"

bool isEditing(const TableCursor& cursor)
{
    return cursor.state() == TableCursor::State::Edit ||
           cursor.state() == TableCursor::State::Insert;
}

void saveRow(TableCursor& cursor)
{
    if (!isEditing(cursor))
        return;
    const bool inserted = cursor.state() == TableCursor::State::Insert;
    cursor.post();
    if (inserted)
        cursor.refresh();
}

void saveOrDrop(TableCursor& cursor, const std::function<void()>& check)
{
    if (!isEditing(cursor))
        return;
    const bool saved = guarded([&] {
        if (check)
            check();
        saveRow(cursor);
    });
    if (!saved)
        cursor.cancel();
}
