#include "Report.h"

#include "Cp1252.h"
#include "Host.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr const char* OddRowColour = "#F0F0F0";
constexpr const char* EvenRowColour = "#FAFAFA";
constexpr const char* EmptyCell = "&nbsp";
constexpr const char* Separator = "<BR><BR><HR SIZE=1 noshade><BR>";
constexpr const char* IndentTable = "<TABLE BORDER=0><TR><TD WIDTH=15><TD>";
constexpr const char* PersonHead =
    "<TR><TD WIDTH=20>&nbsp;</TD><TD><B>Name</B></TD><TD WIDTH=40>&nbsp;</TD>"
    "<TD><B>Telefonnummer</B></TD></TR>";

// Contact verbs by Trigger, pulse lengths by Param (index 0 unused).
constexpr std::array<const char*, 3> ContactVerbs = {"", "öffnet", "schlie&szlig;t"};
constexpr std::array<const char*, 5> PulseLengths = {"", "500", "1000", "2000", "5000"};

template <size_t N>
const char* TableText(const std::array<const char*, N>& table, uint8_t index) {
  return index < N ? table[index] : "";
}

std::string Decimal(int value) {
  return std::to_string(value);
}

// The six lines of each named, active entry of a 10-entry list.
void PersonLines(const TDeviceConfig& config, const uint8_t* list, std::vector<std::string>& out) {
  for (size_t k = 0; k < cfg::ListEntries; ++k) {
    const TConstPhoneEntry entry(list + k * phone_entry::Size);
    if (entry.Name().empty() || !entry.Active()) continue;
    out.push_back("<TR>");
    out.push_back("<TD WIDTH=20>&nbsp;</TD>");
    out.push_back("<TD>" + EscapeHtml(entry.Name()) + "</TD>");
    out.push_back("<TD>&nbsp;</TD>");
    out.push_back("<TD>" + EscapeHtml(config.FormatNumber(entry.Phone())) + "</TD>");
    out.push_back("</TR>");
  }
}

void HeadLines(std::vector<std::string>& out) {
  out.insert(
      out.end(),
      {R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)", "<HTML>",
       "<HEAD><TITLE>Varnex - Konfiguration</TITLE>",
       R"(<meta http-equiv="content-type" content="text/html; charset=ISO-8859-1">)",
       R"(<meta name="author" content="Varnex v1.1.3">)", "</HEAD>",
       "<BODY leftmargin=0 rightmargin=0 topmargin=0>",
       R"html(<TABLE WIDTH="100%" CELLPADDIND=0 CELLSPACING=0><TR><TD BGCOLOR="#E0E0E0" ALIGN=\"CENTER\"><H2 ALIGN="CENTER">Varnex - Report</H2></TD></TR></TABLE>)html",
       "<BR><TABLE><TR><TD WIDTH=5>&nbsp;</TD><TD>"});
}

void BasicSettingsLines(const TDeviceConfig& c, std::vector<std::string>& out) {
  const auto row = [](const char* label, const std::string& value) {
    return std::string("<TR><TD>") + label + "</TD><TD WIDTH=5>&nbsp;</TD><TD>" +
           EscapeHtml(value) + "</TD></TR>";
  };
  out.push_back(R"(<H3><FONT FACE="Arial">Grundeinstellungen</FONT></H3>)");
  out.push_back(IndentTable);
  out.push_back("<TABLE BORDER=0>");
  out.push_back(row("Ger&auml;terufnummer (MSN):", c.Msn()));
  if (c.PbxMode()) out.push_back(row("Amtsholung:", c.PbxPrefix()));
  out.push_back(row("Landeskennung:", c.IntlPrefix() + c.CountryCode()));
  out.push_back(row("Ortsprefix:", c.NationalPrefix()));
  out.push_back("</TABLE>");
  out.push_back("</TD></TR></TABLE>");
  out.push_back(Separator);
}

void AdministratorLines(const TDeviceConfig& c, std::vector<std::string>& out) {
  out.push_back(R"(<H3><FONT FACE="Arial">Administratoren</FONT></H3>)");
  out.push_back(IndentTable);
  if (CountActive(c.Admins()) != 0) {
    out.push_back(
        "Folgende Benutzer sind berechtigt, den Varnex ohne weitere Code-Eingaben "
        "fernzusteuern:<BR><BR>");
    out.push_back("<TABLE CELLPADDING=2 CELLSPACING=0 BORDER=0>");
    out.push_back(PersonHead);
    PersonLines(c, c.Admins(), out);
    out.push_back("</TABLE>");
  }
  if (c.AnyCallerAllowed())
    out.push_back(
        "<BR>Alle weiterein oder unbekannte Anrufer können den Varnex<BR>nach Eingabe des "
        "DTMF-Codes: <I>*" +
        EscapeHtml(c.DtmfCode()) + "#</I> fernsteuern.");
  out.push_back("</TD></TR></TABLE>");
  out.push_back(Separator);
}

