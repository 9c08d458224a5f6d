// Messages read aloud through speech-dispatcher, when it is installed: one "spd-say" client, started
// once, speaks each line it is given in Japanese. A new line cuts the one being read short, as a new
// message does on screen. Without speech-dispatcher nothing is spoken and the game runs on.
#pragma once

#include <sys/types.h>
#include <string>
#include <string_view>

namespace mokuren {

class Speech {
 public:
  Speech() = default;
  ~Speech();
  Speech(const Speech&) = delete;
  Speech& operator=(const Speech&) = delete;

  // Starts the client. False, with the reason for the player in `error`, when speech-dispatcher is not
  // installed or its client cannot be started.
  bool Start(std::string& error);
  // Speaks one line. False once the client has gone (speech-dispatcher could not be reached); every
  // later call then does nothing.
  bool Say(std::u16string_view line);

 private:
  void Stop();

  int pipe_ = -1;  // the client's standard input
  pid_t pid_ = -1;
};

}  // namespace mokuren
