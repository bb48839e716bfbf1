#pragma once

// The wait cursor over the whole application while one lives: put back
// however the work it covers ends, a throw included, so that a step that
// runs out of memory never leaves the clerk with an hourglass.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
