#include "JobState.h"

namespace velkor {

JobState::~JobState() {
    SecureZero(PassKey.data(), PassKey.size());
    SecureZero(MainKey.data(), MainKey.size());
    SecureZero(ExpandedKey.data(), ExpandedKey.size());
    SecureZero(KeyRemainders.data(), KeyRemainders.size());
    SecureZero(KeyRemaindersCopy.data(), KeyRemaindersCopy.size());
    SecureZero(KeyReversed.data(), KeyReversed.size());
    SecureZero(MaskedKeyReversed.data(), MaskedKeyReversed.size());
    SecureZero(Register8.data(), Register8.size());
    SecureZero(Register11.data(), Register11.size());
    SecureZero(Register236.data(), Register236.size());
    SecureZero(Register999.data(), Register999.size());
    PassKeyExtension = 0;
    MainKeyExtension = 0;
}

PassIndexes::PassIndexes(const JobState& state) {
    const int e = state.PassKeyExtension;
    long1 = (e % 254) + 1;
    short1 = (256 * long1) % 33;
    if (short1 == 0) {
        short1 = (long1 % 32) + 1;
    }
    long2 = state.PassKey[static_cast<std::size_t>(long1)] % 255;
    if (long2 == 0) {
        long2 = ((e ^ short1) % 254) + 1;
    }
    short2 = state.PassKey[static_cast<std::size_t>(long2)] % 33;
    if (short2 == 0) {
        short2 = ((long1 ^ long2) % 32) + 1;
    }
}

}  // namespace velkor
