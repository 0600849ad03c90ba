#include "ScriptedHost.h"

namespace velkor::testing {

Answer ScriptedHost::ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                                 const std::string& caption) {
    HostEvent event;
    event.type = HostEvent::Type::Message;
    event.kind = kind;
    event.buttons = buttons;
    event.text = text;
    event.caption = caption;
    events.push_back(event);
    if (onMessage) {
        onMessage(event);
    }
    if (!script.empty()) {
        const Answer answer = script.front();
        script.pop_front();
        return answer;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

void ScriptedHost::PlaySound(Sound sound) {
    HostEvent event;
    event.type = HostEvent::Type::Sound;
    event.sound = sound;
    events.push_back(event);
}

void ScriptedHost::ProcessPendingMessages() {
    ++processCalls;
    if (onProcess) {
        onProcess();
    }
}

void ScriptedHost::ShellOpenFile(const std::string& fileName, const std::string& directory) {
    HostEvent event;
    event.type = HostEvent::Type::ShellOpen;
    event.text = fileName;
    event.directory = directory;
    events.push_back(event);
}

void ScriptedHost::Answers(std::initializer_list<Answer> answers) {
    script.insert(script.end(), answers.begin(), answers.end());
}

std::vector<HostEvent> ScriptedHost::Messages() const {
    std::vector<HostEvent> out;
    for (const auto& event : events) {
        if (event.type == HostEvent::Type::Message) {
            out.push_back(event);
        }
    }
    return out;
}

std::vector<Sound> ScriptedHost::Sounds() const {
    std::vector<Sound> out;
    for (const auto& event : events) {
        if (event.type == HostEvent::Type::Sound) {
            out.push_back(event.sound);
        }
    }
    return out;
}

std::vector<std::string> ScriptedHost::MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& event : Messages()) {
        out.push_back(event.text);
    }
    return out;
}

}  // namespace velkor::testing
