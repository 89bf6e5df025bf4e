// Creation by name and reference counts of the public component interface.
#include "api/boundary.h"
#include "payfmt/kor.h"
#include "framework/automation_object.h"
#include "support/object_registry.h"

using namespace payfmt;

extern "C" {

PAYFMT_API uint32_t KORCreateObjectA(const char* name, const VEXVARIANT* args, uint32_t nargs, KOROBJ* obj) {
    resetOut(obj);
    return guarded("KORCreateObjectA", [&] {
        requirePointer(obj, "KORCreateObjectA", "obj");
        if (nargs) requirePointer(args, "KORCreateObjectA", "args");
        Ref<RefObject> made = ObjectRegistry::instance().create(textArg(name), Variant::fromArray(args, nargs));
        *obj = toHandle(made.detach());
        return VEX_OK;
    });
}

PAYFMT_API uint32_t KORAddRef(KOROBJ obj) {
    return guardedValue<uint32_t>("KORAddRef", 0, [&] {
        return obj ? static_cast<uint32_t>(fromHandle(obj)->addRef()) : 0u;
    });
}

PAYFMT_API uint32_t KORRelease(KOROBJ obj) {
    return guardedValue<uint32_t>("KORRelease", 0, [&] {
        return obj ? static_cast<uint32_t>(fromHandle(obj)->release()) : 0u;
    });
}

PAYFMT_API uint32_t KORObjectCount(void) {
    return guardedValue<uint32_t>("KORObjectCount", 0,
                                  [] { return static_cast<uint32_t>(TAutomationObject::LiveCount()); });
}

}  // extern "C"
