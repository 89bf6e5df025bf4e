#include "engine/sequence_store.h"

namespace payfmt {

SequenceStore::SequenceStore() {
    store("HEX2DEC", "HEX2RAW.INVERSE.RAW2DEC");
    store("DEC2HEX", "DEC2RAW.INVERSE.RAW2HEX");
}

void SequenceStore::store(std::string_view name, std::string_view text) {
    items_.set(name, Variant::text(text));
    ++generation_;
}

void SequenceStore::remove(std::string_view name) {
    items_.remove(name);
    ++generation_;
}

std::string_view SequenceStore::lookup(std::string_view name) const {
    const Variant* v = items_.find(name);
    if (!v || !v->isStr()) return {};
    return v->bytes();
}

}  // namespace payfmt
