#include "engine/chain_cache.h"

#include "engine/registries.h"
#include "engine/sequence_store.h"

namespace payfmt {

ParsedChain parseChain(std::string_view format, bool strict, const SequenceStore& sequences) {
    ParsedChain chain;
    int budget = kExpansionBudget;
    std::string text(format);
    for (;;) {
        XfoSplit split = splitOperator(text, strict, sequences, budget);
        ChainStep step{std::move(split.name), std::move(split.args), nullptr, std::move(split.failure)};
        step.op = conversionRegistry().find(step.name);
        if (!step.failure && !split.rest.empty() && chain.steps.size() + 1 >= kMaxChainSteps)
            step.failure = XfoFailure{kErrTooManyOperators, step.name, std::to_string(kMaxChainSteps)};
        const bool stop = step.failure.has_value() || split.rest.empty();
        chain.steps.push_back(std::move(step));
        if (stop) break;
        text = std::move(split.rest);
    }
    return chain;
}

std::shared_ptr<const ParsedChain> ChainCache::get(std::string_view format, bool strict,
                                                   const SequenceStore& sequences) {
    if (generation_ != sequences.generation()) {
        strictChains_.clear();
        looseChains_.clear();
        generation_ = sequences.generation();
    }
    Map& map = strict ? strictChains_ : looseChains_;
    if (auto it = map.find(format); it != map.end()) return it->second;
    if (map.size() >= kMaxEntries) map.clear();
    auto chain = std::make_shared<const ParsedChain>(parseChain(format, strict, sequences));
    map.emplace(std::string(format), chain);
    return chain;
}

}  // namespace payfmt
