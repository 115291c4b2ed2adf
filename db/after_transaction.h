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

// Kept by Transaction: one call each when it has begun and when it has ended;
// the end shows what waited.
void transactionBegun();
void transactionEnded();

// Kept by runInTransaction: how many boxes wait now, and dropping those that
// came after `count` (raised by an attempt that is run again, which raises
// its own).
std::size_t boxesWaiting();
void dropBoxesAfter(std::size_t count);
