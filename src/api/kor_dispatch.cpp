// Dispatch by dispid and by name of the public component interface.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "api/kor_handle.h"
#include "framework/dispatch.h"

using namespace payfmt;

namespace {

struct FreeText {
    void operator()(char* p) const { std::free(p); }
};
using OwnedText = std::unique_ptr<char, FreeText>;

// A malloc'd copy, so that hosts free it without the C++ runtime.
OwnedText copyText(const std::string& s) {
    OwnedText p(static_cast<char*>(std::malloc(s.size() + 1)));
    if (!p) throw std::bad_alloc();
    std::memcpy(p.get(), s.c_str(), s.size() + 1);
    return p;
}

void fill(KOREXCEPINFO& excep, const ErrorInfo& info) {
    OwnedText source = copyText(info.source);
    OwnedText description = copyText(info.description);
    OwnedText helpFile = copyText(info.helpFile);
    excep.code = info.code;
    excep.source = source.release();
    excep.description = description.release();
    excep.help_file = helpFile.release();
    excep.help_context = info.helpContext;
}

// result and excep are written before anything else and never read. The
// component writes its value into a variant of the call's own, which moves
// into *result at the end.
template <class Dispatch>
uint32_t dispatchCall(const char* source, KOROBJ obj, uint32_t flags, VEXVARIANT* args, uint32_t nargs,
                      VEXVARIANT* result, KOREXCEPINFO* excep, Dispatch&& dispatch) {
    const bool resultIsArgument = pointsInto(result, args, nargs);
    if (!resultIsArgument) resetOut(result);
    resetOut(excep);
    return guarded(source, [&] {
        if (resultIsArgument) throwVex(VEX_E_INVALIDARG, source, "result must not be one of args");
        TAutomationObject& component = componentOf(obj, source);
        if (nargs) requirePointer(args, source, "args");
        checkDispatchFlags(flags);
        Variant value;
        const DispatchOutcome r =
            dispatch(component, Variant::fromArray(args, nargs), result ? &value : nullptr, excep != nullptr);
        if (r.error && excep) fill(*excep, *r.error);
        if (result) Variant::from(*result) = std::move(value);
        return r.status;
    });
}

}  // namespace

extern "C" {

PAYFMT_API void KORExcepInfoClear(KOREXCEPINFO* excep) {
    guarded("KORExcepInfoClear", [&] {
        if (!excep) return VEX_OK;
        std::free(excep->source);
        std::free(excep->description);
        std::free(excep->help_file);
        *excep = KOREXCEPINFO{};
        return VEX_OK;
    });
}

PAYFMT_API uint32_t KORGetIDsOfNamesA(KOROBJ obj, const char* name, int32_t* dispid) {
    return guarded("KORGetIDsOfNamesA", [&] {
        requirePointer(dispid, "KORGetIDsOfNamesA", "dispid");
        *dispid = -1;
        const auto id = findDispId(componentOf(obj, "KORGetIDsOfNamesA"), textArg(name));
        if (!id) {
            throwVex(KOR_E_UNKNOWNNAME, "Quorvin.KOR.TIDispatchImpl.GetIDsOfNames",
                     "Unknown name: '" + std::string(textArg(name)) + "'");
        }
        *dispid = *id;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t KORInvoke(KOROBJ obj, int32_t dispid, uint32_t flags, VEXVARIANT* args, uint32_t nargs,
                              VEXVARIANT* result, KOREXCEPINFO* excep) {
    return dispatchCall("KORInvoke", obj, flags, args, nargs, result, excep,
                        [&](TAutomationObject& component, std::span<Variant> a, Variant* out, bool withRecord) {
                            return invoke(component, dispid, flags, a, out, withRecord);
                        });
}

PAYFMT_API uint32_t KORInvokeByNameA(KOROBJ obj, const char* name, uint32_t flags, VEXVARIANT* args,
                                     uint32_t nargs, VEXVARIANT* result, KOREXCEPINFO* excep) {
    return dispatchCall("KORInvokeByNameA", obj, flags, args, nargs, result, excep,
                        [&](TAutomationObject& component, std::span<Variant> a, Variant* out, bool withRecord) {
                            return invokeByName(component, textArg(name), flags, a, out, withRecord);
                        });
}

}  // extern "C"
