#pragma once

#include <functional>

class TableCursor;

// Saving the current row of a setup table (rooms, price list, countries).

// Posts a pending edit or insert; after an insert the list is read again, so
// the new row takes its place in the stored order. Throws like post().
void saveRow(TableCursor& cursor);

// Used when a setup window goes away with a change still pending: the change
// is saved as "&Ok" would save it (after `check`, which may throw); when that
// fails the failure is shown by the general error handling and the change is
// dropped, so the shared cursor is never left half edited.
void saveOrDrop(TableCursor& cursor, const std::function<void()>& check = {});

bool isEditing(const TableCursor& cursor);
