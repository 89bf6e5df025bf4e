// The exported format functions.
#include "payfmt/format.hpp"

#include <cstring>

#include "api/boundary.h"
#include "api/library.h"
#include "engine/chain.h"
#include "engine/chain_cache.h"
#include "engine/istr.h"
#include "engine/mask.h"
#include "support/buffer.h"

using namespace payfmt;

namespace {

constexpr std::uint32_t kInfoUnusedAfterValidation = 0x62060013;

// An input or output chain over IStr text, its result handed back as IStr.
uint32_t applyFormat(const char* value, const char* format, VEXBUF* result, VEXNODE errorNode, bool output,
                     std::string_view location) {
    resetOut(result);
    try {
        ProcessGuard lock(processLock());
        FormatCall call(errorNode);
        try {
            ParserCore& parser = call.parser();
            const Bytes raw = IStrToRaw(call.errors(), textArg(value), parser.settings().escape);
            OpContext ctx(output ? kDirectionOutput : kDirectionInput);
            Output out;
            if (output) ApplyOFO(parser, ctx, textArg(format), raw, out);
            else ApplyIFO(parser, ctx, textArg(format), "", parser.allowNull, raw, out);
            // What RAW2ISTR would make of the output, without looking it up.
            if (out.produced() && result) *result = newBuffer(RawToIStr(out.view(), parser.settings().escape));
            return call.errors().status();
        } catch (const std::exception& e) {
            return call.errors().statusAfterException(location, e);
        }
    } catch (...) {
        return reportFailure(location);
    }
}

// Writing the reports to a tree also reduces the error context to its last
// severe report; without a node to write to, the reports stay whole so that
// FormatErrorTextA can still show them all.
void attachReports(TFormatError& errors, VEXNODE errorNode) {
    if (errorNode) errors.writeToTree(0, settings().detailedErrors);
}

}  // namespace

extern "C" {

PAYFMT_API uint32_t FormatInputA(const char* value, const char* format, VEXBUF* result, VEXNODE error_node) {
    return applyFormat(value, format, result, error_node, false, "FormatInput");
}

PAYFMT_API uint32_t FormatOutputA(const char* value, const char* format, VEXBUF* result, VEXNODE error_node) {
    return applyFormat(value, format, result, error_node, true, "FormatOutput");
}

PAYFMT_API uint32_t FormatValidateA(const char* value, const char* format, const char* mask, VEXNODE error_node) {
    try {
        ProcessGuard lock(processLock());
        FormatCall call(error_node);
        TFormatError& errors = call.errors();
        try {
            ParserCore& parser = call.parser();
            const Bytes raw = IStrToRaw(errors, textArg(value), parser.settings().escape);
            OpContext ctx(kDirectionInput);
            Output out;
            ApplyIFO(parser, ctx, textArg(format), textArg(mask), parser.allowNull, raw, out);
            if (!errors.holdsError() && ctx.consumed < raw.size())
                errors.record("FormatValidate", kInfoUnusedAfterValidation, {std::to_string(raw.size() - ctx.consumed)});
            const std::uint32_t status = errors.status();
            attachReports(errors, error_node);
            return status;
        } catch (const std::exception& e) {
            const std::uint32_t status = errors.statusAfterException("FormatValidate", e);
            attachReports(errors, error_node);
            return status;
        }
    } catch (...) {
        return reportFailure("FormatValidate");
    }
}

PAYFMT_API uint32_t FormatValidateFmtA(const char* format, VEXNODE error_node) {
    try {
        ProcessGuard lock(processLock());
        FormatCall call(error_node);
        try {
            const std::string_view text = textArg(format);
            if (text.empty()) return 0u;
            Settings& s = call.parser().settings();
            const auto chain = s.chains.get(text, true, s.sequences);
            for (const ChainStep& step : chain->steps) {
                if (step.failure) recordXfoFailure(call.errors(), *step.failure);
                if (call.errors().holdsError() || !step.op) break;
            }
            return call.errors().status();
        } catch (...) {
            return frameworkStatus("Parser.FormatValidateFmt");
        }
    } catch (...) {
        return reportFailure("Parser.FormatValidateFmt");
    }
}

PAYFMT_API int32_t FormatIStrToRawA(const char* value, VEXBUF* result) {
    resetOut(result);
    try {
        ProcessGuard lock(processLock());
        FormatCall call;
        try {
            Bytes raw = IStrToRaw(call.errors(), textArg(value), call.parser().settings().escape);
            if (result && !raw.empty()) *result = newBuffer(std::move(raw));
            return 0;
        } catch (...) {
            return static_cast<int32_t>(frameworkStatus("Parser.Converting IStr to Raw"));
        }
    } catch (...) {
        return static_cast<int32_t>(reportFailure("Parser.Converting IStr to Raw"));
    }
}

// A value that is neither text nor bytes leaves *result as it is, unread.
PAYFMT_API int32_t FormatRawToIStrA(const VEXVARIANT* value, VEXVARIANT* result) {
    try {
        ProcessGuard lock(processLock());
        FormatCall call;
        try {
            if (!value || !result) return 0;
            if (value == result) throwVex(VEX_E_INVALIDARG, "Parser.Converting Raw to IStr", "result must not be value");
            const Variant& v = Variant::from(*value);
            if (!v.isStr() && !v.isBlob()) return 0;
            resetOut(result);
            Variant::from(*result) = Variant::text(RawToIStr(v.bytes(), call.parser().settings().escape));
            return 0;
        } catch (...) {
            return static_cast<int32_t>(frameworkStatus("Parser.Converting Raw to IStr"));
        }
    } catch (...) {
        return static_cast<int32_t>(reportFailure("Parser.Converting Raw to IStr"));
    }
}

PAYFMT_API void CFormatRawToIStr(VEXBUF bytes, VEXBUF* result) {
    resetOut(result);
    guarded("CFormatRawToIStr", [&] {
        Library::instance().defaultParser().errors().reset();
        if (result) *result = newBuffer(RawToIStr(bufferView(bytes), settings().escape));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t FormatErrorTextA(int32_t detailed, VEXBUF* text) {
    resetOut(text);
    return guarded("FormatErrorText", [&] {
        requirePointer(text, "FormatErrorText", "text");
        const std::string t = settings().errors().errorText(detailed != 0);
        if (!t.empty()) *text = newBuffer(t);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t GetCounter(void) {
    return guardedValue<uint32_t>("GetCounter", 0, [] { return Library::instance().counter; });
}

PAYFMT_API uint32_t IncCounter(void) {
    return guardedValue<uint32_t>("IncCounter", 0, [] { return ++Library::instance().counter; });
}

PAYFMT_API void SetCounter(uint32_t value) {
    guarded("SetCounter", [&] {
        Library::instance().counter = value;
        return VEX_OK;
    });
}

}  // extern "C"

PAYFMT_API void RawToIStr(const void* bytes, uint32_t count, std::string& result) {
    ProcessGuard lock(processLock());
    result = payfmt::RawToIStr(BytesView(static_cast<const char*>(bytes ? bytes : ""), bytes ? count : 0));
}
