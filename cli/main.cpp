#include "CommandLine.h"
#include "Interrupts.h"

int main(int argc, char** argv) {
    velkor::cli::CatchInterrupts();
    return velkor::cli::RunCommandLine(argc, argv);
}
