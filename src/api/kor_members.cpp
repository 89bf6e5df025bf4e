// Descriptions of components and their members for hosts.
#include "api/kor_handle.h"
#include "framework/component_descriptor.h"

using namespace payfmt;

namespace {

const TComponentDescriptorAdapter& descriptorOf(KOROBJ obj, std::string_view source) {
    const auto* d = componentOf(obj, source).ComponentDescriptor();
    if (!d) throwVex(VEX_E_NOTFOUND, std::string(source), "The component has no description");
    return *d;
}

}  // namespace

extern "C" {

PAYFMT_API uint32_t KORGetComponentInfoA(KOROBJ obj, KORCOMPONENTINFO* info) {
    resetOut(info);
    return guarded("KORGetComponentInfoA", [&] {
        requirePointer(info, "KORGetComponentInfoA", "info");
        const auto& d = descriptorOf(obj, "KORGetComponentInfoA");
        *info = KORCOMPONENTINFO{d.Name().c_str(),        d.ClassName().c_str(), d.ClassIdText().c_str(),
                                 d.Description().c_str(), d.HelpLink().c_str(),  static_cast<uint32_t>(d.MemberCount())};
        return VEX_OK;
    });
}

PAYFMT_API uint32_t KORGetMemberInfoA(KOROBJ obj, uint32_t index, KORMEMBERINFO* info) {
    resetOut(info);
    return guarded("KORGetMemberInfoA", [&] {
        requirePointer(info, "KORGetMemberInfoA", "info");
        const auto& d = descriptorOf(obj, "KORGetMemberInfoA");
        if (index >= d.MemberCount()) {
            throwVex(VEX_E_BADINDEX, "KORGetMemberInfoA",
                     "Member " + std::to_string(index) + " of " + std::to_string(d.MemberCount()) + " asked for");
        }
        const auto& m = d.Member(index);
        *info = KORMEMBERINFO{m.Name().c_str(),        m.DispId(),           static_cast<uint32_t>(m.Kind()),
                              m.Description().c_str(), m.HelpLink().c_str(), m.Attributes()};
        return VEX_OK;
    });
}

}  // extern "C"
