#pragma once

#include <array>
#include <optional>
#include <string_view>

// What the return file's result codes mean, column by column, as written into
// the sheet. Texts are UTF-8.
class ReturnCodes
{
public:
    static constexpr std::string_view kOk = "OK";
    static constexpr std::string_view kPassCode = "0";

    // The message of a check column (5 to 20) whose code is not "0".
    static std::string_view checkMessage(int column);
    // The orientation instructions for codes "1", "2" and "3".
    static const std::array<std::string_view, 3>& orientationMessages();

    // What the orientation column shows for a known code: "OK" or an
    // instruction; nothing for any other value, which is shown as it is.
    static std::optional<std::string_view> orientationText(std::string_view code);
};
