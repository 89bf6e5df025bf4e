#include "framework/component_info.h"

#include "support/lock.h"
#include "support/object_registry.h"

namespace payfmt {

TKORComponentInfo::TKORComponentInfo(ComponentClass cls, std::string_view classId, std::string_view helpFile,
                                     std::string_view helpTopic, std::string_view helpText)
    : TComponentDescriptor(std::move(cls)) {
    if (!classId.empty()) {
        const auto id = ClassId::parse(classId);
        if (!id) {
            throw EKORError(VEX_E_INVALIDARG | 0xC0000000u, "Quorvin.KOR.TKORComponentInfo.Create",
                            "Malformed class identifier '" + std::string(classId) + "'");
        }
        classId_ = *id;
        if (!id->isNull()) classIdText_ = id->text();
    }
    helpLink_ = helpLinkOf(helpFile, helpTopic);
    description_ = helpText;
}

TKORComponentInfo::~TKORComponentInfo() {
    ProcessGuard lock(processLock());
    for (const auto& name : registered_) ObjectRegistry::instance().remove(name);
}

void TKORComponentInfo::Register(std::initializer_list<std::string_view> extraNames) {
    if (classId_.isNull()) return;
    ProcessGuard lock(processLock());
    auto factory = [this](std::span<const Variant> args) -> Ref<RefObject> { return CreateInstance(args); };
    registered_.push_back(Name());
    for (std::string_view extra : extraNames) registered_.emplace_back(extra);
    for (const auto& name : registered_) ObjectRegistry::instance().add(name, factory);
}

}  // namespace payfmt
