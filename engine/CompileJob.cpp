#include "CompileJob.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <thread>

#include "BufferedWriter.h"
#include "FileMessages.h"
#include "KeyMaterial.h"
#include "MessagePump.h"
#include "PassChain.h"
#include "PrivateFile.h"

namespace velkor {

namespace {

constexpr std::size_t kKeyBlock = 256;
constexpr std::size_t kSmallestPiece = 4096;
constexpr std::size_t kLargestPiece = std::size_t{1} << 20;
// Bytes of pass work between two looks at the stop flags: a few milliseconds,
// so that a Close acts at once also when many passes are chained, while the
// hand-over between the threads of a chain stays rare.
constexpr std::size_t kWorkPerPiece = std::size_t{4} << 20;
// Beyond this many chained passes the 64-byte vectors' larger tables no longer
// fit the caches beside each other, and 32-byte vectors are faster.
constexpr std::size_t kMostWidePasses = 8;

// Everything one job shares: the session, the services, the key material and
// the job's files.
struct Job {
    Job(CompileSession& jobSession, const CompileSettings& jobSettings, JobServices services)
        : session(jobSession),
          host(jobSession.host()),
          files(services.files),
          settings(jobSettings),
          random(std::move(services.random)),
          pump(jobSession.host(), services.messageInterval),
          passesPerGroup(std::max<std::size_t>(1, services.passesPerGroup)),
          result(services.files) {}

    CompileSession& session;
    Host& host;
    FileSystem& files;
    const CompileSettings& settings;
    RandomByteSource random;
    MessagePump pump;
    std::size_t passesPerGroup;

    JobState state;
    File keyFile;
    File source;
    File drainStream;
    PrivateFile result;
    // Spools between groups of passes; the one read and the one written.
    std::unique_ptr<PrivateFile> spoolIn;
    std::unique_ptr<PrivateFile> spoolOut;
    std::optional<FileIdentity> sourceIdentity;
    std::optional<FileIdentity> keyIdentity;

