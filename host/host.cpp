#include "host/host.h"

#include <type_traits>

namespace wt::host {

namespace {

constinit HostFunctions table{};

// Forwards to one slot; a null slot (or no table yet) never reaches the client.
template <HostFunction name, typename... Args>
auto forward(Args... args) {
    const auto function = table.get<name>();
    using Result = decltype(function(args...));
    if (function != nullptr) return function(args...);
    // The one query answered with an ID rather than a result code: 0 names no connection.
    if constexpr (std::is_same_v<Result, uint64_t>) {
        return Result{0};
    } else {
        return kHostUnavailable;
    }
}

}  // namespace

void install(const HostFunctions& functions) {
    table = functions;
}

#define WT_HOST_FORWARD(slot, Result, name, parameters, arguments) \
    Result name parameters {                                       \
        return forward<HostFunction::name> arguments;              \
    }
WT_HOST_FUNCTIONS(WT_HOST_FORWARD)
#undef WT_HOST_FORWARD

}  // namespace wt::host
