#pragma once
// What a walk reads of a definition node, worked out once: its formats
// (parsed), its input mask (compiled) and its typed settings. It is kept with
// the node's shared properties, so a value tree copied from definitions finds
// it ready on every copy. It is dropped when one of the properties it was
// worked out from changes, and its chains and mask are worked out again when
// the registered sequences or the parser's character classes change.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/chain.h"
#include "engine/mask.h"
#include "support/node_props.h"

namespace payfmt {

class ParserCore;

class ResolvedNode final : public NodeCache {
public:
    // The node's settings as a walk reads them. Null when one of them has
    // an unexpected type: a walk then reads the node itself, which reports
    // that on every read.
    static std::unique_ptr<ResolvedNode> resolve(const NodeProps& props);
    // The cached one of the node, made and kept on first use when the node's
    // properties allow; null as for resolve. own keeps one that the node
    // cannot share (its own changes touch what it depends on).
    static const ResolvedNode* of(NodeProps& props, std::unique_ptr<ResolvedNode>& own) {
        if (const NodeCache* c = props.cache(); c && c->kind() == &kKind) return static_cast<const ResolvedNode*>(c);
        return make(props, own);
    }

    explicit ResolvedNode(const void* kind);
    bool dependsOn(std::string_view name) const override;

    std::string ifo, ifm, ofo, tag, parser;
    std::optional<bool> allowNull, processNull, tSetGroups, constructed;
    bool allowRecurse = true;
    std::int64_t repeatNode = 0;
    std::optional<std::int64_t> repeatAutoNumber;
    std::int64_t bit = -32768;
    std::int64_t berLenMinSize = 1;

    // Constructed when Constructed says so, else when the first hexadecimal
    // digit of the tag has its 2 bit set (bit 0x20 of the first tag byte).
    bool constructedBER() const { return constructed ? *constructed : constructedTag(tag); }
    static bool constructedTag(std::string_view tag) {
        return !tag.empty() && std::string_view("2367ABEFabef").find(tag.front()) != std::string_view::npos;
    }

    // What a parser family works out from these settings for its own use
    // and keeps with them, so that every copy of a definition finds it (the
    // tag-length-value parsers keep a tag's field and its definition). It
    // goes when the settings go; a family checks that it is its own and
    // still holds.
    struct FamilyMemo {
        explicit FamilyMemo(const void* kind) : kind(kind) {}
        virtual ~FamilyMemo() = default;
        const void* kind;  // the address of something of the family's own
    };
    mutable std::unique_ptr<FamilyMemo> memo;

    const ParsedChain& ifoChain(ParserCore& parser) const { return ifoChain_.get(parser, ifo); }
    const ParsedChain& ofoChain(ParserCore& parser) const { return ofoChain_.get(parser, ofo); }
    const InputMask& mask(ParserCore& parser) const;

private:
    static const char kKind;  // its address tells this cache from others
    static const ResolvedNode* make(NodeProps& props, std::unique_ptr<ResolvedNode>& own);

    mutable HeldChain ifoChain_, ofoChain_;
    mutable std::optional<InputMask> mask_;
};

}  // namespace payfmt
