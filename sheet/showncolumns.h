#pragma once

#include <vector>

class ResultSheet;

// The columns the grid shows, in order: 1 to ColCount without the hidden
// ones. What a saved file holds, as copy and print already leave hidden
// columns out.
class ShownColumns
{
public:
    static std::vector<int> of(const ResultSheet& sheet);
};
