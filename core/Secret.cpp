#include "Secret.h"

#include <cstring>

namespace velkor {

void SecureZero(void* data, std::size_t size) {
    if (data != nullptr && size > 0) {
        ::explicit_bzero(data, size);
    }
}

}  // namespace velkor