    std::int64_t keyFileSize = 0;
    std::int64_t sourceSize = -1;
    std::size_t passCount = 1;
    std::size_t groupCount = 1;
    // The first failure once the files are open; the job's I/O errors.
    FileError error;
};

bool Running(const Job& job) {
    return job.session.Compiling;
}

void ReportRefusal(Job& job, const std::string& message) {
    job.session.StopWorking(Sound::Hand);
    job.host.ShowMessage(MessageKind::Error, Buttons::Ok, message);
}

void ReportConflict(Job& job, const std::string& name) {
    ReportRefusal(job, FileConflictMessage(FileNamePart(name)));
}

IoResult CloseIfOpen(Job& job, File& file) {
    return file.IsOpen() ? job.files.Close(file) : 0;
}

// The drain must never be the source or the key file, however they are
// named; checked on the opened files when the job starts and again before the
// result replaces the drain.
bool FilesConflict(Job& job) {
    if (job.keyIdentity && job.sourceIdentity && *job.keyIdentity == *job.sourceIdentity) {
        ReportConflict(job, job.state.KeyFileName);
        return true;
    }
    if (job.settings.DrainStream >= 0) {
        return false;
    }
    std::string target;
    FileIdentity drain;
    if (job.files.ResolveDrain(job.state.DrainFileName, target) != 0 ||
        job.files.Identify(target, drain) != 0) {
        return false;
    }
    if (job.sourceIdentity && drain == *job.sourceIdentity) {
        ReportConflict(job, job.state.SourceFileName);
        return true;
    }
    if (job.keyIdentity && drain == *job.keyIdentity) {
        ReportConflict(job, job.state.KeyFileName);
        return true;
    }
    return false;
}

std::optional<FileIdentity> IdentityOf(Job& job, File& file) {
    FileIdentity identity;
    if (job.files.Identify(file, identity) != 0) {
        return std::nullopt;
    }
    return identity;
}

IoResult CreateSpool(Job& job, std::unique_ptr<PrivateFile>& spool) {
    spool = std::make_unique<PrivateFile>(job.files);
    const std::string folder =
        job.settings.DrainStream >= 0 ? TemporaryFolder() : FolderPart(job.state.DrainFileName);
    return spool->Create(folder, WorkFileCandidate);
}

void OpenJobFiles(Job& job) {
    auto& state = job.state;
    FileError error;
    if (state.HasKeyFile) {
        if (!error.Note(job.files.OpenRead(state.KeyFileName, job.keyFile), FileRole::KeyFile,
                        state.KeyFileName) ||
            !error.Note(job.files.Size(job.keyFile, job.keyFileSize), FileRole::KeyFile,
                        state.KeyFileName)) {
            CloseIfOpen(job, job.keyFile);
            ReportRefusal(job, FileErrorMessage(error));
        } else {
            job.keyIdentity = IdentityOf(job, job.keyFile);
            job.session.SetProgressRange(job.keyFileSize,
                                         job.keyFileSize > 256 ? 256 : job.keyFileSize);
            job.passCount = 1 + static_cast<std::size_t>((job.keyFileSize + 255) / 256);
            job.groupCount = (job.passCount + job.passesPerGroup - 1) / job.passesPerGroup;
        }
    }
    if (Running(job)) {
        IoResult opened = 0;
        if (job.settings.SourceStream >= 0) {
            job.source = File::Borrowed(job.settings.SourceStream);
        } else {
            opened = job.files.OpenRead(state.SourceFileName, job.source);
        }
        if (!error.Note(opened, FileRole::Source, state.SourceFileName) ||
            !error.Note(job.files.Size(job.source, job.sourceSize), FileRole::Source,
                        state.SourceFileName)) {
            CloseIfOpen(job, job.source);
            ReportRefusal(job, FileErrorMessage(error));
        } else if (job.settings.SourceStream < 0) {
            job.sourceIdentity = IdentityOf(job, job.source);
        }
    }
    const bool conflict = Running(job) && FilesConflict(job);
    if (Running(job)) {
        if (job.settings.DrainStream >= 0) {
            job.drainStream = File::Borrowed(job.settings.DrainStream);
        } else if (!error.Note(job.result.CreateResultFor(state.DrainFileName), FileRole::Drain,
                               state.DrainFileName)) {
            ReportRefusal(job, FileErrorMessage(error));
        }
    }
    if (Running(job) && job.groupCount > 1) {
        const std::string folder =
            job.settings.DrainStream >= 0 ? TemporaryFolder() : FolderPart(state.DrainFileName);
        if (!error.Note(CreateSpool(job, job.spoolOut), FileRole::WorkFile,
                        folder + WorkFileCandidate(0))) {
            ReportRefusal(job, FileErrorMessage(error));
        }
    }
    if (!error.Failed() && !conflict) {
        job.host.PlaySound(Sound::SimpleBeep);
    }
}

void StartJob(Job& job) {
    auto& session = job.session;
    session.CompilePending = false;
    session.CompileAborted = false;
    session.Compiling = true;
    session.StartAnimation();
    if (!job.random) {
        auto generator = std::make_shared<std::mt19937>(static_cast<std::uint32_t>(
            std::chrono::system_clock::now().time_since_epoch().count()));
        job.random = [generator] { return static_cast<int>((*generator)() & 0xFF); };
    }
    session.SetProgressPosition(0);
    CaptureJobSettings(job.state, job.settings);
    OpenJobFiles(job);
}

// Lets the windows react every few milliseconds of work; a Close or a closing
// window takes effect at the end of the piece.
void LetMessagesThrough(Job& job) {
    if (!job.pump.Poll()) {
        return;
    }
    switch (job.session.StopRequest()) {
        case StopReason::None:
            break;
        case StopReason::Closed:
            job.session.CloseQuery(job.session.CompileAborted);
            break;
        default:
            // The program is ending: nobody is left to tell.
            job.session.Compiling = false;
            break;
    }
}

// Encryption: the user's key, then the key-file blocks in file order.
// Decryption: the blocks from the last to the first, then the user's key.
// Fails when a key-file block could not be read whole.
IoResult PreparePassKey(Job& job, std::size_t pass) {
    auto& state = job.state;
    const std::size_t blocks = job.passCount - 1;
    const bool userKey = state.EncryptMode ? pass == 0 : pass == blocks;
    state.PassKeyExtension = state.MainKeyExtension;
    if (userKey) {
        state.PassKey = state.MainKey;
        state.PassKeyLength = state.MainKeyLength;
        return 0;
    }
    const std::size_t block = state.EncryptMode ? pass - 1 : blocks - 1 - pass;
    std::array<std::uint8_t, kKeyBlock> bytes{};
    std::size_t count = 0;
    IoResult result = job.files.Seek(job.keyFile, static_cast<std::int64_t>(block * kKeyBlock));
    if (result == 0) {
        result = job.files.Read(job.keyFile, bytes.data(), bytes.size(), count);
    }
    // A key file cut short since the job began.
    if (result == 0 && count == 0) {
        result = EIO;
    }
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count),
              state.PassKey.begin());
    state.PassKeyLength = static_cast<int>(count);
    SecureZero(bytes.data(), bytes.size());
    return result;
}

