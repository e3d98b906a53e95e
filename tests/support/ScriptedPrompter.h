// A prompter that answers from a script and reports every box it was not told to expect, or an
// answer the box does not offer. Framework-neutral: the failure goes to a callback.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Host.h"

namespace varnex::test {

class ScriptedPrompter : public IPrompter {
 public:
  using FailureFn = std::function<void(const std::string&)>;

  struct Shown {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
  };

  explicit ScriptedPrompter(FailureFn onFailure);
  ~ScriptedPrompter() override;

  // The next box must show exactly this text (and caption, unless empty); it is answered so.
  ScriptedPrompter& Expect(std::string text, std::string caption = {},
                           MsgResult answer = MsgResult::Ok);
  // The next box's text must contain the fragment.
  ScriptedPrompter& ExpectContaining(std::string fragment, std::string caption = {},
                                     MsgResult answer = MsgResult::Ok);
  // The next file dialog is answered with this path (nothing = cancelled).
  ScriptedPrompter& ExpectFileDialog(std::optional<std::string> answer);

  MsgResult Message(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override;
  std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;

  const std::vector<Shown>& History() const { return shown_; }
  std::vector<FileDialogRequest> FileDialogs() const { return dialogs_; }
  // Reports every expectation that was never met, then forgets them.
  void VerifyAllShown();

 private:
  struct Expectation {
    bool isFileDialog = false;
    bool containing = false;
    std::string text, caption;
    MsgResult answer = MsgResult::Ok;
    std::optional<std::string> file;
  };
  std::optional<std::string> FileDialog(const FileDialogRequest& request);

  FailureFn onFailure_;
  std::deque<Expectation> script_;
  std::vector<Shown> shown_;
  std::vector<FileDialogRequest> dialogs_;
};

}  // namespace varnex::test
