#pragma once
// Member descriptors: what a component says about each of its properties,
// methods and constants. The adapters are the read side that hosts and the
// dispatcher see; the descriptors add the setters an info class uses while
// it builds its member list, so nothing can change a member afterwards.
#include <cstdint>
#include <string>
#include <string_view>

#include "payfmt/kor.h"
#include "support/variant.h"

namespace payfmt {

enum class MemberKind : std::uint32_t {
    Property = KOR_MEMBER_PROPERTY,
    Method = KOR_MEMBER_METHOD,
    Constant = KOR_MEMBER_CONSTANT,
};

// help file "#" topic, or empty text without a help file.
std::string helpLinkOf(std::string_view file, std::string_view topic);

// Anything with a name.
class TNamedObjectAdapter {
public:
    explicit TNamedObjectAdapter(std::string name) : name_(std::move(name)) {}
    virtual ~TNamedObjectAdapter() = default;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

class TMemberDescriptorAdapter : public TNamedObjectAdapter {
public:
    std::int32_t DispId() const { return dispid_; }
    MemberKind Kind() const { return kind_; }
    const std::string& Description() const { return description_; }
    const std::string& HelpFile() const { return helpFile_; }
    const std::string& HelpTopic() const { return helpTopic_; }
    // help file "#" topic; empty without a help file.
    const std::string& HelpLink() const { return helpLink_; }
    // The property flag word; 0 for methods.
    std::uint32_t Attributes() const { return attributes_; }

protected:
    TMemberDescriptorAdapter(MemberKind kind, std::int32_t dispid, std::string name)
        : TNamedObjectAdapter(std::move(name)), kind_(kind), dispid_(dispid) {}
    void setDescription(std::string_view text) { description_ = text; }
    void setHelp(std::string_view file, std::string_view topic);
    void setAttributes(std::uint32_t attributes) { attributes_ = attributes; }

private:
    MemberKind kind_;
    std::int32_t dispid_;
    std::string description_;
    std::string helpFile_, helpTopic_, helpLink_;
    std::uint32_t attributes_ = 0;
};

class TMethodDescriptorAdapter : public TMemberDescriptorAdapter {
protected:
    TMethodDescriptorAdapter(std::int32_t dispid, std::string name)
        : TMemberDescriptorAdapter(MemberKind::Method, dispid, std::move(name)) {}
};

class TPropertyDescriptorAdapter : public TMemberDescriptorAdapter {
protected:
    using TMemberDescriptorAdapter::TMemberDescriptorAdapter;
};

// The setters of a writable descriptor; they chain.
template <class Self, class Adapter>
class TWritableMember : public Adapter {
public:
    Self& Describe(std::string_view text) {
        this->setDescription(text);
        return static_cast<Self&>(*this);
    }
    Self& Help(std::string_view file, std::string_view topic) {
        this->setHelp(file, topic);
        return static_cast<Self&>(*this);
    }

protected:
    using Adapter::Adapter;
};

class TMethodDescriptor : public TWritableMember<TMethodDescriptor, TMethodDescriptorAdapter> {
public:
    TMethodDescriptor(std::int32_t dispid, std::string name) : TWritableMember(dispid, std::move(name)) {}
};

class TPropertyDescriptor : public TWritableMember<TPropertyDescriptor, TPropertyDescriptorAdapter> {
public:
    TPropertyDescriptor(std::int32_t dispid, std::string name)
        : TWritableMember(MemberKind::Property, dispid, std::move(name)) {}
    using TWritableMember::Attributes;
    TPropertyDescriptor& Attributes(std::uint32_t attributes) {
        setAttributes(attributes);
        return *this;
    }

protected:
    TPropertyDescriptor(MemberKind kind, std::int32_t dispid, std::string name)
        : TWritableMember(kind, dispid, std::move(name)) {}
};

// A read-only property whose value the descriptor itself holds.
class TConstantDescriptor : public TPropertyDescriptor {
public:
    TConstantDescriptor(std::int32_t dispid, std::string name, Variant value)
        : TPropertyDescriptor(MemberKind::Constant, dispid, std::move(name)), value_(std::move(value)) {}
    const Variant& Value() const { return value_; }

private:
    Variant value_;
};

}  // namespace payfmt
