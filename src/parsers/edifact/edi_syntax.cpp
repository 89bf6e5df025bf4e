#include "parsers/edifact/edi_syntax.h"

namespace payfmt {

bool namesSeparators(BytesView text, const EdiSeparators& s) {
    return isServiceAdvice(text) && text.size() >= kServiceAdviceLength && text[3] == s.component && text[4] == s.data &&
           text[6] == s.escape && text[8] == s.segment;
}

void appendTrimmed(BytesView compiled, const EdiSeparators& s, Bytes& out, bool advices) {
    // Nothing before kept may be dropped: what the caller wrote earlier,
    // released characters and service string advices.
    std::size_t kept = out.size();
    bool segmentStart = true;
    const auto dropTrailing = [&](bool dataToo) {
        while (out.size() > kept && (out.back() == s.component || (dataToo && out.back() == s.data))) out.pop_back();
    };
    for (std::size_t i = 0; i < compiled.size();) {
        const BytesView rest = compiled.substr(i);
        if (advices && segmentStart && namesSeparators(rest, s)) {
            out.append(rest.substr(0, kServiceAdviceLength));
            kept = out.size();
            i += kServiceAdviceLength;
            continue;
        }
        const char c = compiled[i];
        segmentStart = c == s.segment;
        if (c == s.escape) {
            out.append(rest.substr(0, 2));
            kept = out.size();
            i += 2;
            continue;
        }
        if (c == s.segment) dropTrailing(true);
        else if (c == s.data) dropTrailing(false);
        out.push_back(c);
        ++i;
    }
}

}  // namespace payfmt
