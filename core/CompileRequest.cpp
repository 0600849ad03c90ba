#include "CompileRequest.h"

#include "FileMessages.h"
#include "PrivateFile.h"

namespace velkor {

namespace {

constexpr std::size_t kMinimumKey = 6;
constexpr std::size_t kMaximumKey = 128;

std::string UpperFileName(const std::string& name) {
    return FileNamePart(UpperCaseName(name));
}

}  // namespace

std::string UpperCaseName(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name;
}

bool WriteProbe(FileSystem& files, const std::string& name) {
    // Something that is there but no regular file (a folder, a FIFO, a
    // dangling link) is never replaced.
    FileIdentity existing;
    const bool present = files.Identify(name, existing) == 0;
    if (present && (!files.FileExists(name) || !files.Writable(name))) {
        return true;
    }
    // The job writes a new file beside the drain and renames it over the
    // drain; the probe does the first half and removes its file again.
    PrivateFile probe(files);
    return probe.CreateResultFor(name) != 0;
}

void CompileRequestChecks::Refuse(Sound sound, const std::string& text) {
    host_.PlaySound(sound);
    host_.ShowMessage(sound == Sound::Exclamation ? MessageKind::Warning : MessageKind::Error,
                      Buttons::Ok, text);
}

bool CompileRequestChecks::CheckCompileRequest(CompileRequestForm& form) {
    const std::size_t keyLength = form.RequestKeyLength();
    if (keyLength < kMinimumKey || keyLength > kMaximumKey) {
        Refuse(Sound::Exclamation,
               "Key must be:\r - Longer than 6 characters.\r - Shorter than 129 characters.");
        form.ClearField(RequestField::Key);
        return false;
    }
    return CheckKeyFile(form) && CheckSource(form) && CheckDrain(form) && CheckReadable(form);
}

bool CompileRequestChecks::CheckKeyFile(CompileRequestForm& form) {
    const std::string key = form.RequestKeyFileName();
    if (key.empty()) {
        return true;
    }
    const std::string source = form.RequestSourceFileName();
    const std::string drain = form.RequestDrainFileName();
    const std::string upper = UpperFileName(key);
    // The same file under another name counts as well: the job would destroy it.
    if (upper == UpperFileName(source) || upper == UpperFileName(drain) ||
        !files_.FileExists(key) || files_.SameFile(key, source) || files_.SameFile(key, drain)) {
        Refuse(Sound::Hand, FileConflictMessage(FileNamePart(key)));
        form.ClearField(RequestField::KeyFile);
        return false;
    }
    return true;
}

bool CompileRequestChecks::CheckSource(CompileRequestForm& form) {
    const std::string source = form.RequestSourceFileName();
    if (source.empty()) {
        form.ClearField(RequestField::Source);
        return false;
    }
    if (form.RequestSourceIsStream()) {
        return true;
    }
    const std::string drain = form.RequestDrainFileName();
    if (UpperFileName(source) == UpperFileName(drain) || !files_.FileExists(source) ||
        files_.SameFile(source, drain)) {
        Refuse(Sound::Hand, FileConflictMessage(FileNamePart(source)));
        form.ClearField(RequestField::Source);
        return false;
    }
    return true;
}

bool CompileRequestChecks::CheckDrain(CompileRequestForm& form) {
    const std::string drain = form.RequestDrainFileName();
    bool& confirmed = form.RequestDrainConfirmed();
    if (drain.empty()) {
        confirmed = false;
        form.ClearField(RequestField::Drain);
        return false;
    }
    if (form.RequestDrainIsStream()) {
        return true;
    }
    if (!confirmed) {
        confirmed = true;
        if (files_.FileExists(drain)) {
            host_.PlaySound(Sound::Question);
            const Answer answer =
                host_.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                                  FileMessage(FileNamePart(drain), FileProblem::AlreadyExists));
            if (answer == Answer::No) {
                confirmed = false;
                form.ClearField(RequestField::Drain);
            } else if (answer != Answer::Yes) {
                confirmed = false;
                form.FocusField(RequestField::Drain);
            }
        }
    }
    if (!confirmed) {
        return false;
    }
    if (WriteProbe(files_, drain)) {
        Refuse(Sound::Hand, FileMessage(FileNamePart(drain), FileProblem::WriteError));
        form.ClearField(RequestField::Drain);
        return false;
    }
    return true;
}

bool CompileRequestChecks::CheckOneReadable(CompileRequestForm& form, RequestField field,
                                            FileRole role, const std::string& name,
                                            FileError& error) {
    const std::string shownName = FileNamePart(name);
    bool readable = true;
    File file;
    error.Note(files_.OpenRead(name, file), role, shownName);
    std::int64_t size = -1;
    if (file.IsOpen()) {
        error.Note(files_.Size(file, size), role, shownName);
    }
    if (size == 0) {
        Refuse(Sound::Hand, FileMessage(shownName, FileProblem::Empty));
        readable = false;
        ReportReadErrors = false;
        form.ClearField(field);
    }
    if (file.IsOpen()) {
        error.Note(files_.Close(file), role, shownName);
    }
    if (error.Failed() && ReportReadErrors) {
        Refuse(Sound::Hand, FileErrorMessage(error));
        readable = false;
        ReportReadErrors = false;
        form.ClearField(field);
    }
    return readable;
}

bool CompileRequestChecks::CheckReadable(CompileRequestForm& form) {
    bool readable = true;
    FileError error;
    const std::string key = form.RequestKeyFileName();
    if (files_.FileExists(key)) {
        readable = CheckOneReadable(form, RequestField::KeyFile, FileRole::KeyFile, key, error) &&
                   readable;
    }
    if (!error.Failed() && !form.RequestSourceIsStream()) {
        readable = CheckOneReadable(form, RequestField::Source, FileRole::Source,
                                    form.RequestSourceFileName(), error) &&
                   readable;
    }
    return readable;
}

}  // namespace velkor
