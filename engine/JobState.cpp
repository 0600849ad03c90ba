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

}  // namespace velkor
