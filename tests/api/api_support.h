#pragma once
// What the tests of the public C interface read back: buffer bytes and the
// calling thread's error record.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "payfmt/payfmt.h"

namespace test {

inline std::string bytes(VEXBUF b) {
    return std::string(reinterpret_cast<const char*>(VEXBufData(b)), VEXBufLen(b));
}

// The calling thread's error record as (code, source, description).
struct Record {
    uint32_t code = 0;
    std::string source, description;
};

inline Record lastRecord() {
    KORERRINFO info = nullptr;
    Record r;
    if (KORGetErrorInfo(&info) == 0) {
        r.code = KORErrorInfoCode(info);
        r.source = KORErrorInfoSourceA(info);
        r.description = KORErrorInfoDescriptionA(info);
        KORFreeErrorInfo(info);
    }
    return r;
}

// An input chain applied through FormatInputA: its status and IStr result.
struct Applied {
    uint32_t status = 0;
    std::string text;
};

inline Applied formatInput(const char* value, const char* format) {
    VEXBUF out = nullptr;
    Applied r;
    r.status = FormatInputA(value, format, &out, 0);
    r.text = bytes(out);
    VEXBufFree(out);
    return r;
}

// A tree read from its JSON form, deleted with the test.
class Tree {
public:
    explicit Tree(std::string_view json) {
        if (VEXTreeFromJsonA(json.data(), static_cast<uint32_t>(json.size()), &root_) != 0) root_ = 0;
    }
    explicit Tree(VEXNODE adopted) : root_(adopted) {}
    Tree(Tree&& o) noexcept : root_(std::exchange(o.root_, 0)) {}
    Tree& operator=(Tree&&) = delete;
    ~Tree() {
        if (root_) VEXTreeDeleteNode(root_, -1);
    }
    VEXNODE get() const { return root_; }
    std::string json() const {
        VEXBUF out = nullptr;
        VEXTreeToJsonA(root_, &out);
        std::string r = bytes(out);
        VEXBufFree(out);
        return r;
    }

private:
    VEXNODE root_ = 0;
};

}  // namespace test
