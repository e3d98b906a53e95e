// varnexctl report FILE [-o OUT]: the configuration report of a configuration file, as the
// configurator's "&Report erstellen" writes it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "AlarmTexts.h"
#include "Cli.h"
#include "DtmfCommands.h"
#include "ProgramHome.h"
#include "Report.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"

namespace varnex::cli {

namespace {

int RunReport(CliContext& ctx) {
  std::string file, out, ini;
  for (size_t i = 0; i < ctx.args.size(); ++i) {
    const std::string& arg = ctx.args[i];
    if (arg == "-o" || arg == "--ini") {
      if (i + 1 == ctx.args.size()) return UsageError(ctx, "report", arg + " needs a file");
      (arg == "-o" ? out : ini) = ctx.args[++i];
    } else if (file.empty()) {
      file = arg;
    } else {
      return UsageError(ctx, "report", "unexpected argument '" + arg + "'");
    }
  }
  if (file.empty()) return UsageError(ctx, "report", "takes one configuration file");

  TRuvolt link;
  std::string error;
  if (!link.LoadConfig(file, &error)) {
    std::fprintf(stderr, "varnexctl report: %s\n", error.c_str());
    return ExitFailed;
  }
  const std::string programDir = ProgramDir();
  if (ini.empty()) ini = programDir + DefaultLanguageIni;
  std::error_code ec;
  if (!std::filesystem::exists(ini, ec)) {
    std::fprintf(stderr, "varnexctl report: no voice prompt catalogue %s (use --ini FILE)\n",
                 ini.c_str());
    return ExitFailed;
  }
  LoadVoiceCatalogue(ini);  // errors were shown; the samples read so far still name the words

  ReportInput input;
  input.config = link.Config;
  input.summaries = AlarmTextSummaries(link.Config);
  input.dtmfRows = ProgramDtmfCommands(programDir);
  // The configurator's file dialogs hand out absolute paths.
  input.configFileName = std::filesystem::absolute(file, ec).string();
  input.time = LocalTimeNow();

  if (out.empty()) {
    const std::string folder = GetTempDir();
    if (folder.empty()) {
      std::fprintf(stderr, "varnexctl report: no private temporary folder (use -o OUT)\n");
      return ExitFailed;
    }
    out = folder + ReportFileName;
  }
  if (!WriteConfigurationReport(input, out, &error)) {
    std::fprintf(stderr, "varnexctl report: %s\n", error.c_str());
    return ExitFailed;
  }
  std::printf("Report written to %s\n", out.c_str());
  return ExitOk;
}

const RegisterCommand reg({"report", "FILE [-o OUT] [--ini FILE]",
                           "write the HTML configuration report of a configuration file",
                           RunReport});

}  // namespace

}  // namespace varnex::cli
