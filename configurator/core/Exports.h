// The DTMF command exports, the help pages, and the two pages filled from templates: the order
// form for additional MSNs and the firmware update page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceConfig.h"
#include "DtmfCommands.h"

namespace varnex {

constexpr const char* DtmfHtmlFileName = "dtmf_commands.html";
constexpr const char* DtmfTextFileName = "dtmf_commands.txt";
constexpr const char* OrderFormTemplate = "msn_order_tpl.html";
constexpr const char* OrderFormFileName = "msn_order.html";
constexpr const char* UpdateTemplate = "frame-varnex-autoupdates.htm";
constexpr const char* UpdateFileName = "update.html";

// Help pages beside the outputs dialog and the alarm message composer.
constexpr const char* OutputsHelpPage = "schaltausgang.html";
constexpr const char* ComposerHelpPage = "alarm.html";

// The update server's host: application setting "UpdateHost", else DefaultUpdateHost.
constexpr const char* UpdateHostSetting = "UpdateHost";
constexpr const char* DefaultUpdateHost = "www.brelmo.de";
constexpr const char* UpdatePath = "/ruvolt/update/update.php";

// 0-based template lines that receive the values.
constexpr size_t OrderFormDeviceMsnLine = 31;
constexpr size_t OrderFormOutput1Line = 33;
constexpr size_t OrderFormOutput2Line = 35;
constexpr size_t UpdateFrameLine = 32;

// The DTMF command list as an HTML page / a text file: Windows-1252 bytes, CR LF, every row.
std::string DtmfCommandsHtml(const std::vector<DtmfCommandRow>& rows);
std::string DtmfCommandsText(const std::vector<DtmfCommandRow>& rows);

// "&HTML" / "&Textdatei": write GetTempDir() + the export's file name and return its path for
// opening; on failure show why (caption "Varnex - Error") and return nothing.
std::optional<std::string> ExportDtmfHtml(const std::vector<DtmfCommandRow>& rows);
std::optional<std::string> ExportDtmfText(const std::vector<DtmfCommandRow>& rows);

// The help page of a main window page index: 0 basic settings, 1 administrators, 2 alarm
// inputs, 3 switch outputs, any other "index.html".
std::string HelpPage(int pageIndex);

// A template's lines as a memo holds them (CR LF, LF or CR end a line).
std::vector<std::string> TemplateLines(std::string_view bytes);

// The order form: ` VALUE="msn"` appended to the lines 31, 33 and 35 with the device's MSN and
// the two switch outputs' MSNs. False with errorText, nothing filled, for a template too short.
bool FillOrderForm(std::vector<std::string>& lines, const TDeviceConfig& config,
                   std::string* errorText = nullptr);

// "http://host/ruvolt/update/update.php?hid=5&fid0=major&fid1=minor&sid0=1&sid1=1&sid2=1".
std::string UpdatePageAddress(std::string_view host, int major, int minor);
// The host from the settings, or nothing (with errorText) when the setting is not a host name.
std::optional<std::string> UpdateHost(std::string* errorText = nullptr);

// The update page: line 32 replaced by `src="address"` (an address of UpdatePageAddress with a
// checked host, written as it is). False with errorText for a template
// too short.
bool FillUpdatePage(std::vector<std::string>& lines, std::string_view address,
                    std::string* errorText = nullptr);

// "zusätzliche MSN": fills templatesDir + OrderFormTemplate into tmpDir + OrderFormFileName and
// returns that path for opening. A missing, unreadable or too short template, or a file that
// cannot be written, is shown (caption "Varnex - Error", error icon); nothing is written.
std::optional<std::string> MakeOrderForm(const std::string& templatesDir, const std::string& tmpDir,
                                         const TDeviceConfig& config);

// "Internet &Updates": the same for the update page, with the firmware version last known (0.0
// when never known) and the host from the settings.
std::optional<std::string> MakeUpdatePage(const std::string& templatesDir,
                                          const std::string& tmpDir, int major, int minor);

}  // namespace varnex
