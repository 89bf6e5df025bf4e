#pragma once
// A parser as a scriptable component: the members every parser has (name,
// settings, character classes, definitions, Open, Close, Compile, Parse)
// dispatched by dispid onto the Parser it holds, and the family's own
// members handed to the parser. The component's class and members are those
// of the family's info object.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "framework/component_info.h"
#include "framework/kor_component.h"
#include "parsers/core/parser.h"

namespace payfmt {

class ParserComponent final : public TKORComponent {
public:
    ParserComponent(const TKORComponentInfo& info, std::unique_ptr<Parser> parser);

    const TKORComponentInfo* GetComponentInfo() const override { return &info_; }
    Parser& parser() const { return *parser_; }

protected:
    void DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) override;
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;
    void DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) override;
    void DoSetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, const Variant& value) override;

private:
    const TKORComponentInfo& info_;
    std::unique_ptr<Parser> parser_;
};

// The component class of family P for its info (info answers the info
// object, built once): created by name without arguments.
template <class P>
ComponentClass parserClass(std::string_view className, const TKORComponentInfo& (*info)()) {
    return {std::string(className), [info](std::span<const Variant> args) -> Ref<TAutomationObject> {
                if (!args.empty()) throw EInvalidParameter::count(std::string(kSourceCreateInstance));
                return newComponent<ParserComponent>(info(), std::make_unique<P>());
            }};
}

}  // namespace payfmt
