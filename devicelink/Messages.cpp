#include "Messages.h"

namespace varnex {

uint8_t LanguageIndex = 0;

const MessageTable MsgCaptionFirmware = {"Update Firmware", "Update Firmware", "Update firmware",
                                         ""};
const MessageTable MsgCaptionWrite = {"Konfiguration schreiben", "Write Configuration",
                                      "Scrivi configurazione", ""};
const MessageTable MsgCaptionRead = {"Konfiguration lesen", "Read Configuration",
                                     "Leggi configurazione", ""};
const MessageTable MsgReadingBeforeUpdate = {"Konfiguration wird gelesen...",
                                             "reading Configuration...",
                                             "leggere la configurazione in corso...", ""};
const MessageTable MsgFaultReading = {"Unerwarteter Fehler beim Lesen der Konfiguration. (",
                                      "Unexpected error while reading configuration! (",
                                      "Errore inaspettato mentre leggere la configurazione! (", ""};
const MessageTable MsgFaultUpdating = {"Unerwarteter Fehler beim schreiben der Firmware. (",
                                       "Unexpected error while writing firmware! (",
                                       "Errore inaspettato mentre scrivere il firmware! (", ""};
const MessageTable MsgWritingBack = {
    "Konfiguration wird zurückgeschrieben, bitte warten...",
    "previous configuration is written to Ruvolt, please wait...",
    "la configurazione precedente è scritto sul Ruvolt, aspetti per favore...", ""};
const MessageTable MsgFaultWriting = {"Unerwarteter Fehler beim Schreiben der Konfiguration. (",
                                      "Unexpected error while writing configuration! (",
                                      "Errore inaspettato mentre scrivere la configurazione! (",
                                      ""};
const MessageTable MsgWriting = {"Konfiguration wird geschrieben, bitte warten...",
                                 "writing configuration...",
                                 "scrivere la configurazione in corso...", ""};
const MessageTable MsgVersionFailed = {"fehler bei get_version_info!",
                                       "error at 'get_version_info'!",
                                       "errore su 'get_version_info'!", ""};
const MessageTable MsgReading = {"Konfiguration wird gelesen, bitte warten...",
                                 "reading configuration...",
                                 "leggere la configurazione in corso...", ""};

namespace {
// Block status texts of the firmware and voice flash writes; not translated.
constexpr std::array<const char*, 7> BlockStatusTexts = {
    "no error, block write successful (0)",
    "firmware write complete (auto detected, no error, set on last block) (1)",
    "firmware checksum or id invalid (2)",
    "flash area has not been prepared before writing, or preparation failed (3)",
    "block sequence number error (4)",
    "illegal data block size (5)",
    "write verify error(6)"};
}  // namespace

std::string BlockStatusText(uint8_t status) {
  if (status < BlockStatusTexts.size()) return BlockStatusTexts[status];
  return "unknown block status (" + std::to_string(status) + ")";
}

std::string Text(const MessageTable& table) {
  return LanguageIndex < table.size() ? table[LanguageIndex] : "";
}

}  // namespace varnex
