// Included ahead of every C++ file of the browser build. Debian's Emscripten
// 3.1.6 ships libc++ 13, which lacks std::bit_cast (C++20); its clang has the
// builtin the function is made of, so supply it from that.
#pragma once

#ifdef __cplusplus
#include <version>
#if defined(_LIBCPP_VERSION) && !defined(__cpp_lib_bit_cast)
#include <type_traits>

namespace std {
template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>) constexpr To
    bit_cast(const From& from) noexcept
{
    return __builtin_bit_cast(To, from);
}
}   // namespace std
#endif
#endif
