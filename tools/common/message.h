// Error messages of the asset generators, put together from their parts.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace tooltext {

// Joins the parts of a message: text, single characters and numbers.
template <typename... Parts>
std::string Message(const Parts&... parts)
{
    std::string s;
    auto add = [&s](const auto& part) {
        using T = std::decay_t<decltype(part)>;
        if constexpr (std::is_same_v<T, char>)
            s += part;
        else if constexpr (std::is_arithmetic_v<T>)
            s += std::to_string(part);
        else
            s += std::string_view(part);
    };
    (add(parts), ...);
    return s;
}

}   // namespace tooltext
