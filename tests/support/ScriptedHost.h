#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Host.h"

namespace velkor::testing {

// One thing the core showed or sounded, in the order it happened.
struct HostEvent {
    enum class Type { Message, Sound, ShellOpen };
    Type type = Type::Message;
    MessageKind kind = MessageKind::Plain;
    Buttons buttons = Buttons::Ok;
    std::string text;  // message text, or the opened file's name
    std::string caption;
    Sound sound = Sound::Default;
    std::string directory;  // shell open only
};

// A host without a screen: records every message and sound and answers
// questions from a script (Ok for OK boxes, No for questions, once the script
// has run out).
class ScriptedHost : public Host {
  public:
    Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                       const std::string& caption) override;
    void PlaySound(Sound sound) override;
    void ProcessPendingMessages() override;
    StopReason StopRequest() override { return stop; }
    void ShellOpenFile(const std::string& fileName, const std::string& directory) override;

    void Answers(std::initializer_list<Answer> answers);

    std::vector<HostEvent> events;
    std::deque<Answer> script;
    StopReason stop = StopReason::None;
    long long processCalls = 0;
    // Runs inside every ProcessPendingMessages, as a window handler would.
    std::function<void()> onProcess;
    // Runs when a message is shown, before it is answered.
    std::function<void(const HostEvent&)> onMessage;

    std::vector<HostEvent> Messages() const;
    std::vector<Sound> Sounds() const;
    std::vector<std::string> MessageTexts() const;
};

}  // namespace velkor::testing
