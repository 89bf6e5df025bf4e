#pragma once
// JSON text of trees, used by the command-line tool and the bundled examples:
//   {"name": "...", "group": true, "attrib": 129, "props": {...}, "children": [...]}
// "attrib" appears only when bits other than the group bit are set. Property
// values: strings, integers, booleans and numbers as themselves, null for an
// empty value, {"blob": "HEX"} for bytes, {"istr": "AB#00"} (read only) for
// bytes in IStr text, {"date": serial}, and JSON arrays for arrays.
#include <string>
#include <string_view>

#include "support/tree.h"

namespace payfmt {

std::string treeToJson(NodeId root, int indent = 2);
// Builds a new parentless tree; throws VexError(VEX_E_FORMAT) with the reason.
NodeId treeFromJson(std::string_view json);

NodeId loadTree(const std::string& path);
void saveTree(NodeId root, const std::string& path);

}  // namespace payfmt
