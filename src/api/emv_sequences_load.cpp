// The EMV sequence infos come up when the library is loaded, so that their
// names are registered before any host asks for them, and go (as
// function-local statics) when it is unloaded.
#include "parsers/messages/emv_sequences.h"

namespace {

[[gnu::constructor]] void loadSequences() { payfmt::loadEmvSequences(); }

}  // namespace
