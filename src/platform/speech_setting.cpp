#include "platform/speech_setting.h"

#include <fstream>
#include <string>

#include "platform/config_file.h"

namespace mokuren {

bool ReadSpeechSetting() {
  const std::filesystem::path folder = ConfigFolder();
  if (folder.empty()) return false;
  std::ifstream in(folder / "speech");
  std::string word;
  return in >> word && word == "on";
}

bool WriteSpeechSetting(bool on) {
  const std::filesystem::path folder = ConfigFolder();
  return !folder.empty() && ReplaceConfigFile(folder / "speech", on ? "on\n" : "off\n");
}

}  // namespace mokuren
