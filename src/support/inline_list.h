#pragma once
// A list of at most N items kept inside its owner: no heap, and only the
// items in use are ever constructed, copied or destroyed. For the few
// changes a tree node or a walk keeps per node.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace payfmt {

template <class T, std::size_t N>
class InlineList {
public:
    InlineList() = default;
    InlineList(const InlineList& other) {
        for (const T& item : other) push_back(item);
    }
    InlineList(InlineList&& other) noexcept {
        for (T& item : other) push_back(std::move(item));
        other.clear();
    }
    InlineList& operator=(const InlineList& other) {
        if (this != &other) {
            clear();
            for (const T& item : other) push_back(item);
        }
        return *this;
    }
    InlineList& operator=(InlineList&& other) noexcept {
        if (this != &other) {
            clear();
            for (T& item : other) push_back(std::move(item));
            other.clear();
        }
        return *this;
    }
    ~InlineList() { clear(); }

    static constexpr std::size_t capacity() { return N; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool full() const { return size_ == N; }

    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }

    // The list must not be full.
    template <class... Args>
    T& emplace_back(Args&&... args) {
        return *std::construct_at(data() + size_++, std::forward<Args>(args)...);
    }
    void push_back(const T& item) { emplace_back(item); }
    void push_back(T&& item) { emplace_back(std::move(item)); }
    // Removes the item at i; the later ones move up.
    void erase(std::size_t i) {
        for (std::size_t j = i; j + 1 < size_; ++j) data()[j] = std::move(data()[j + 1]);
        std::destroy_at(data() + --size_);
    }
    void clear() noexcept {
        std::destroy_n(data(), size_);
        size_ = 0;
    }

private:
    T* data() { return std::launder(reinterpret_cast<T*>(storage_)); }
    const T* data() const { return std::launder(reinterpret_cast<const T*>(storage_)); }

    alignas(T) std::byte storage_[N * sizeof(T)];
    std::uint8_t size_ = 0;
};

}  // namespace payfmt
