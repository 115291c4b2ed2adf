#pragma once

// A child window that may refuse to close (it asks its own question). The
// main window asks every such child before it exits; one refusal keeps the
// program running and closes nothing.
class CloseQuery {
public:
    virtual ~CloseQuery() = default;
    virtual bool mayClose() = 0;
};
