#pragma once

#include <string>

#include "StopReason.h"

namespace velkor {

// Kind of a message box; decides its caption ("Warnung", "Fehler", ...).
// Plain boxes carry the application title or a caption of their own.
enum class MessageKind { Plain, Warning, Error, Information, Confirmation };

enum class Buttons { Ok, YesNo };

// Closed: the box was dismissed without pressing a button (close box, Esc).
enum class Answer { Ok, Yes, No, Closed };

// Sound kinds with their classic message-beep numbers, plus a plain beep.
enum class Sound {
    Default = 0,
    Hand = 16,
    Question = 32,
    Exclamation = 48,
    Asterisk = 64,
    SimpleBeep = -1,
};

// Everything the core needs from the world around it. Windows, the command-line
// tool and the scripted test host implement it; core code never talks to Qt.
class Host {
  public:
    virtual ~Host() = default;

    // Texts use "\r" as line break; each front end shows it as one.
    virtual Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                               const std::string& caption = {}) = 0;
    virtual void PlaySound(Sound sound) = 0;
    // Lets the user interface react; long work calls it every few milliseconds.
    virtual void ProcessPendingMessages() = 0;
    // Terminating or Interrupted once the program is ending; None otherwise.
    virtual StopReason StopRequest() = 0;
    // Opens the file with its associated program, the folder as working directory.
    virtual void ShellOpenFile(const std::string& fileName, const std::string& directory) = 0;
};

}  // namespace velkor
