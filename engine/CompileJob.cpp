#include "CompileJob.h"

#include <memory>
#include <random>

#include "BlockLoop.h"
#include "CompileJobContext.h"
#include "KeyMaterial.h"

namespace velkor {

namespace {

constexpr std::size_t kKeyBlock = 256;

IoResult CloseIfOpen(CompileJobContext& job, File& file) {
    return file.IsOpen() ? job.files.Close(file) : 0;
}

void OpenJobFiles(CompileJobContext& job) {
    auto& state = job.state;
    auto& window = job.window;
    int errors = 0;
    const std::string base = FileNamePart(window.WorkFileName);

    if (window.Compiling && state.HasKeyFile) {
        const IoResult opened = job.files.OpenRead(state.KeyFileName, state.KeyFile);
        errors += opened;
        if (opened != 0 || errors != 0) {
            errors += CloseIfOpen(job, state.KeyFile);
            ReportFileError(job, state.KeyFileName, "read error!");
        } else {
            errors += job.files.Size(state.KeyFile, job.KeyFileSize);
            window.SetProgressRange(job.KeyFileSize, job.KeyFileSize > 256 ? 256 : job.KeyFileSize);
        }
    }
    if (window.Compiling) {
        const IoResult opened = job.files.OpenRead(state.SourceFileName, state.SourceFile);
        errors += opened;
        if (opened != 0 || errors != 0) {
            errors += CloseIfOpen(job, state.SourceFile);
            errors += CloseIfOpen(job, state.KeyFile);
            ReportFileError(job, state.SourceFileName, "read error!");
        }
    }
    if (window.Compiling) {
        const IoResult created = job.files.Create(state.DrainFileName, state.DrainFile);
        errors += created;
        if (created != 0 || errors != 0) {
            errors += CloseIfOpen(job, state.DrainFile);
            errors += CloseIfOpen(job, state.SourceFile);
            errors += CloseIfOpen(job, state.KeyFile);
            ReportFileError(job, state.DrainFileName, "write error!");
        }
    }
    if (window.Compiling) {
        std::string candidate = base;
        for (int number = 1; job.files.FileExists(job.settings.DefaultDirectory + candidate);
             ++number) {
            candidate = std::to_string(number) + base;
        }
        window.WorkFileName = job.settings.DefaultDirectory + candidate;
        job.WorkFileChosen = true;

        File probe;
        errors += job.files.Create(window.WorkFileName, probe);
        const IoResult closed = CloseIfOpen(job, probe);
        if (closed != 0 || errors != 0) {
            errors += CloseIfOpen(job, state.SourceFile);
            errors += CloseIfOpen(job, state.DrainFile);
            errors += CloseIfOpen(job, state.KeyFile);
            ReportFileError(job, window.WorkFileName, "create error!");
        }
    }
    if (errors == 0) {
        job.host.PlaySound(Sound::SimpleBeep);
    }
}

void StartJob(CompileJobContext& job) {
    auto& window = job.window;
    window.CompilePending = false;
    window.CompileAborted = false;
    window.Compiling = true;
    window.StartAnimation();
    if (!job.random) {
        auto generator = std::make_shared<std::mt19937>(static_cast<std::uint32_t>(
            std::chrono::system_clock::now().time_since_epoch().count()));
        job.random = [generator] { return static_cast<int>((*generator)() & 0xFF); };
    }
    window.SetProgressPosition(0);
    CaptureJobSettings(job.state, job.settings);
    OpenJobFiles(job);
}

void PreparePass(CompileJobContext& job) {
    if (!job.window.Compiling) {
        return;
    }
    job.state.ChainBit = 0;
    ExpandPassKey(job.state);
    PreparePassTables(job.state);
}

void SwapPassFiles(CompileJobContext& job) {
    auto& state = job.state;
    auto& window = job.window;
    int errors = 0;
    if (job.files.FileExists(window.WorkFileName) && job.files.Erase(window.WorkFileName) != 0) {
        ReportFileError(job, window.WorkFileName, "delete error!");
    }
    if (window.Compiling && job.files.Rename(state.DrainFileName, window.WorkFileName) != 0) {
        ReportFileError(job, window.WorkFileName, "rename error!");
    }
    if (window.Compiling) {
        const IoResult opened = job.files.OpenRead(window.WorkFileName, state.SourceFile);
        errors += opened;
        if (opened != 0) {
            errors += CloseIfOpen(job, state.SourceFile);
            ReportFileError(job, window.WorkFileName, "read error!");
        }
    }
    if (window.Compiling) {
        const IoResult created = job.files.Create(state.DrainFileName, state.DrainFile);
        errors += created;
        if (created != 0) {
            errors += CloseIfOpen(job, state.DrainFile);
            errors += CloseIfOpen(job, state.SourceFile);
            ReportFileError(job, state.DrainFileName, "write error!");
        }
    }
    if (errors == 0) {
        job.host.PlaySound(Sound::SimpleBeep);
    }
}

void UseKeyBlock(CompileJobContext& job, const std::uint8_t* block, std::size_t count) {
    auto& state = job.state;
    std::copy(block, block + count, state.PassKey.begin());
    state.PassKeyLength = static_cast<int>(count);
    state.PassKeyExtension = state.MainKeyExtension;
}

// The user's key first, then the key-file blocks in file order.
void EncryptWithKeyFile(CompileJobContext& job) {
    auto& state = job.state;
    PreparePass(job);
    RunPass(job);
    std::array<std::uint8_t, kKeyBlock> block{};
    while (true) {
        std::size_t count = 0;
        job.IoErrors += job.files.Read(state.KeyFile, block.data(), block.size(), count);
        if (job.IoErrors != 0) {
            ReportFileError(job, state.KeyFileName, "read error!");
        } else if (count > 0 && job.window.Compiling) {
            UseKeyBlock(job, block.data(), count);
            SwapPassFiles(job);
            PreparePass(job);
            RunPass(job);
        }
        if (count == 0 || !job.window.Compiling) {
            break;
        }
    }
    job.IoErrors += CloseIfOpen(job, state.KeyFile);
    SecureZero(block.data(), block.size());
}

void KeyFileReadError(CompileJobContext& job) {
    job.IoErrors += CloseIfOpen(job, job.state.SourceFile);
    job.IoErrors += CloseIfOpen(job, job.state.DrainFile);
    job.Finished = true;
    ReportFileError(job, job.state.KeyFileName, "read error!");
}

// The key-file blocks from the last to the first, then the user's key with
// its saved extension. Each block is reached by seeking to it.
void DecryptWithKeyFile(CompileJobContext& job) {
    auto& state = job.state;
    std::int64_t start =
        job.KeyFileSize > 0 ? (job.KeyFileSize - 1) / std::int64_t{kKeyBlock} * kKeyBlock : 0;
    std::array<std::uint8_t, kKeyBlock> block{};
    while (job.window.Compiling) {
        std::size_t count = 0;
        job.IoErrors += job.files.Seek(state.KeyFile, start);
        if (job.IoErrors == 0) {
            job.IoErrors += job.files.Read(state.KeyFile, block.data(), block.size(), count);
        }
        if (job.IoErrors != 0) {
            KeyFileReadError(job);
            break;
        }
        if (count == 0) {
            break;
        }
        UseKeyBlock(job, block.data(), count);
        PreparePass(job);
        RunPass(job);
        SwapPassFiles(job);
        if (start == 0) {
            break;
        }
        start -= kKeyBlock;
    }
    SecureZero(block.data(), block.size());
    const IoResult closed = CloseIfOpen(job, state.KeyFile);
    job.IoErrors += closed;
    if (closed != 0 && job.window.Compiling) {
        KeyFileReadError(job);
    }
    if (job.window.Compiling) {
        state.PassKeyLength = state.MainKeyLength;
        state.PassKey = state.MainKey;
        state.PassKeyExtension = state.MainKeyExtension;
        PreparePass(job);
        RunPass(job);
    }
}

void CleanUp(CompileJobContext& job) {
    const std::string& work = job.window.WorkFileName;
    if (job.WorkFileChosen && job.files.FileExists(work)) {
        job.IoErrors = 0;
        if (job.files.Erase(work) != 0) {
            ReportFileError(job, work, "delete error!");
        }
    }
}

void ReportOutcome(CompileJobContext& job) {
    auto& window = job.window;
    const auto& state = job.state;
    if (!window.Compiling) {
        window.Exit();
    } else if (state.EncryptMode) {
        window.StopWorking(Sound::Default);
        const Answer answer = job.host.ShowMessage(
            MessageKind::Information, Buttons::Ok,
            state.SourceFileName + "\r\r" + "compiled to" + "\r\r" + state.DrainFileName);
        if (answer == Answer::Ok) {
            window.Exit();
        }
    } else {
        window.StopWorking(Sound::Question);
        const Answer answer = job.host.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                                                   state.SourceFileName + "\r" + "compiled to" +
                                                       "\r" + state.DrainFileName + "\r\r" +
                                                       "Open " + state.DrainFileName + "?");
        if (answer == Answer::Yes) {
            job.host.ShellOpenFile(FileNamePart(state.DrainFileName),
                                   FolderPart(state.DrainFileName));
        }
        if (answer == Answer::Yes || answer == Answer::No) {
            window.Exit();
        }
    }
    if (job.IoErrors == 0) {
        job.host.PlaySound(Sound::SimpleBeep);
    }
}

void RunCompilation(CompileJobContext& job) {
    StartJob(job);
    if (!job.state.HasKeyFile || !job.window.Compiling) {
        PreparePass(job);
        RunPass(job);
    } else if (job.state.EncryptMode) {
        EncryptWithKeyFile(job);
    } else {
        DecryptWithKeyFile(job);
    }
    job.IoErrors += CloseIfOpen(job, job.state.KeyFile);
    CleanUp(job);
    ReportOutcome(job);
}

}  // namespace

void ReportFileError(CompileJobContext& job, const std::string& name, const std::string& error) {
    job.window.StopWorking(Sound::Hand);
    job.host.ShowMessage(MessageKind::Error, Buttons::Ok, "File:\r" + name + "\r" + error);
}

void CompileJob(CompileSession& window, const CompileSettings& settings, JobServices services) {
    if (!window.CompilePending) {
        return;
    }
    CompileJobContext job(window, settings, std::move(services));
    RunCompilation(job);
}

}  // namespace velkor
