#pragma once

#include <QString>

// Compares `actual` with the stored golden file tests/reports/golden/<name>;
// with REZYDO_UPDATE_GOLDEN=1 in the environment the file is rewritten
// instead, for review in the diff.
void compareGolden(const QString& name, const QString& actual);
