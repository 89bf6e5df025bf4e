#pragma once
// An open fixed-format parser over the library's settings, and trees written
// as JSON, for the parser tests.
#include <gtest/gtest.h>

#include <string>

#include "api/library.h"
#include "parsers/core/parser_registry.h"
#include "support/tree_json.h"

namespace payfmt::test {

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        Library::instance();
        settings().errors().reset();
        component = createParser("PFIX");
        parser = &component->parser();
        parser->setName(std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) + "." +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
        parser->Open();
    }
    void TearDown() override {
        parser->Close();
        settings().errors().reset();
    }

    NodeId tree(std::string_view json) {
        trees.emplace_back(treeFromJson(json));
        return trees.back().get();
    }
    std::uint32_t parse(NodeId root, BytesView message) {
        settings().errors().reset();
        return parser->Parse(Variant::blob(message), root, "");
    }
    Bytes compile(NodeId root, std::uint32_t* code = nullptr) {
        settings().errors().reset();
        Variant message = Variant::blob("");
        const std::uint32_t c = parser->Compile(message, root, "");
        if (code) *code = c;
        return Bytes(message.bytes());
    }

    // The node at a path of child indexes below root.
    static Node& at(NodeId root, std::initializer_list<std::size_t> path) {
        NodeId n = root;
        for (std::size_t i : path) n = nodes().get(n).children.at(i);
        return nodes().get(n);
    }
    static std::string value(const Node& n) {
        const Variant* v = n.props.find("Value");
        return v ? std::string(v->bytes()) : std::string("<none>");
    }
    static std::string text(const Node& n, std::string_view property) {
        const Variant* v = n.props.find(property);
        return v ? v->toText().value_or("") : std::string("<none>");
    }

    Ref<ParserComponent> component;
    Parser* parser = nullptr;
    std::vector<OwnedTree> trees;
};

}  // namespace payfmt::test
