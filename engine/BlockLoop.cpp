#include "BlockLoop.h"

#include <optional>

#include "CipherTransform.h"

namespace velkor {

namespace {

constexpr int kHeaderMinimum = 13;
constexpr std::size_t kMaxHeader = 256;

// n in 14..256. A header length whose next key byte equals the first input
// byte is drawn again, so that decryption never takes that byte for header.
std::size_t DrawHeaderLength(CompileJobContext& job, std::optional<std::uint8_t> firstByte) {
    while (true) {
        const int n = static_cast<int>(kMaxHeader) - (job.random() & 0xFF);
        if (n <= kHeaderMinimum) {
            continue;
        }
        const auto length = static_cast<std::size_t>(n);
        if (firstByte && length < kMaxHeader && job.state.ExpandedKey[length] == *firstByte) {
            continue;
        }
        return length;
    }
}

// Lets the windows react every few milliseconds of work; a Close or a closing
// window takes effect at the end of the block.
void LetMessagesThrough(CompileJobContext& job) {
    const auto now = std::chrono::steady_clock::now();
    if (now - job.lastMessages < job.messageInterval) {
        return;
    }
    job.lastMessages = now;
    job.host.ProcessPendingMessages();
    if (job.host.Terminating()) {
        job.window.Compiling = false;
    } else if (job.window.CloseRequested()) {
        job.window.CloseQuery(job.window.CompileAborted);
    }
}

struct PassProgress {
    bool headerPending = true;
    int headerMatched = 0;
    std::size_t blockCount = 0;
    std::size_t writtenCount = 0;
};

// Decrypts one block, dropping the leading bytes that repeat the header.
std::size_t DecryptBlock(CompileJobContext& job, CipherTransform& transform, PassProgress& pass,
                         std::size_t count) {
    auto& state = job.state;
    const bool& running = job.window.Compiling;
    std::size_t position = 0;
    std::size_t stored = 0;
    while (pass.headerPending && position < count && running) {
        const std::uint8_t y = transform.DecryptStep(job.InBuffer[position]);
        if (position < kMaxHeader && y == state.ExpandedKey[position]) {
            ++pass.headerMatched;
            transform.Feedback(y);
        } else {
            pass.headerPending = false;
            if (pass.headerMatched < kHeaderMinimum) {
                state.KeyMismatch = true;
                job.window.Compiling = false;
                return 0;
            }
            job.OutBuffer[stored++] = y;
            transform.Feedback(y);
        }
        ++position;
    }
    return stored + transform.Decrypt(job.InBuffer.data() + position, job.OutBuffer.data() + stored,
                                      count - position, running);
}

void CompilePass(CompileJobContext& job) {
    auto& state = job.state;
    auto& window = job.window;
    CipherTransform transform(state);
    PassProgress pass;
    std::optional<IoResult> readAhead;
    std::size_t readAheadCount = 0;

    while (true) {
        if (state.EncryptMode && pass.headerPending) {
            readAhead = job.files.Read(state.SourceFile, job.InBuffer.data(), job.InBuffer.size(),
                                       readAheadCount);
            std::optional<std::uint8_t> firstByte;
            if (*readAhead == 0 && readAheadCount > 0) {
                firstByte = job.InBuffer[0];
            }
            const std::size_t n = DrawHeaderLength(job, firstByte);
            pass.blockCount = transform.Encrypt(state.ExpandedKey.data(), job.OutBuffer.data(), n,
                                                window.Compiling);
            pass.headerPending = false;
        } else {
            IoResult result = 0;
            std::size_t count = 0;
            if (readAhead) {
                result = *readAhead;
                count = readAheadCount;
                readAhead.reset();
            } else {
                result = job.files.Read(state.SourceFile, job.InBuffer.data(), job.InBuffer.size(),
                                        count);
            }
            if (result != 0) {
                window.Compiling = false;
                pass.blockCount = 0;
                break;
            }
            pass.blockCount = state.EncryptMode
                                  ? transform.Encrypt(job.InBuffer.data(), job.OutBuffer.data(),
                                                      count, window.Compiling)
                                  : DecryptBlock(job, transform, pass, count);
            if (count == 0) {
                break;
            }
        }
        if (job.files.Write(state.DrainFile, job.OutBuffer.data(), pass.blockCount,
                            pass.writtenCount) != 0) {
            window.Compiling = false;
        }
        LetMessagesThrough(job);
        if (pass.writtenCount != pass.blockCount || !window.Compiling) {
            break;
        }
    }
    if (!state.EncryptMode && pass.headerPending && window.Compiling &&
        pass.headerMatched < kHeaderMinimum) {
        // The input ended inside what should have been the header.
        state.KeyMismatch = true;
        window.Compiling = false;
    }

    if (job.files.Close(state.SourceFile) != 0) {
        window.Compiling = false;
    }
    if (job.files.Close(state.DrainFile) != 0) {
        window.Compiling = false;
    }
    if (pass.blockCount > 0 && pass.blockCount != pass.writtenCount) {
        window.Compiling = false;
    }
    if (window.CompileAborted || window.Compiling) {
        return;
    }
    if (state.KeyMismatch) {
        ReportFileError(job, state.SourceFileName, "key does not match!");
        return;
    }
    window.StopWorking(Sound::Exclamation);
    job.host.ShowMessage(MessageKind::Error, Buttons::Ok,
                         "Velkor32 Compiler interruption!\r\rFile: " + state.SourceFileName + "\r" +
                             "compiler I/O error." + "\r" + "File: " + state.DrainFileName + "\r" +
                             "not complete.");
}

}  // namespace

void RunPass(CompileJobContext& job) {
    if (!job.window.Compiling) {
        return;
    }
    CompilePass(job);
    if (job.state.HasKeyFile) {
        job.window.AdvanceKeyFileProgress();
    }
}

}  // namespace velkor
