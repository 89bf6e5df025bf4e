#include "engine/registries.h"

namespace payfmt {

TRegName& conversionRegistry() {
    static TRegName registry(20);
    return registry;
}

TRegName& validationRegistry() {
    static TRegName registry(20);
    return registry;
}

}  // namespace payfmt
