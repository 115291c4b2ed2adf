#pragma once

#include "billing/invoice_printout.h"

#include <QSqlDatabase>

// Fills the per-line part of an invoice: its rows (equal room lines together,
// each service line on its own), the totals of each rate present, what was
// paid and how, and whether the per-line layout applies at all.
void loadInvoiceLines(QSqlDatabase db, int groupId, InvoiceData& invoice);
