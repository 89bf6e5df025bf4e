#include "engine/parse_xfo.h"

#include <algorithm>

#include "engine/parser_core.h"
#include "support/ascii.h"
#include "support/variant_text.h"

namespace payfmt {

namespace {

XfoFailure badParameter(const std::string& name, char c) { return {kErrBadParameterChar, name, std::string(1, c)}; }

}  // namespace

XfoSplit splitOperator(std::string_view text, bool strict, const SequenceStore& sequences, int& expansionBudget) {
    XfoSplit r;
    std::string expanded;  // owns the text once a sequence has been expanded
    std::vector<std::string> expandedNames;
    for (;;) {
        r.name = "NONE";
        if (text.empty()) return r;
        std::size_t n = 0;
        while (n < text.size() && isAlnum(text[n])) ++n;
        if (n == 0) return r;  // a leading blank, dot or quote: NONE, rest dropped
        r.name = upper(text.substr(0, n));
        const std::string_view sequence = sequences.lookup(r.name);
        if (sequence.empty()) break;
        // A sequence whose expansion leads with its own name again, directly
        // or through others, would expand without end.
        if (std::find(expandedNames.begin(), expandedNames.end(), r.name) != expandedNames.end() ||
            --expansionBudget < 0) {
            r.failure = XfoFailure{kErrSequenceLoop, r.name, {}};
            return r;
        }
        expandedNames.push_back(r.name);
        std::string next(sequence);
        next.append(text.substr(n));
        expanded = std::move(next);
        text = expanded;
        strict = true;
    }

    const std::size_t n = r.name.size();
    if (n == text.size()) return r;
    const char c = text[n];
    if (c == '(') {
        std::size_t pos = n + 1;
        for (;;) {
            ValueRead v = readValue(text, pos);
            if (v.status) {
                r.failure = badParameter(r.name, v.end >= text.size() ? '(' : text[v.end]);
                r.args.clear();
                return r;
            }
            pos = v.end;
            if (pos >= text.size()) {
                r.failure = badParameter(r.name, '(');
                r.args.clear();
                return r;
            }
            r.args.push_back(std::move(v.value));
            if (text[pos] == ')') break;
            ++pos;  // the separator
        }
        r.hasArgs = true;
        // One character after ")" is skipped unchecked; it is normally ".".
        if (pos + 2 <= text.size()) r.rest = std::string(text.substr(pos + 2));
    } else if (c == '.') {
        r.rest = std::string(text.substr(n + 1));
    } else if (c == '\0') {
        // the text ends here
    } else {
        if (strict) r.failure = badParameter(r.name, c);
        r.rest = std::string(text.substr(n + 1));
    }
    return r;
}

void recordXfoFailure(TFormatError& errors, const XfoFailure& f) {
    if (f.arg2.empty()) errors.record("TPFIX.ParseXFO", f.code, {f.arg1});
    else errors.record("TPFIX.ParseXFO", f.code, {f.arg1, f.arg2});
}

XfoSplit ParseXFO(ParserCore& parser, std::string_view text, bool strict) {
    int budget = kExpansionBudget;
    XfoSplit r = splitOperator(text, strict, parser.settings().sequences, budget);
    if (r.failure) recordXfoFailure(parser.errors(), *r.failure);
    return r;
}

}  // namespace payfmt
