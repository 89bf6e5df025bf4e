#include "support/node_props.h"

#include "support/ascii.h"

namespace payfmt {

NodeProps::NodeProps(const NodeProps& other)
    : shared_(other.shared_), changes_(other.changes_), changed_(other.changed_), version_(other.version_) {
    if (shared_) ++shared_->users;
}

NodeProps& NodeProps::operator=(const NodeProps& other) {
    if (this != &other) {
        if (other.shared_) ++other.shared_->users;
        release();
        shared_ = other.shared_;
        changes_ = other.changes_;
        changed_ = other.changed_;
        ++version_;
    }
    return *this;
}

NodeProps::NodeProps(NodeProps&& other) noexcept
    : shared_(std::exchange(other.shared_, nullptr)), changes_(std::move(other.changes_)),
      changed_(std::exchange(other.changed_, 0)) {}

NodeProps& NodeProps::operator=(NodeProps&& other) noexcept {
    if (this != &other) {
        release();
        shared_ = std::exchange(other.shared_, nullptr);
        changes_ = std::move(other.changes_);
        changed_ = std::exchange(other.changed_, 0);
        ++version_;
    }
    return *this;
}

void NodeProps::clear() noexcept {
    ++version_;
    release();
    changes_.clear();
    changed_ = 0;
}

void NodeProps::resign() {
    changed_ = 0;
    for (const Change& c : changes_) changed_ |= Props::bitOf(c.name);
}

bool NodeProps::touchesAny(const NodeCache& cache) const {
    for (const Change& c : changes_)
        if (cache.dependsOn(c.name)) return true;
    return false;
}

NodeProps::~NodeProps() { release(); }

void NodeProps::rebase(const NodeProps& base) {
    ++version_;
    if (base.shared_) ++base.shared_->users;
    release();
    shared_ = base.shared_;
}

void NodeProps::release() noexcept {
    if (shared_ && --shared_->users == 0) std::unique_ptr<Shared> last(shared_);
    shared_ = nullptr;
}

NodeProps& NodeProps::operator=(const Props& items) {
    auto fresh = std::make_unique<Shared>();
    fresh->items = items;
    ++version_;
    release();
    shared_ = fresh.release();
    changes_.clear();
    changed_ = 0;
    return *this;
}

NodeProps::Change* NodeProps::changeOf(std::string_view name) {
    if (!(changed_ & Props::bitOf(name))) return nullptr;
    for (Change& c : changes_)
        if (equalsNoCase(c.name, name)) return &c;
    return nullptr;
}

const NodeProps::Change* NodeProps::changeOf(std::string_view name) const {
    return const_cast<NodeProps*>(this)->changeOf(name);
}

bool NodeProps::sharedWithOthers() const { return shared_ && shared_->users > 1; }

void NodeProps::own() {
    if (!shared_) {
        shared_ = std::make_unique<Shared>().release();
    } else if (shared_->users > 1) {
        auto mine = std::make_unique<Shared>();
        mine->items = shared_->items;  // the cache stays with the others
        --shared_->users;
        shared_ = mine.release();
    }
    for (Change& c : changes_) {
        if (shared_->cache && shared_->cache->dependsOn(c.name)) shared_->cache.reset();
        if (c.removed) shared_->items.remove(c.name);
        else shared_->items.set(c.name, std::move(c.value));
    }
    changes_.clear();
    changed_ = 0;
}

void NodeProps::addChange(std::string_view name, Variant value, bool removed) {
    if (changes_.full()) {
        own();
        if (shared_->cache && shared_->cache->dependsOn(name)) shared_->cache.reset();
        if (removed) shared_->items.remove(name);
        else shared_->items.set(name, std::move(value));
        return;
    }
    changes_.emplace_back(std::string(name), std::move(value), removed);
    changed_ |= Props::bitOf(name);
}

const Variant* NodeProps::find(std::string_view name, std::uint64_t bit) const {
    if (changed_ & bit) {
        for (const Change& c : changes_)
            if (equalsNoCase(c.name, name)) return c.removed ? nullptr : &c.value;
    }
    return shared_ ? shared_->items.find(name, bit) : nullptr;
}

void NodeProps::set(std::string_view name, Variant value) {
    ++version_;
    if (Change* c = changeOf(name)) {
        c->value = std::move(value);
        c->removed = false;
        return;
    }
    if (sharedWithOthers()) return addChange(name, std::move(value), false);
    // Alone with its items: change them in place, keeping the order in which
    // items were added.
    own();
    if (shared_->cache && shared_->cache->dependsOn(name)) shared_->cache.reset();
    shared_->items.set(name, std::move(value));
}

void NodeProps::remove(std::string_view name) {
    ++version_;
    const bool inShared = shared_ && shared_->items.find(name);
    if (Change* c = changeOf(name)) {
        if (inShared) {
            c->value.clear();
            c->removed = true;
            return;
        }
        changes_.erase(static_cast<std::size_t>(c - changes_.begin()));
        resign();
        return;
    }
    if (!inShared) return;
    if (sharedWithOthers()) return addChange(name, Variant(), true);
    own();
    if (shared_->cache && shared_->cache->dependsOn(name)) shared_->cache.reset();
    shared_->items.remove(name);
}

void NodeProps::merge(const Props& other) {
    for (const auto& [name, value] : other.items()) set(name, value);
}

std::size_t NodeProps::size() const {
    std::size_t n = shared_ ? shared_->items.size() : 0;
    for (const Change& c : changes_) {
        const bool inShared = shared_ && shared_->items.find(c.name);
        if (c.removed && inShared) --n;
        else if (!c.removed && !inShared) ++n;
    }
    return n;
}

Props NodeProps::items() const {
    Props out;
    forEach([&](std::string_view name, const Variant& value) { out.set(name, value); });
    return out;
}

bool NodeProps::setCache(std::unique_ptr<NodeCache>& cache) {
    if (!cache || touches(*cache)) return false;  // worked out from this node's own items
    if (!shared_) shared_ = std::make_unique<Shared>().release();
    shared_->cache = std::move(cache);
    return true;
}

}  // namespace payfmt