bool BuildChain(Job& job, std::size_t group, PassChain& chain) {
    chain.Clear();
    const std::size_t first = group * job.passesPerGroup;
    const std::size_t last = std::min(job.passCount, first + job.passesPerGroup);
    const int vectorBytes = last - first > kMostWidePasses ? 32 : 0;
    for (std::size_t pass = first; pass < last; ++pass) {
        if (!job.error.Note(PreparePassKey(job, pass), FileRole::KeyFile, job.state.KeyFileName)) {
            ReportRefusal(job, FileErrorMessage(job.error));
            return false;
        }
        job.state.ChainBit = 0;
        ExpandPassKey(job.state);
        PreparePassTables(job.state);
        chain.Append(std::make_unique<PassStage>(job.state, job.state.EncryptMode, vectorBytes));
    }
    return true;
}

void ShowProgress(Job& job, std::size_t group, std::int64_t read) {
    if (!job.state.HasKeyFile || job.sourceSize <= 0) {
        return;
    }
    const auto total =
        static_cast<long double>(job.sourceSize) * static_cast<long double>(job.groupCount);
    const auto done = static_cast<long double>(job.sourceSize) * static_cast<long double>(group) +
                      static_cast<long double>(read);
    job.session.SetProgressPosition(
        static_cast<std::int64_t>(static_cast<long double>(job.keyFileSize) * done / total));
}

// Runs the input through one group of passes into the output.
// The piece of a chain of `passes`: fewer passes, larger pieces.
std::size_t PieceFor(std::size_t passes) {
    return std::clamp(kWorkPerPiece / passes / kSmallestPiece * kSmallestPiece, kSmallestPiece,
                      kLargestPiece);
}

void RunGroup(Job& job, std::size_t group, PassChain& chain, File& in, File& out) {
    auto& session = job.session;
    const std::size_t piece = PieceFor(chain.Length());
    BufferedWriter writer(job.files, out, {job.error, FileRole::Drain, job.state.DrainFileName});
    const PassChain::Sink put = [&job, &writer](const std::uint8_t* data, std::size_t length) {
        writer.Put(std::string_view(reinterpret_cast<const char*>(data), length));
        return !job.error.Failed();
    };
    std::int64_t read = 0;
    while (Running(job)) {
        std::size_t count = 0;
        std::uint8_t* input = chain.NextInput();
        if (!job.error.Note(job.files.Read(in, input, piece, count), FileRole::Source,
                            job.state.SourceFileName)) {
            session.Compiling = false;
            break;
        }
        bool written =
            count > 0 ? chain.Push(input, count, job.random, put) : chain.Finish(job.random, put);
        if (written && count == 0) {
            writer.Flush();
            written = !job.error.Failed();
        }
        if (!written) {
            session.Compiling = false;
            break;
        }
        if (chain.KeyMismatch()) {
            break;
        }
        read += static_cast<std::int64_t>(count);
        ShowProgress(job, group, read);
        LetMessagesThrough(job);
        if (count == 0 && Running(job)) {
            return;
        }
    }
    if (chain.KeyMismatch()) {
        ReportRefusal(job, FileMessage(job.state.SourceFileName, FileProblem::KeyMismatch));
    } else if (!session.CompileAborted) {
        session.StopWorking(Sound::Exclamation);
        job.host.ShowMessage(MessageKind::Error, Buttons::Ok,
                             "Velkor32 Compiler interruption!\r\rFile: " +
                                 job.state.SourceFileName + "\r" + "compiler I/O error." + "\r" +
                                 "File: " + job.state.DrainFileName + "\r" + "not complete.");
    }
}

