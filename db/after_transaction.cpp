#include "db/after_transaction.h"

#include <vector>

namespace {
int& openTransactions()
{
    static int open = 0;
    return open;
}

std::vector<std::function<void()>>& waiting()
{
    static std::vector<std::function<void()>> boxes;
    return boxes;
}
} // namespace

bool transactionOpen()
{
    return openTransactions() > 0;
}

void whenNoTransaction(std::function<void()> show)
{
    if (transactionOpen())
        waiting().push_back(std::move(show));
    else
        show();
}

void transactionBegun()
{
    ++openTransactions();
}

void transactionEnded()
{
    if (--openTransactions() > 0)
        return;
    // A box runs an event loop in which another transaction may begin and
    // end, so the list is taken over before the first box is shown.
    std::vector<std::function<void()>> boxes;
    boxes.swap(waiting());
    for (const auto& show : boxes)
        show();
}

std::size_t boxesWaiting()
{
    return waiting().size();
}

void dropBoxesAfter(std::size_t count)
{
    if (waiting().size() > count)
        waiting().resize(count);
}
