#pragma once
// The property list of a tree node, shared copy-on-write. A node copied from
// another (a value node from its definition, a repetition from its template)
// shares the other's items and keeps only what it changes itself: its value,
// its reports, a new name. Copying a message-sized tree therefore copies no
// property, and what a parser works out from a definition's properties is
// kept once with the shared items (a NodeCache) for every copy.
//
// Trees are only touched under the process lock, so the sharing count is a
// plain integer.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "support/inline_list.h"
#include "support/props.h"

namespace payfmt {

// Something worked out from a node's shared items and kept with them. It is
// dropped when an item it depends on changes in place.
// kind tells apart the caches of different users (the address of something
// of the user's own); names are the bits (Props::bitOf) of the names it
// depends on, so that most changes are seen not to matter without asking.
class NodeCache {
public:
    NodeCache(const void* kind, std::uint64_t names) : kind_(kind), names_(names) {}
    virtual ~NodeCache() = default;
    const void* kind() const { return kind_; }
    std::uint64_t names() const { return names_; }
    virtual bool dependsOn(std::string_view name) const = 0;

private:
    const void* kind_;
    std::uint64_t names_;
};

class NodeProps {
public:
    NodeProps() = default;
    // A copy shares the items and carries over the changes.
    NodeProps(const NodeProps& other);
    NodeProps& operator=(const NodeProps& other);
    NodeProps(NodeProps&& other) noexcept;
    NodeProps& operator=(NodeProps&& other) noexcept;
    ~NodeProps();
    // Replaces every item by those of the list.
    NodeProps& operator=(const Props& items);
    // No items at all.
    void clear() noexcept;

    // The item's value, or null when absent.
    const Variant* find(std::string_view name) const { return find(name, Props::bitOf(name)); }
    // find for a name whose bit (Props::bitOf) is known.
    const Variant* find(std::string_view name, std::uint64_t bit) const;
    // Sets the item, creating it at the end when absent.
    void set(std::string_view name, Variant value);
    // Removing an absent item does nothing.
    void remove(std::string_view name);
    void merge(const Props& other);

    // False when none of the names whose bits (Props::bitOf) are given can be
    // there; true when one may be.
    bool mayHave(std::uint64_t bits) const {
        return (changed_ & bits) || (shared_ && (shared_->items.signature() & bits));
    }

    std::size_t size() const;
    bool empty() const { return size() == 0; }
    // The items in order: the shared ones as this node sees them, then the
    // ones it added.
    Props items() const;
    // Calls f(name, value) for each item in that order, without making a
    // list: a node may hold thousands (an XML element's attributes).
    template <class F>
    void forEach(F&& f) const {
        if (shared_) {
            for (const auto& [name, value] : shared_->items.items()) {
                const Change* c = changeOf(name);
                if (!c) f(std::string_view(name), value);
                else if (!c->removed) f(std::string_view(name), c->value);
            }
        }
        for (const Change& c : changes_)
            if (!c.removed && !(shared_ && shared_->items.find(c.name))) f(std::string_view(c.name), c.value);
    }

    // Counts the changes made to this node's properties (copies start from
    // their original's count), so that what was worked out from them can
    // tell that it no longer holds.
    std::uint32_t version() const { return version_; }

    // Whether both see the same shared items (one was copied from the other
    // and neither has taken its items as its own since).
    bool sharesItemsWith(const NodeProps& other) const { return shared_ && shared_ == other.shared_; }
    // Takes base's items in place of the shared ones, keeping this node's
    // own changes over them: a copy of one definition that is to stand as a
    // copy of another. base holds no changes of its own.
    void rebase(const NodeProps& base);

    // The cache kept with the shared items, or null when there is none or
    // this node changed an item the cache depends on.
    NodeCache* cache() const {
        if (!shared_ || !shared_->cache || touches(*shared_->cache)) return nullptr;
        return shared_->cache.get();
    }
    // Keeps the cache with the shared items (and so for every node that
    // shares them); refused, and left with the caller, when this node's own
    // changes touch an item it depends on.
    bool setCache(std::unique_ptr<NodeCache>& cache);

private:
    struct Shared {
        Props items;
        std::unique_ptr<NodeCache> cache;
        std::uint32_t users = 1;
    };
    struct Change {
        std::string name;
        Variant value;
        bool removed = false;
    };
    // Changes kept beside the shared items; one more folds them all into
    // items of the node's own.
    static constexpr std::size_t kMaxChanges = 4;

    Change* changeOf(std::string_view name);
    const Change* changeOf(std::string_view name) const;
    bool sharedWithOthers() const;
    // Makes the items the node's own, its changes applied.
    void own();
    void addChange(std::string_view name, Variant value, bool removed);
    void release() noexcept;

    bool touches(const NodeCache& cache) const {
        return (changed_ & cache.names()) && touchesAny(cache);
    }
    bool touchesAny(const NodeCache& cache) const;
    void resign();

    Shared* shared_ = nullptr;
    InlineList<Change, kMaxChanges> changes_;
    std::uint64_t changed_ = 0;  // the bits of the changes' names
    std::uint32_t version_ = 0;
};

}  // namespace payfmt