void RunPasses(Job& job) {
    // A second thread for the passes when the machine has the cores; room for
    // the pieces of the group of fewest passes, the last.
    const std::size_t fewestPasses = job.passCount - (job.groupCount - 1) * job.passesPerGroup;
    PassChain chain(PieceFor(fewestPasses), std::thread::hardware_concurrency() >= 2);
    for (std::size_t group = 0; group < job.groupCount && Running(job); ++group) {
        const bool lastGroup = group + 1 == job.groupCount;
        if (!BuildChain(job, group, chain)) {
            return;
        }
        File& in = group == 0 ? job.source : job.spoolIn->file();
        // A work file read back is the input of its group.
        if (group > 0 &&
            !job.error.Note(job.files.Seek(in, 0), FileRole::Source, job.spoolIn->Name())) {
            ReportRefusal(job, FileErrorMessage(job.error));
            return;
        }
        if (!lastGroup && group > 0 &&
            !job.error.Note(CreateSpool(job, job.spoolOut), FileRole::WorkFile,
                            FolderPart(job.spoolIn->Name()) + WorkFileCandidate(0))) {
            ReportRefusal(job, FileErrorMessage(job.error));
            return;
        }
        File& out = lastGroup
                        ? (job.settings.DrainStream >= 0 ? job.drainStream : job.result.file())
                        : job.spoolOut->file();
        RunGroup(job, group, chain, in, out);
        // The input of this group is spent; its output is the next one's input.
        job.spoolIn = std::move(job.spoolOut);
    }
}

void FinishJob(Job& job) {
    CloseIfOpen(job, job.keyFile);
    CloseIfOpen(job, job.source);
    job.spoolIn.reset();
    job.spoolOut.reset();
    if (!Running(job)) {
        job.result.Discard();
        return;
    }
    if (job.settings.DrainStream >= 0) {
        if (!job.error.Note(job.files.Close(job.drainStream), FileRole::Drain,
                            job.state.DrainFileName)) {
            ReportRefusal(job, FileErrorMessage(job.error));
        }
        return;
    }
    if (FilesConflict(job)) {
        job.result.Discard();
        return;
    }
    if (!job.error.Note(job.result.Commit(), FileRole::Drain, job.state.DrainFileName)) {
        ReportRefusal(job, FileErrorMessage(job.error));
    }
}

void ReportOutcome(Job& job) {
    auto& session = job.session;
    const auto& state = job.state;
    if (!session.Compiling) {
        session.Exit();
    } else if (state.EncryptMode) {
        if (state.HasKeyFile) {
            session.SetProgressPosition(session.Progress.maximum);
        }
        session.StopWorking(Sound::Default);
        const Answer answer = job.host.ShowMessage(
            MessageKind::Information, Buttons::Ok,
            state.SourceFileName + "\r\r" + "compiled to" + "\r\r" + state.DrainFileName);
        if (answer == Answer::Ok) {
            session.Exit();
        }
    } else {
        if (state.HasKeyFile) {
            session.SetProgressPosition(session.Progress.maximum);
        }
        session.StopWorking(Sound::Question);
        const Answer answer = job.host.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                                                   state.SourceFileName + "\r" + "compiled to" +
                                                       "\r" + state.DrainFileName + "\r\r" +
                                                       "Open " + state.DrainFileName + "?");
        if (answer == Answer::Yes) {
            job.host.ShellOpenFile(FileNamePart(state.DrainFileName),
                                   FolderPart(state.DrainFileName));
        }
        if (answer == Answer::Yes || answer == Answer::No) {
            session.Exit();
        }
    }
    if (!job.error.Failed()) {
        job.host.PlaySound(Sound::SimpleBeep);
    }
}

}  // namespace

void CompileJob(CompileSession& session, const CompileSettings& settings, JobServices services) {
    if (!session.CompilePending) {
        return;
    }
    Job job(session, settings, std::move(services));
    StartJob(job);
    if (Running(job)) {
        RunPasses(job);
    }
    FinishJob(job);
    ReportOutcome(job);
}

}  // namespace velkor
