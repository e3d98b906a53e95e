// varnexctl build-flash: the voice flash image from a language INI file and its A-law prompts.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Cli.h"
#include "FlashImage.h"
#include "ProgramHome.h"
#include "Progress.h"
#include "VoiceCatalogue.h"

namespace varnex::cli {

namespace {

constexpr const char* Command = "build-flash";

int Fail(const std::string& message) {
  std::fprintf(stderr, "varnexctl %s: %s\n", Command, message.c_str());
  return ExitFailed;
}

int RunBuildFlash(CliContext& ctx) {
  const std::string home = ProgramDir();
  const FlashFolders folders = FlashFoldersOf(home);
  std::string ini = home + DefaultLanguageIni;
  std::string alaw = folders.alaw;
  std::string out = folders.flash + FlashFileName;
  for (size_t i = 0; i < ctx.args.size(); ++i) {
    const std::string& arg = ctx.args[i];
    if (arg != "--ini" && arg != "--alaw-dir" && arg != "-o")
      return UsageError(ctx, Command, "unexpected argument '" + arg + "'");
    if (i + 1 == ctx.args.size()) return UsageError(ctx, Command, arg + " needs a value");
    const std::string& value = ctx.args[++i];
    if (value.empty()) return UsageError(ctx, Command, arg + " needs a value");
    if (arg == "--ini") ini = value;
    if (arg == "--alaw-dir") alaw = value.back() == '/' ? value : value + "/";
    if (arg == "-o") out = value;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  if (out.back() == '/' || fs::is_directory(out, ec))
    out = (fs::path(out) / FlashFileName).lexically_normal().string();
  if (!fs::is_regular_file(ini, ec)) return Fail(ini + ": no such file (use --ini FILE)");
  if (!fs::is_directory(alaw, ec)) return Fail(alaw + ": no such folder (use --alaw-dir DIR)");
  if (!LoadVoiceCatalogue(ini)) return Fail(ini + ": the catalogue has errors (see above)");

  EchoLines lines;
  for (const std::string& line : UnusedFixMessageSamples()) lines.Add(line);
  const SampleMeasure measure = MeasureSamples(alaw);
  for (const std::string& line : measure.warnings) lines.Add(line);
  for (const std::string& line : CapacityReport(measure.total)) lines.Add(line);
  const FlashBuildResult result = BuildFlashFile(alaw, out, lines);
  return result.outcome == FlashBuildOutcome::Created ? ExitOk : ExitFailed;
}

const RegisterCommand reg({Command, "[--ini FILE] [--alaw-dir DIR] [-o OUT]",
                           "build the voice flash image (default: the program folder's)",
                           RunBuildFlash});

}  // namespace

}  // namespace varnex::cli
