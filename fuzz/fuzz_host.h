#pragma once

// A client for the fuzz targets whose every answer comes from the fuzz input. Each host
// function takes its result code, and whatever it writes or hands out, from the input of
// the run in progress, so one input replays the same conversation every time.
//
// It checks the plugin's side of every contract it can see and aborts on the first
// breach, which libFuzzer reports as a crash with the input that caused it:
//   - every text the plugin passes in is terminated (it is read to its end), and the
//     texts the interface requires are not null;
//   - every buffer is as large as the size passed with it (the host may fill all of it);
//   - every ID list passed in ends with a 0 entry;
//   - every text and ID list handed out comes back through freeMemory exactly once, and
//     nothing else does; endInput() aborts when anything is still out.
// Answers include the hostile ones a client may give: failures with junk in the
// out-pointer, success with nothing written, buffers filled to the last byte without a
// terminator, texts of any length and bytes, ID lists of any length.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <string>

#include "host/host_functions.h"

namespace wt::fuzz {

// Every host function set, the reserved slots null.
HostFunctions hostTable();

// From here to endInput() the host functions answer from `input`. Outside a run they
// fail (result 1) and write nothing. The first run hands the plugin this host's table,
// as a client does once after loading it.
void beginInput(FuzzedDataProvider& input);

// Aborts when a text or ID list handed out during the run has not come back.
void endInput();

// Up to maxLength bytes of text, any bytes but NUL: from the input as far as it reaches,
// then a filler of one- to four-byte UTF-8 characters, so that a short input still yields
// long texts and texts that end inside a character.
std::string consumeText(FuzzedDataProvider& input, size_t maxLength);

// Reports a broken contract and aborts.
[[noreturn]] void fail(const char* what);

}  // namespace wt::fuzz
