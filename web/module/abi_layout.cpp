// Prints, as JSON, what the page must know of the plugin's binary interface to host it:
// the slot and WebAssembly signature of every host function, the size of the function
// table, the offsets and sizes of the records it reads, and the block size (the samples
// the plugin hands each one back late, and the frames of a call that completes a block). Compiled
// by the same compiler and flags as the modules and run under node at build time, so every number
// comes from the headers the plugin itself is built from and nothing is written again in
// JavaScript.
//
//   node abi_layout.js OUTPUT.json

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "host/host_function_list.h"
#include "host/host_functions.h"
#include "host/plugin_records.h"
#include "voice/block_size.h"
#include "web/module/effect_reading.h"

namespace {

// The WebAssembly value type a C type travels as: "i" i32, "j" i64, "f" f32, "d" f64.
// Pointers, enums and integers of up to 32 bits are i32 in wasm32.
template <typename T>
constexpr const char* wasmType() {
    if constexpr (std::is_same_v<T, float>) {
        return "f";
    } else if constexpr (std::is_same_v<T, double>) {
        return "d";
    } else {
        static_assert(std::is_pointer_v<T> || std::is_integral_v<T> || std::is_enum_v<T>,
                      "a host function parameter the page cannot pass");
        static_assert(sizeof(T) <= 8);
        return sizeof(T) == 8 ? "j" : "i";
    }
}

// {"params": [...], "result": "i" or null} of a function pointer type.
template <typename Result, typename... Parameters>
void printSignature(FILE* out, Result (*)(Parameters...)) {
    const char* const types[] = {wasmType<Parameters>()..., nullptr};
    std::fputs("\"params\": [", out);
    for (size_t i = 0; types[i] != nullptr; ++i) {
        std::fprintf(out, "%s\"%s\"", i == 0 ? "" : ", ", types[i]);
    }
    if constexpr (std::is_void_v<Result>) {
        std::fputs("], \"result\": null", out);
    } else {
        std::fprintf(out, "], \"result\": \"%s\"", wasmType<Result>());
    }
}

void printAbi(FILE* out) {
    std::fprintf(out, "{\n  \"pointerSize\": %zu,\n  \"hostSlots\": %zu,\n", sizeof(void*),
                 kHostFunctionSlots);
    std::fprintf(out, "  \"blockSize\": %d,\n", static_cast<int>(wt::kBlockSize));
    std::fputs("  \"hostFunctions\": {", out);
    const char* separator = "\n";
#define WT_PRINT_HOST(slot, Result, name, parameters, arguments)                                   \
    std::fprintf(out, "%s    \"" #name "\": { \"slot\": %d, ", separator, static_cast<int>(slot)); \
    printSignature(out, static_cast<Result(*) parameters>(nullptr));                               \
    std::fputs(" }", out);                                                                         \
    separator = ",\n";
    WT_HOST_FUNCTIONS(WT_PRINT_HOST)
#undef WT_PRINT_HOST
    std::fputs("\n  },\n", out);
    std::fprintf(out,
                 "  \"menuItem\": { \"size\": %zu, \"type\": %zu, \"id\": %zu, \"text\": %zu, "
                 "\"textSize\": %zu, \"icon\": %zu, \"iconSize\": %zu },\n",
                 sizeof(PluginMenuItem), offsetof(PluginMenuItem, type),
                 offsetof(PluginMenuItem, id), offsetof(PluginMenuItem, text), kMenuTextSize,
                 offsetof(PluginMenuItem, icon), kMenuIconSize);
    std::fprintf(out, "  \"menuTypeGlobal\": %d,\n", static_cast<int>(kMenuTypeGlobal));
    std::fprintf(out,
                 "  \"effectReading\": { \"size\": %zu, \"kind\": %zu, \"strength\": %zu }\n}\n",
                 sizeof(WebEffectReading), offsetof(WebEffectReading, kind),
                 offsetof(WebEffectReading, strength));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: abi_layout OUTPUT.json\n", stderr);
        return 2;
    }
    FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    printAbi(out);
    return std::fclose(out) == 0 ? 0 : 1;
}
