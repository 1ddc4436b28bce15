#pragma once

#include <bit>

// std::bit_cast where the standard library has it; the compiler's builtin, which is what
// the library's own version calls, where it does not (Emscripten 3.1's libc++). Both are
// usable in constant expressions.
namespace wt {

#if defined(__cpp_lib_bit_cast)
using std::bit_cast;
#else
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}
#endif

}  // namespace wt
