#include "Exports.h"

#include <filesystem>

#include "Host.h"
#include "Report.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr const char* TextExportTitle = "Varnex v1.1.3 - DTMF Kommandos\r\n";
constexpr const char* TextExportGap = "    ";
constexpr int UpdateHardwareId = 5;
constexpr int UpdateSoftwareId = 1;

// A value for a template line: escaped, in the template's code page.
std::string TemplateValue(std::string_view utf8) {
  return EncodeCp1252(EscapeHtml(utf8), Unencodable::CharacterReference);
}

bool NeedLines(const std::vector<std::string>& lines, size_t lastIndex, std::string* errorText) {
  if (lines.size() > lastIndex) return true;
  if (errorText)
    *errorText = "Die Vorlage hat " + std::to_string(lines.size()) +
                 " Zeilen; gebraucht werden mindestens " + std::to_string(lastIndex + 1) + ".";
  return false;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::optional<std::string> WriteToTempDir(const char* name, const std::string& bytes) {
  const std::string folder = GetTempDir();
  if (folder.empty()) {
    MessageBox(std::string("Es gibt keinen privaten temporären Ordner für '") + name + "'.",
               ErrorCaption, MsgIcon::Error);
    return std::nullopt;
  }
  return WriteOutputFile(folder + name, bytes);
}

// Reads a template into lines; shows why not and returns nothing when it is missing or
// unreadable.
std::optional<std::vector<std::string>> LoadTemplate(const std::string& templatesDir,
                                                     const char* name) {
  const std::string path = templatesDir + name;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    MessageBox("Datei '" + path + "' nicht gefunden.", ErrorCaption, MsgIcon::Error);
    return std::nullopt;
  }
  std::string bytes, error;
  if (!ReadFileBytes(path, bytes, &error)) {
    MessageBox("Datei '" + path + "' kann nicht gelesen werden:\r\n" + error, ErrorCaption,
               MsgIcon::Error);
    return std::nullopt;
  }
  return TemplateLines(bytes);
}

bool IsHostName(std::string_view host) {
  return !host.empty() && host.find_first_not_of(
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                              "abcdefghijklmnopqrstuvwxyz0123456789.-:") == std::string_view::npos;
}

}  // namespace

std::string DtmfCommandsHtml(const std::vector<DtmfCommandRow>& rows) {
  std::vector<std::string> lines = {
      R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)",
      "<HTML>",
      "<HEAD><TITLE>Varnex - DTMF Kommandos</TITLE>",
      R"(<meta http-equiv="content-type" content="text/html; charset=ISO-8859-1">)",
      R"(<meta name="author" content="Varnex v1.1.3">)",
      "</HEAD>",
      R"(<BODY><FONT FACE="Arial"><H3>Varnex - DTMF Kommandos</H3></FONT>)",
      R"(<TABLE WIDTH="100%" BORDER=0 CELLPADDING=1 CELLSPACING=0>)"};
  for (size_t r = 1; r <= rows.size(); ++r) {
    const std::string& key = rows[r - 1].key;
    const int row = static_cast<int>(r);
    lines.push_back("<TR>");
    lines.push_back(HtmlCell("left", 1, row, DtmfCellText(key)));
    lines.push_back(HtmlCell("left", 1, row, DtmfCellText(DtmfValueByKey(rows, key))));
    lines.push_back("</TR>");
  }
  lines.push_back("</TABLE>");
  lines.push_back("</BODY></HTML>");
  return HtmlBytes(lines);
}

std::string DtmfCommandsText(const std::vector<DtmfCommandRow>& rows) {
  std::string text = std::string(TextExportTitle) + "\r\n";
  for (const auto& row : rows)
    text += EncodeCp1252(row.key + TextExportGap + DtmfValueByKey(rows, row.key),
                         Unencodable::QuestionMark) +
            "\r\n";
  return text;
}

