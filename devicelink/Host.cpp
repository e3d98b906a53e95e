#include "Host.h"

namespace varnex {

namespace {
SilentPrompter defaultPrompter;
NullPump defaultPump;
MemorySettings defaultSettings;
IPrompter* currentPrompter = &defaultPrompter;
IUiPump* currentPump = &defaultPump;
ISettingsStore* currentSettings = &defaultSettings;
}  // namespace

MsgResult SafeDefault(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::OkCancel: return MsgResult::Cancel;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
  }
  return MsgResult::Cancel;
}

MsgResult SilentPrompter::Message(const std::string& text, const std::string& caption, MsgIcon icon,
                                  MsgButtons buttons) {
  history_.push_back({text, caption, icon, buttons});
  return SafeDefault(buttons);
}

MemorySettings::Value* MemorySettings::Find(SettingsScope scope, const std::string& name) {
  for (auto& v : values_)
    if (v.scope == scope && v.name == name) return &v;
  return nullptr;
}

std::optional<int> MemorySettings::ReadInt(SettingsScope scope, const std::string& name) {
  const Value* v = Find(scope, name);
  if (!v || !v->isInt) return {};
  return std::stoi(v->text);
}

std::optional<std::string> MemorySettings::ReadString(SettingsScope scope,
                                                      const std::string& name) {
  const Value* v = Find(scope, name);
  if (!v) return {};
  return v->text;
}

void MemorySettings::WriteInt(SettingsScope scope, const std::string& name, int value) {
  if (Value* v = Find(scope, name)) {
    *v = {scope, name, std::to_string(value), true};
    return;
  }
  values_.push_back({scope, name, std::to_string(value), true});
}

void MemorySettings::WriteString(SettingsScope scope, const std::string& name,
                                 const std::string& value) {
  if (Value* v = Find(scope, name)) {
    *v = {scope, name, value, false};
    return;
  }
  values_.push_back({scope, name, value, false});
}

IPrompter& Prompter() { return *currentPrompter; }
IUiPump& UiPump() { return *currentPump; }
ISettingsStore& Settings() { return *currentSettings; }

ScopedHost::ScopedHost(IPrompter* prompter, IUiPump* pump, ISettingsStore* settings)
    : oldPrompter_(currentPrompter), oldPump_(currentPump), oldSettings_(currentSettings) {
  if (prompter) currentPrompter = prompter;
  if (pump) currentPump = pump;
  if (settings) currentSettings = settings;
}

ScopedHost::~ScopedHost() {
  currentPrompter = oldPrompter_;
  currentPump = oldPump_;
  currentSettings = oldSettings_;
}

MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                     MsgButtons buttons) {
  return Prompter().Message(text, caption, icon, buttons);
}

}  // namespace varnex
