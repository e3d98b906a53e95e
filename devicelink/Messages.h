// Status texts of the transfer dialog and the diagnostics program in German, English and
// Italian, chosen by LanguageIndex.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace varnex {

// 0 German, 1 English, 2 Italian.
extern uint8_t LanguageIndex;

using MessageTable = std::array<const char*, 4>;

extern const MessageTable MsgCaptionFirmware;      // transfer dialog caption, firmware update
extern const MessageTable MsgCaptionWrite;         // transfer dialog caption, write
extern const MessageTable MsgCaptionRead;          // transfer dialog caption, read
extern const MessageTable MsgReadingBeforeUpdate;  // reading before the update
extern const MessageTable MsgFaultReading;         // "(" follows: code + ") !"
extern const MessageTable MsgFaultUpdating;
extern const MessageTable MsgWritingBack;  // writing back after the update
extern const MessageTable MsgFaultWriting;
extern const MessageTable MsgWriting;
extern const MessageTable MsgVersionFailed;
extern const MessageTable MsgReading;

// The text of a table in the current language (index 3 and beyond: empty).
std::string Text(const MessageTable& table);

// The status byte of a firmware or voice flash block reply, as the logs show it: the fixed text
// of codes 0 to 6, "unknown block status (" + code + ")" for the others.
std::string BlockStatusText(uint8_t status);

}  // namespace varnex
