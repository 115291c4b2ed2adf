#pragma once

#include <cstddef>
#include <functional>

// No box may be shown while a write transaction is open: another workstation's
// writes would wait on its lock and fail. Boxes raised inside a Transaction
// (the report of an item skipped, of a step that ends the operation) wait here
// and are shown, in order, once the last open transaction has ended, whether
// it was committed or rolled back.

// True while a Transaction of this program is open on any connection.
bool transactionOpen();

// Runs `show` now when no transaction is open, otherwise keeps it for the
// moment the last one ends.
void whenNoTransaction(std::function<void()> show);

// How many boxes wait now; dropWaitingBoxes(n) forgets those raised after
// that moment. A transaction that is run again from its start raises its
// boxes again: those of the attempt given up are not shown.
std::size_t waitingBoxes();
void dropWaitingBoxes(std::size_t keep);

// Kept by Transaction: one call each when it has begun and when it has ended;
// the end shows what waited.
void transactionBegun();
void transactionEnded();