std::optional<std::string> ExportDtmfHtml(const std::vector<DtmfCommandRow>& rows) {
  return WriteToTempDir(DtmfHtmlFileName, DtmfCommandsHtml(rows));
}

std::optional<std::string> ExportDtmfText(const std::vector<DtmfCommandRow>& rows) {
  return WriteToTempDir(DtmfTextFileName, DtmfCommandsText(rows));
}

std::string HelpPage(int pageIndex) {
  switch (pageIndex) {
    case 0:
      return "grundeinstellungen.html";
    case 1:
      return "administratoren.html";
    case 2:
      return ComposerHelpPage;
    case 3:
      return OutputsHelpPage;
    default:
      return "index.html";
  }
}

std::vector<std::string> TemplateLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

bool FillOrderForm(std::vector<std::string>& lines, const TDeviceConfig& config,
                   std::string* errorText) {
  if (!NeedLines(lines, OrderFormOutput2Line, errorText)) return false;
  const auto append = [&lines](size_t index, const std::string& msn) {
    lines[index] += " VALUE=\"" + TemplateValue(msn) + "\"";
  };
  append(OrderFormDeviceMsnLine, config.Msn());
  append(OrderFormOutput1Line, config.SwitchMsn(0).Msn());
  append(OrderFormOutput2Line, config.SwitchMsn(1).Msn());
  return true;
}

std::string UpdatePageAddress(std::string_view host, int major, int minor) {
  return "http://" + std::string(host) + UpdatePath + "?hid=" + std::to_string(UpdateHardwareId) +
         "&fid0=" + std::to_string(major) + "&fid1=" + std::to_string(minor) +
         "&sid0=" + std::to_string(UpdateSoftwareId) + "&sid1=" + std::to_string(UpdateSoftwareId) +
         "&sid2=" + std::to_string(UpdateSoftwareId);
}

std::optional<std::string> UpdateHost(std::string* errorText) {
  const std::string host = Settings()
                               .ReadString(SettingsScope::Application, UpdateHostSetting)
                               .value_or(DefaultUpdateHost);
  if (IsHostName(host)) return host;
  if (errorText)
    *errorText = "Der Update-Server '" + host + "' (Einstellung " + UpdateHostSetting +
                 ") ist kein gültiger Rechnername.";
  return std::nullopt;
}

bool FillUpdatePage(std::vector<std::string>& lines, std::string_view address,
                    std::string* errorText) {
  if (!NeedLines(lines, UpdateFrameLine, errorText)) return false;
  lines[UpdateFrameLine] = "src=\"" + std::string(address) + "\"";
  return true;
}

std::optional<std::string> MakeOrderForm(const std::string& templatesDir, const std::string& tmpDir,
                                         const TDeviceConfig& config) {
  auto lines = LoadTemplate(templatesDir, OrderFormTemplate);
  if (!lines) return std::nullopt;
  std::string error;
  if (!FillOrderForm(*lines, config, &error)) {
    MessageBox("Datei '" + templatesDir + OrderFormTemplate + "': " + error, ErrorCaption,
               MsgIcon::Error);
    return std::nullopt;
  }
  return WriteOutputFile(tmpDir + OrderFormFileName, JoinCrLf(*lines));
}

std::optional<std::string> MakeUpdatePage(const std::string& templatesDir,
                                          const std::string& tmpDir, int major, int minor) {
  auto lines = LoadTemplate(templatesDir, UpdateTemplate);
  if (!lines) return std::nullopt;
  std::string error;
  const auto host = UpdateHost(&error);
  if (!host || !FillUpdatePage(*lines, UpdatePageAddress(*host, major, minor), &error)) {
    MessageBox(host ? "Datei '" + templatesDir + UpdateTemplate + "': " + error : error,
               ErrorCaption, MsgIcon::Error);
    return std::nullopt;
  }
  return WriteOutputFile(tmpDir + UpdateFileName, JoinCrLf(*lines));
}

}  // namespace varnex
