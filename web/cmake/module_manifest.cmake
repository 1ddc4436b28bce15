# Writes the site's modules.json: for each of the two modules its file and the binary
# interface the page hosts it through (abi.json, printed by web/module/abi_layout.cpp from
# the plugin's own headers). The page passes a module's entry to every load of it.
#
#   cmake -DOUTPUT=modules.json -DABI=abi.json -P module_manifest.cmake
cmake_minimum_required(VERSION 3.25)

file(READ ${ABI} abi)
string(STRIP "${abi}" abi)
string(REPLACE "\n" "\n    " abi "${abi}")
file(WRITE ${OUTPUT} "{
  \"plain\": {
    \"file\": \"wacky_throats.wasm\",
    \"abi\": ${abi}
  },
  \"simd\": {
    \"file\": \"wacky_throats_simd.wasm\",
    \"abi\": ${abi}
  }
}
")
