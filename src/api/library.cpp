// The library's process-wide objects come up when it is loaded, in
// dependency order, and go (as function-local statics) when it is unloaded.
#include "parsers/messages/emv_sequences.h"

namespace {

struct Library {
    Library() { payfmt::loadEmvSequences(); }
};

const Library library;

}  // namespace
