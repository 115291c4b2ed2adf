#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class TableCursor;

// A drop-down over a column of the cursor's current row: choosing an item (or
// typing, when the list is editable) sets the column, and the row's value is
// shown, also a value the list does not offer.
void bindChoice(QComboBox* combo, TableCursor& cursor, const QString& column);
// A yes/no column (0/1) as a check box.
void bindFlag(QCheckBox* box, TableCursor& cursor, const QString& column);
