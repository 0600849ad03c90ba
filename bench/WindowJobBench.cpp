#include <benchmark/benchmark.h>

#include <QApplication>
#include <QRadioButton>
#include <filesystem>
#include <memory>

#include "ApplicationWindows.h"
#include "BenchSupport.h"
#include "CompilerDialog.h"
#include "FileSystem.h"
#include "MainWindow.h"
#include "QtHost.h"
#include "Widgets.h"

namespace velkor {
namespace {

// The window program's host with its real event loop, answering every box
// at once so that the job alone is timed.
class AnsweringHost : public QtHost {
  public:
    Answer ShowMessage(MessageKind /*kind*/, Buttons buttons, const std::string& /*text*/,
                       const std::string& /*caption*/) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    void PlaySound(Sound /*sound*/) override {}
};

QApplication& Application() {
    static int argc = 1;
    static char name[] = "velkor_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *application;
}

// An encryption or decryption of 256 MiB through the compiler window, with the
// message loop running as in the program: compare with BM_FileJob.
void BM_WindowJob(benchmark::State& bench) {
    Application();
    const bool encrypt = bench.range(0) != 0;
    const std::int64_t size = std::int64_t{256} << 20;
    const std::string plain = velkor::bench::RandomFile("velkor-window-bench-plain", size);
    const std::string folder = FolderPart(plain);
    AnsweringHost host;
    ApplicationWindows windows(host, FileSystem::Native(), "velkor32");
    windows.Create();
    auto& mask = windows.Main();
    mask.DefaultDirectory = folder;
    mask.show();
    mask.KeyInput->setText(QStringLiteral("benchmark key"));
    auto run = [&](bool encrypting, const std::string& source, const std::string& drain) {
        std::filesystem::remove(drain);
        mask.SourceFileNameInput->setText(QString::fromStdString(source));
        mask.DrainFileNameInput->setText(QString::fromStdString(drain));
        (encrypting ? mask.EncryptRadioButton : mask.DecryptRadioButton)->click();
        mask.StartCompiler();
    };
    if (!encrypt) {
        run(true, plain, folder + "velkor-window-bench-cipher");
    }
    for (auto _ : bench) {
        if (encrypt) {
            run(true, plain, folder + "velkor-window-bench-cipher");
        } else {
            run(false, folder + "velkor-window-bench-cipher", folder + "velkor-window-bench-back");
        }
    }
    bench.SetBytesProcessed(bench.iterations() * size);
    mask.hide();
    std::filesystem::remove(folder + "velkor-window-bench-cipher");
    std::filesystem::remove(folder + "velkor-window-bench-back");
}
BENCHMARK(BM_WindowJob)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("encrypt")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace
}  // namespace velkor
