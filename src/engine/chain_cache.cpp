#include "engine/chain_cache.h"

#include <cstdint>

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
    const ChainStep& first = chain.steps.front();
    const bool alone = chain.steps.size() == 1 && first.op && !first.failure;
    chain.plainNone = alone && first.op == conversionRegistry().find("NONE") && first.args.empty();
    if (alone && first.op == conversionRegistry().find("FIX") && first.args.size() == 1 && first.args[0].isInt() &&
        first.args[0].intValue() >= 0 && first.args[0].intValue() <= INT32_MAX) {
        chain.inPlace = ParsedChain::InPlace::Fix;
        chain.inPlaceCount = static_cast<std::uint32_t>(first.args[0].intValue());
    }
    // The decimal text-length operators are one function told apart by the
    // number of L in the name.
    const std::string_view name = first.name;
    if (alone && first.op == conversionRegistry().find("LVAR") && first.args.empty() && name.size() >= 4 &&
        name.size() <= 9 && name.ends_with("VAR") && name.find_first_not_of('L') == name.size() - 3) {
        chain.inPlace = ParsedChain::InPlace::DecimalLength;
        chain.inPlaceCount = static_cast<std::uint32_t>(first.name.size() - 3);
    }
    // Its terminator is IStr text; one printable byte other than the escape
    // reads as itself.
    if (alone && first.op == conversionRegistry().find("EDIFACTFLD") && !first.args.empty() && first.args.size() <= 2 &&
        first.args[0].isStr() && first.args[0].bytes().size() == 1 && first.args[0].bytes()[0] > ' ' &&
        first.args[0].bytes()[0] < 0x7F && first.args[0].bytes()[0] != '#' &&
        (first.args.size() == 1 || first.args[1].is(VarType::Bool))) {
        chain.inPlace = ParsedChain::InPlace::Terminated;
        chain.terminator = first.args[0].bytes()[0];
        chain.releases = first.args.size() == 2 && first.args[1].boolValue();
    }
    if (alone && first.args.empty()) {
        constexpr std::pair<std::string_view, ParsedChain::Header> headers[] = {
            {"BERLEN", ParsedChain::Header::BerLen},
            {"BERTAG", ParsedChain::Header::BerTag},
            {"HEX2RAW", ParsedChain::Header::HexToRaw},
            {"RAW2HEX", ParsedChain::Header::RawToHex},
        };
        for (const auto& [op, header] : headers)
            if (first.op == conversionRegistry().find(op)) chain.header = header;
    }
    return chain;
}

std::shared_ptr<const ParsedChain> ChainCache::get(std::string_view format, bool strict,
                                                   const SequenceStore& sequences) {
    if (generation_ != sequences.generation()) {
        strictChains_.clear();
        looseChains_.clear();
        for (Recent& r : recent_) r = Recent{};
        generation_ = sequences.generation();
    }
    for (const Recent& r : recent_)
        if (r.chain && r.strict == strict && r.format == format) return r.chain;
    Map& map = strict ? strictChains_ : looseChains_;
    std::shared_ptr<const ParsedChain> chain;
    if (auto it = map.find(format); it != map.end()) {
        chain = it->second;
    } else {
        if (map.size() >= kMaxEntries) map.clear();
        chain = std::make_shared<const ParsedChain>(parseChain(format, strict, sequences));
        map.emplace(std::string(format), chain);
    }
    recent_[nextRecent_] = Recent{std::string(format), strict, chain};
    nextRecent_ = (nextRecent_ + 1) % kRecent;
    return chain;
}

}  // namespace payfmt
