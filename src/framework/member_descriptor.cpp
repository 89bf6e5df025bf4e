#include "framework/member_descriptor.h"

namespace payfmt {

std::string helpLinkOf(std::string_view file, std::string_view topic) {
    return file.empty() ? std::string() : std::string(file) + "#" + std::string(topic);
}

void TMemberDescriptorAdapter::setHelp(std::string_view file, std::string_view topic) {
    helpFile_ = file;
    helpTopic_ = topic;
    helpLink_ = helpLinkOf(file, topic);
}

}  // namespace payfmt