void SummaryLines(const std::string& summary, std::vector<std::string>& out) {
  size_t start = 0;
  bool first = true;
  while (start < summary.size()) {
    size_t end = summary.find('\n', start);
    if (end == std::string::npos) end = summary.size();
    std::string line = summary.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!first) out.push_back("<BR>");
    out.push_back(EscapeHtml(line));
    first = false;
    start = end + 1;
  }
}

void AlarmInputLines(const ReportInput& in, std::vector<std::string>& out) {
  const TDeviceConfig& c = in.config;
  out.push_back(R"(<H3><FONT FACE="Arial">Alarmeingänge</FONT></H3>)");
  out.push_back(IndentTable);
  for (size_t i = 0; i < cfg::Inputs.size(); ++i) {
    const auto input = c.Input(i);
    out.push_back("Alarmeingang" + Decimal(static_cast<int>(i) + 1));
    if (input.Trigger() == 0) {
      out.push_back("wurde nicht konfiguriert.");
      continue;
    }
    out.push_back(std::string("löst aus wenn der Alarmkontakt ") +
                  TableText(ContactVerbs, input.Trigger()) + ".<BR>");
    out.push_back("Folgende Personen werden im Alarmfalle benachrichtigt:<BR><BR>");
    out.push_back("<TABLE CELLPADDING=2 CELLSPACING=0 BORDER=0>");
    out.push_back(PersonHead);
    PersonLines(c, input.CallList(), out);
    out.push_back("</TABLE><BR>");
    if (const uint8_t outputs = c.InputSwitch(i).Outputs(); outputs != 0) {
      out.push_back("Im Alarmfall ");
      out.push_back(outputs == 1   ? "wird Schalt-Ausgang-1 "
                    : outputs == 2 ? "wird Schalt-Ausgang-2 "
                                   : "werden Schalt-Ausgang-1 und Schalt-Ausgang-2 ");
      out.push_back("eingeschaltet.<BR><BR>");
    }
    out.push_back("Folgender Text wird als Alarmnachricht abgegeben :<BR>");
    out.push_back("<TABLE><TR><TD WIDTH=20>&nbsp;</TD><TD><I>\"");
    SummaryLines(in.summaries[i], out);
    out.push_back("\"</I></TD><TR></TABLE><BR><BR>");
    out.push_back(
        "Eine Alarmierte Person kann den Alarm mit dem DTMF-Kommandos <I>*99#</I> "
        "abschalten<BR>");
    if (input.RunToEnd())
      out.push_back(
          "Erfolgt so eine Abschaltung des Alarmvorgangs, so wird die Alarmliste noch bis zu "
          "Ihrem Ende durchlaufen.");
    out.push_back("Erfolgt keine Abschaltung, so wird die Alarmliste " + Decimal(input.Passes()) +
                  " mal durchlaufen.");
    // A rule parts a set-up input 1 from input 2's block, whether input 2 is set up or not.
    if (i == 0) out.push_back(Separator);
  }
  out.push_back("</TD></TR></TABLE>");
  out.push_back(Separator);
}

void SwitchOutputLines(const TDeviceConfig& c, std::vector<std::string>& out) {
  out.push_back(R"(<H3><FONT FACE="Arial">Schaltausgänge</FONT></H3>)");
  out.push_back(IndentTable);
  out.push_back("");
  for (size_t i = 0; i < cfg::SwitchMsns.size(); ++i) {
    const auto msn = c.SwitchMsn(i);
    const std::string n = Decimal(static_cast<int>(i) + 1);
    if (!msn.Msn().empty()) {
      out.push_back("<B>Schalt-MSN" + n + "</B>: Bei Anruf eines Administrators auf die MSN " +
                    EscapeHtml(msn.Msn()));
      switch (msn.Action()) {
        case 1:
          out.push_back(" wechselt der Schaltausgang" + n);
          break;
        case 2:
          out.push_back(
              (msn.Param() == 1 ? " schliesst der Schaltausgang" : " öffnet der Schaltausgang") +
              n);
          break;
        case 3:
          out.push_back(" schaltet der Schaltausgang" + n + " einen Impuls von " +
                        TableText(PulseLengths, msn.Param()) + "ms.");
          break;
        default:
          break;
      }
      out.push_back("");
    }
    out.push_back("<BR>");
  }
  out.push_back("<BR><BR>");
}

