#include "support/lock.h"

namespace payfmt {

std::recursive_mutex& processLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace payfmt
