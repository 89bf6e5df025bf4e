// payfmt parse --type P8583: an ISO 8583 message field by field.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli_common.h"

namespace cli {

namespace {

std::string hexOf(const std::string& bytes) {
    VEXBUF hex = nullptr;
    VEXRawToHexStrnA(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()), &hex);
    return take(hex);
}

std::optional<int> bitOf(VEXNODE node) {
    const auto text = property(node, "Bit");
    if (!text) return std::nullopt;
    try {
        return std::stoi(*text);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

void printIso8583(const Options& o, VEXNODE message, VEXNODE definitions) {
    std::set<int> announced, parsed;
    std::string bitmap;
    for (VEXNODE field : childrenOf(message)) {
        const auto bit = bitOf(field);
        if (bit) parsed.insert(*bit);
        const auto raw = rawProperty(field, "Value");
        if (bit && (*bit == 0 || *bit == 1) && raw && raw->size() == 8) {
            for (int i = 0; i < 64; ++i)
                if (static_cast<unsigned char>((*raw)[i / 8]) & (0x80u >> (i % 8))) announced.insert(*bit * 64 + i + 1);
            if (!bitmap.empty()) bitmap += ' ';
            bitmap += hexOf(*raw);
        }
    }

    for (VEXNODE field : childrenOf(message)) {
        const auto bit = bitOf(field);
        const auto value = property(field, "Value");
        if (bit && *bit == -1) {
            std::printf("MTI     %s  (%s)\n", value ? shown(o, *value).c_str() : "", nodeName(field).c_str());
        } else if (bit && *bit == 0) {
            std::printf("bitmap  %s\n", bitmap.c_str());
            std::string bits;
            for (int b : announced)
                if (b > 1) bits.append(" ").append(std::to_string(b));
            std::printf("bits   %s\n", bits.c_str());
        } else if (!bit || *bit != 1) {
            // A field read on by another parser shows its elements instead.
            const bool elements = !childrenOf(field).empty();
            std::printf("%5s  %-32s %s\n", bit ? std::to_string(*bit).c_str() : "?", nodeName(field).c_str(),
                        value && !elements ? shown(o, *value).c_str() : "");
        }
        printReport(field, "", 6);
        // A field another parser read on (EMV data in DE 55) shows its elements.
        printElements(o, field, 7);
    }

    // A stop between fields is reported on the message, with where it
    // stopped: name the first bit the bitmap announced that was not parsed.
    // A report without that place repeats a field's, shown above.
    if (!property(message, "Error") || !property(message, "Offset")) return;
    std::string where;
    for (int b : announced) {
        if (parsed.count(b)) continue;
        where.append("bit ").append(std::to_string(b));
        for (VEXNODE d : childrenOf(definitions))
            if (bitOf(d) == b) where.append(" ").append(nodeName(d));
        where.append(": ");
        break;
    }
    std::printf("message\n");
    printReport(message, where, 6);
}

}  // namespace cli
