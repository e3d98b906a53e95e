// The configuration report: the whole configuration as a German HTML page, and the HTML pieces
// that the exports share with it.
#pragma once

#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceConfig.h"
#include "DtmfCommands.h"

namespace varnex {

constexpr const char* ReportFileName = "Varnex Konfiguration.html";
constexpr const char* ErrorCaption = "Varnex - Error";

// One table cell: "<TD COLSPAN=span ALIGN=align BGCOLOR=...>" with the text in Arial -1; odd
// rows "#F0F0F0", even rows "#FAFAFA"; an empty text becomes "&nbsp". The text is markup.
std::string HtmlCell(std::string_view align, int span, int row, std::string_view text);

// A user's text made safe as HTML text or attribute value: & < > " become entities.
std::string EscapeHtml(std::string_view utf8);

// A DTMF grid key or value as cell markup: escaped; blanks alone count as empty, so that the
// separator rows show as blank lines.
std::string DtmfCellText(std::string_view utf8);

// What a character without a Windows-1252 byte becomes.
enum class Unencodable { CharacterReference, QuestionMark };

// UTF-8 as Windows-1252 bytes; a character the code page lacks becomes "&#N;" or "?"; a byte
// that is not UTF-8 becomes "?".
std::string EncodeCp1252(std::string_view utf8, Unencodable mode);

// UTF-8 lines as Windows-1252 bytes (character references where needed), each ended by CR LF.
std::string HtmlBytes(const std::vector<std::string>& lines);

// The foot's date and time: "dd.mm.yyyy hh:mm:ss", only the date at exactly midnight.
std::string FormatReportTime(const std::tm& local);
std::tm LocalTimeNow();

// Everything the report shows.
struct ReportInput {
  TDeviceConfig config;
  std::array<std::string, 2> summaries;  // alarm message summaries, lines separated by "\n"
  std::vector<DtmfCommandRow> dtmfRows;  // the grid's rows below its title row
  std::string configFileName;            // empty when the configuration has no file
  std::tm time{};                        // local time of the foot
};

// The report's lines (UTF-8, without line ends); user texts are escaped.
std::vector<std::string> ConfigurationReportLines(const ReportInput& input);

// Writes the report's bytes (Windows-1252, CR LF) to `path`, whole or not at all. False with
// errorText when it cannot be written.
bool WriteConfigurationReport(const ReportInput& input, const std::string& path,
                              std::string* errorText = nullptr);

// The report command after the configuration was stored: writes GetTempDir() + ReportFileName
// and returns its path for opening; on failure shows why (caption "Varnex - Error") and
// returns nothing.
std::optional<std::string> MakeConfigurationReport(const ReportInput& input);

// Writes `bytes` to `path` whole; on failure shows "Die Datei '...' konnte nicht geschrieben
// werden" with the reason (caption "Varnex - Error") and returns nothing.
std::optional<std::string> WriteOutputFile(const std::string& path, std::string_view bytes);

}  // namespace varnex
