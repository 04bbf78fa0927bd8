#pragma once

// The arithmetic failures of the analysis: a result outside the 32-bit range is refused instead
// of wrapping. The load turns them into its one failure message.
class TAnalysisErrors {
public:
    TAnalysisErrors() = delete;
    [[noreturn]] static void RaiseIntOverflow();
    [[noreturn]] static void RaiseRangeError();
};
