#pragma once

#include <gtest/gtest.h>

#include <string>

// Names a parameterised case after its `name` member, so that test names stay
// the same from build to build and a failing case can be run again by name.
struct CaseName
{
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        return std::string(info.param.name);
    }
};
