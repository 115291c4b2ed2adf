#include "core/frame.h"

namespace {
Frame& idleFrame()
{
    static Frame f;
    return f;
}
Frame*& current()
{
    static Frame* f = nullptr;
    return f;
}
} // namespace

Frame& frame()
{
    return current() ? *current() : idleFrame();
}

void setFrame(Frame* f)
{
    current() = f;
}
