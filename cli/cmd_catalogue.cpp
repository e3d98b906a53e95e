// varnexctl catalogue: the voice prompt catalogue of a language INI file as readable text.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Cli.h"
#include "ProgramHome.h"
#include "VoiceCatalogue.h"

namespace varnex::cli {

namespace {

// Pads UTF-8 text with blanks to `width` characters.
std::string Padded(const std::string& text, size_t width) {
  size_t characters = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  return characters >= width ? text : text + std::string(width - characters, ' ');
}

void PrintCatalogue(const std::string& path) {
  std::printf("Catalogue: %s\n", path.c_str());
  std::printf("Short pause: sample %d\n\n", static_cast<int>(ShortPauseId));

  std::printf("Categories (%d):\n", static_cast<int>(CategoryCount));
  for (int c = 1; c <= CategoryCount; ++c) {
    int samples = 0;
    for (int i = 1; i <= SampleCount; ++i)
      if (Samples[static_cast<size_t>(i)].category == c) ++samples;
    std::printf("  %3d  %s %-8s %3d samples\n", c,
                Padded(CategoryNames[static_cast<size_t>(c)], 20).c_str(),
                CategoryVisible[static_cast<size_t>(c)] ? "visible" : "hidden", samples);
  }

  std::printf("\nSamples (%d):\n", static_cast<int>(SampleCount));
  std::printf("  %3s  %3s  %s %-3s  %s %s\n", "#", "id", Padded("category", 16).c_str(), "fix",
              Padded("text", 26).c_str(), "file");
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    std::printf("  %3d  %3u  %s %-3s  %s %s\n", i, s.id,
                Padded(CategoryNames[s.category], 16).c_str(), s.in_fix_message ? "yes" : "",
                Padded("\"" + s.text + "\"", 26).c_str(), s.filename.c_str());
  }

  std::printf("\nFix messages (%u, length %u, %d of %d bytes):\n", FixMessageCount,
              FixMessageLength, static_cast<int>(FixMessageBytes), FixMessageAreaBytes);
  for (const TFixNachricht& m : FixMessages) {
    std::string ids, words;
    for (uint8_t b : m.nachricht) {
      if (b == 0) break;
      ids += (ids.empty() ? "" : " ") + std::to_string(b);
      const uint8_t index = FindSampleById(b);
      words +=
          (words.empty() ? "" : " / ") + (index ? Samples[index].text : "?" + std::to_string(b));
    }
    std::printf("  %s %s  %s\n",
                Padded("fixnachricht_" + std::to_string(m.fixnachricht_id), 18).c_str(),
                Padded(ids, 28).c_str(), words.c_str());
  }
}

int RunCatalogue(CliContext& ctx) {
  std::string path;
  for (size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == "--ini") {
      if (i + 1 == ctx.args.size()) return UsageError(ctx, "catalogue", "--ini needs a file");
      path = ctx.args[++i];
    } else {
      return UsageError(ctx, "catalogue", "unexpected argument '" + ctx.args[i] + "'");
    }
  }
  if (path.empty()) {
    const std::string folder = ProgramDir();
    path = folder + DefaultLanguageIni;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
      std::fprintf(stderr, "varnexctl catalogue: no %s in the program folder %s (use --ini FILE)\n",
                   DefaultLanguageIni, folder.c_str());
      return ExitFailed;
    }
  }
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    std::fprintf(stderr, "varnexctl catalogue: %s: no such file\n", path.c_str());
    return ExitFailed;
  }
  const bool ok = LoadVoiceCatalogue(path);
  PrintCatalogue(path);
  if (!ok) {
    std::fprintf(stderr, "varnexctl catalogue: the catalogue has errors (see above)\n");
    return ExitFailed;
  }
  return ExitOk;
}

const RegisterCommand reg({"catalogue", "[--ini FILE]",
                           "list the voice prompt catalogue of a language INI file", RunCatalogue});

}  // namespace

}  // namespace varnex::cli
