// What the fuzz targets share: a reader over the fuzzer's bytes, a private scratch folder, and a
// host whose message boxes are answered silently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Host.h"

namespace varnex::fuzz {

// Takes numbers and runs of bytes off the front of the input; past its end everything is 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  // Up to `count` bytes (fewer at the end).
  std::string_view Take(size_t count) {
    const size_t n = count < Left() ? count : Left();
    std::string_view taken(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return taken;
  }
  std::string_view Rest() { return Take(Left()); }
  size_t Left() const { return size_ - at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// A folder of this process below /tmp (or $TMPDIR), made once; files in it are rewritten by
// every run.
const std::string& ScratchDir();
// Writes bytes to ScratchDir() + name and returns the path.
std::string ScratchFile(const std::string& name, std::string_view bytes);

// Message boxes answered with their safe default and forgotten (SilentPrompter would keep them
// all over millions of runs).
class ForgetfulPrompter final : public IPrompter {
 public:
  MsgResult Message(const std::string&, const std::string&, MsgIcon, MsgButtons buttons) override {
    ++shown;
    return SafeDefault(buttons);
  }
  std::optional<std::string> OpenFileName(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> SaveFileName(const FileDialogRequest&) override { return {}; }
  size_t shown = 0;
};

// The host of one run: message boxes answered silently and counted, no window to serve.
struct QuietHost {
  ForgetfulPrompter prompter;
  ScopedHost host{&prompter, nullptr};
};

// Loads the shipped language catalogue (aborts when it does not load).
void LoadShippedCatalogue();

// A broken invariant: abort so that the fuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}
inline void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

}  // namespace varnex::fuzz

namespace varnex::fuzz {

// True when the bytes are well-formed UTF-8 (what every text handed to a window must be).
bool IsUtf8(std::string_view text);

}  // namespace varnex::fuzz
