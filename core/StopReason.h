#pragma once

namespace velkor {

// Why work ends before it is done. Every long job asks its window or its host
// for one between pieces of work and stops at the first that is not None.
enum class StopReason {
    None,
    Closed,       // the progress window's Close or close box
    Aborted,      // the conversion window's Abort
    Terminating,  // the application is quitting
    Interrupted,  // a signal asked the command-line tool to end
};

}  // namespace velkor
