// An alarm voice message as words, as the alarm inputs page summarises it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "DeviceConfig.h"

namespace varnex {

// The words of up to 50 voice prompt codes (a 0 ends the message early) from the loaded
// catalogue: short pauses are skipped, a longer pause replaces the last character by ", ", any
// other code gives its sample text and a blank (an unknown code just the blank); runs of blanks
// are collapsed.
std::string AlarmTextWords(const uint8_t* codes);

// The summary of an input whose trigger list shows `triggerIndex`: its words when the input is
// set up (index > 0), else empty.
std::string AlarmTextSummary(int triggerIndex, const uint8_t* codes);

// A summary memo's hint: its lines joined with CR LF; empty (no hint shown) without a line.
std::string AlarmTextHint(std::string_view summary);

// The trigger list index that shows a stored Trigger: -1 (nothing) for a value not in the list.
int TriggerListIndex(uint8_t trigger);

// Both inputs' summaries, as the page shows them once filled from `config`.
std::array<std::string, 2> AlarmTextSummaries(const TDeviceConfig& config);

}  // namespace varnex
