#include "ScriptedPrompter.h"

namespace varnex::test {

namespace {

bool Offers(MsgButtons buttons, MsgResult answer) {
  switch (buttons) {
    case MsgButtons::Ok: return answer == MsgResult::Ok;
    case MsgButtons::OkCancel: return answer == MsgResult::Ok || answer == MsgResult::Cancel;
    case MsgButtons::YesNo: return answer == MsgResult::Yes || answer == MsgResult::No;
    case MsgButtons::YesNoCancel:
      return answer == MsgResult::Yes || answer == MsgResult::No || answer == MsgResult::Cancel;
  }
  return false;
}

}  // namespace

ScriptedPrompter::ScriptedPrompter(FailureFn onFailure) : onFailure_(std::move(onFailure)) {}

ScriptedPrompter::~ScriptedPrompter() { VerifyAllShown(); }

ScriptedPrompter& ScriptedPrompter::Expect(std::string text, std::string caption,
                                           MsgResult answer) {
  script_.push_back({false, false, std::move(text), std::move(caption), answer, {}});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectContaining(std::string fragment, std::string caption,
                                                     MsgResult answer) {
  script_.push_back({false, true, std::move(fragment), std::move(caption), answer, {}});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectFileDialog(std::optional<std::string> answer) {
  Expectation e;
  e.isFileDialog = true;
  e.file = std::move(answer);
  script_.push_back(std::move(e));
  return *this;
}

MsgResult ScriptedPrompter::Message(const std::string& text, const std::string& caption,
                                    MsgIcon icon, MsgButtons buttons) {
  shown_.push_back({text, caption, icon, buttons});
  if (script_.empty() || script_.front().isFileDialog) {
    onFailure_("unexpected message box [" + caption + "]: " + text);
    return SafeDefault(buttons);
  }
  Expectation e = script_.front();
  script_.pop_front();
  const bool textOk = e.containing ? text.find(e.text) != std::string::npos : text == e.text;
  if (!textOk)
    onFailure_("message box text: expected " + std::string(e.containing ? "containing " : "") +
               "\"" + e.text + "\", shown \"" + text + "\"");
  if (!e.caption.empty() && caption != e.caption)
    onFailure_("message box caption: expected \"" + e.caption + "\", shown \"" + caption + "\"");
  if (!Offers(buttons, e.answer)) {
    onFailure_("the box \"" + text + "\" does not offer the scripted answer");
    return SafeDefault(buttons);
  }
  return e.answer;
}

std::optional<std::string> ScriptedPrompter::FileDialog(const FileDialogRequest& request) {
  dialogs_.push_back(request);
  if (script_.empty() || !script_.front().isFileDialog) {
    onFailure_("unexpected file dialog: " + request.title);
    return {};
  }
  auto answer = script_.front().file;
  script_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompter::OpenFileName(const FileDialogRequest& request) {
  return FileDialog(request);
}

std::optional<std::string> ScriptedPrompter::SaveFileName(const FileDialogRequest& request) {
  return FileDialog(request);
}

void ScriptedPrompter::VerifyAllShown() {
  for (const auto& e : script_)
    onFailure_(e.isFileDialog ? std::string("expected file dialog never shown")
                              : "expected message box never shown: " + e.text);
  script_.clear();
}

}  // namespace varnex::test