void DtmfLines(const std::vector<DtmfCommandRow>& rows, std::vector<std::string>& out) {
  out.push_back("Liste aller DMTF-Kommandos:<BR><BR>");
  out.push_back(IndentTable);
  out.push_back("<TABLE BORDER=0 CELLPADDING=1 CELLSPACING=0>");
  for (size_t r = 1; r <= rows.size(); ++r) {
    const std::string& key = rows[r - 1].key;
    const int row = static_cast<int>(r);
    out.push_back("<TR>");
    out.push_back(HtmlCell("left", 1, row, DtmfCellText(key)));
    out.push_back(HtmlCell("left", 1, row, "&nbsp;"));
    out.push_back(HtmlCell("left", 1, row, DtmfCellText(DtmfValueByKey(rows, key))));
    out.push_back("</TR>");
  }
  out.push_back("</TABLE>");
  out.push_back("</TD></TR></TABLE>");
  out.push_back("</TD></TR></TABLE>");
}

}  // namespace

std::string HtmlCell(std::string_view align, int span, int row, std::string_view text) {
  return "<TD COLSPAN=\"" + Decimal(span) + "\" ALIGN=\"" + std::string(align) + "\" BGCOLOR=\"" +
         ((row & 1) ? OddRowColour : EvenRowColour) + "\"><FONT FACE=\"Arial\" SIZE=\"-1\">" +
         (text.empty() ? EmptyCell : std::string(text)) + "</FONT></TD>";
}

std::string EscapeHtml(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string DtmfCellText(std::string_view utf8) {
  if (utf8.find_first_not_of(' ') == std::string_view::npos) return {};
  return EscapeHtml(utf8);
}

std::string EncodeCp1252(std::string_view utf8, Unencodable mode) {
  if (auto whole = Utf8ToCp1252(utf8)) return *whole;
  std::string out;
  for (size_t pos = 0; pos < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    const std::string_view sequence = utf8.substr(pos, length);
    if (auto byte = Utf8ToCp1252(sequence)) {
      out += *byte;
      pos += sequence.size();
      continue;
    }
    uint32_t code = lead & (0x7F >> length);
    bool valid = lead >= 0xC2 && lead <= 0xF4 && sequence.size() == length;
    for (size_t i = 1; valid && i < length; ++i) {
      const auto next = static_cast<unsigned char>(sequence[i]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr uint32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid =
        valid && code >= Smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (!valid) {
      out += '?';
      ++pos;
      continue;
    }
    out += mode == Unencodable::CharacterReference ? "&#" + std::to_string(code) + ";" : "?";
    pos += length;
  }
  return out;
}

std::string HtmlBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines)
    bytes += EncodeCp1252(line, Unencodable::CharacterReference) + "\r\n";
  return bytes;
}

std::string FormatReportTime(const std::tm& local) {
  std::string text = TwoDigits(local.tm_mday) + "." + TwoDigits(local.tm_mon + 1) + "." +
                     Decimal(local.tm_year + 1900);
  if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0)
    text += " " + TwoDigits(local.tm_hour) + ":" + TwoDigits(local.tm_min) + ":" +
            TwoDigits(local.tm_sec);
  return text;
}

std::tm LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::vector<std::string> ConfigurationReportLines(const ReportInput& input) {
  std::vector<std::string> out;
  HeadLines(out);
  BasicSettingsLines(input.config, out);
  AdministratorLines(input.config, out);
  AlarmInputLines(input, out);
  SwitchOutputLines(input.config, out);
  DtmfLines(input.dtmfRows, out);
  out.push_back("<BR><BR>");
  out.push_back("<HR SIZE=1 noshade>");
  out.push_back(FormatReportTime(input.time) + "<BR>");
  out.push_back(EscapeHtml(input.configFileName) + "<BR>");
  out.push_back("</TD></TR></TABLE>");
  out.push_back("</BODY></HTML>");
  return out;
}

bool WriteConfigurationReport(const ReportInput& input, const std::string& path,
                              std::string* errorText) {
  return WriteFileAtomic(path, HtmlBytes(ConfigurationReportLines(input)), errorText);
}

std::optional<std::string> WriteOutputFile(const std::string& path, std::string_view bytes) {
  std::string error;
  if (WriteFileAtomic(path, bytes, &error)) return path;
  MessageBox("Die Datei '" + path + "' konnte nicht geschrieben werden:\r\n" + error, ErrorCaption,
             MsgIcon::Error);
  return std::nullopt;
}

std::optional<std::string> MakeConfigurationReport(const ReportInput& input) {
  const std::string folder = GetTempDir();
  if (folder.empty()) {
    MessageBox("Es gibt keinen privaten temporären Ordner für den Report.", ErrorCaption,
               MsgIcon::Error);
    return std::nullopt;
  }
  return WriteOutputFile(folder + ReportFileName, HtmlBytes(ConfigurationReportLines(input)));
}

}  // namespace varnex
