// Creation, reference counts and thread safety of components through
// libpayfmt.so.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "api/kor_host.h"

namespace {

using kortest::Obj;
using kortest::Var;

TEST(KorObjects, CountReferencesAndDestroyAtTheLast) {
    const uint32_t before = KORObjectCount();
    KOROBJ tvr = nullptr;
    ASSERT_EQ(KORCreateObjectA("TVR", nullptr, 0, &tvr), 0u);
    EXPECT_EQ(KORObjectCount(), before + 1);
    EXPECT_EQ(KORAddRef(tvr), 2u);
    EXPECT_EQ(KORRelease(tvr), 1u);
    VEXVARIANT held{};
    VEXVarSetObject(&held, tvr);  // a variant holds its own reference
    EXPECT_EQ(KORRelease(tvr), 1u);
    VEXVARIANT value{};
    ASSERT_EQ(KORInvokeByNameA(held.u.obj, "Value", KOR_DISPATCH_GET, nullptr, 0, &value, nullptr), 0u);
    EXPECT_EQ(KORObjectCount(), before + 6);  // the five bytes came with the first use
    VEXVarClear(&value);
    VEXVarClear(&held);
    EXPECT_EQ(KORObjectCount(), before);
    EXPECT_EQ(KORAddRef(nullptr), 0u);
    EXPECT_EQ(KORRelease(nullptr), 0u);
}

TEST(KorObjects, AHundredThousandCreationsLeaveNothingBehind) {
    const uint32_t before = KORObjectCount();
    for (int i = 0; i < 100000; ++i) {
        KOROBJ o = nullptr;
        ASSERT_EQ(KORCreateObjectA(i % 2 ? "Quorvin.EMV.TVR" : "TSI1", nullptr, 0, &o), 0u);
        if (i % 1000 == 0) {  // now and then with the byte components made
            VEXVARIANT v{};
            ASSERT_EQ(KORInvokeByNameA(o, "Value", KOR_DISPATCH_GET, nullptr, 0, &v, nullptr), 0u);
            VEXVarClear(&v);
        }
        ASSERT_EQ(KORRelease(o), 0u);
    }
    EXPECT_EQ(KORObjectCount(), before);
}

TEST(KorObjects, CallsFromSeveralThreadsAreSerialised) {
    const uint32_t before = KORObjectCount();
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &good] {
            for (int i = 0; i < 500; ++i) {
                Obj tvr = Obj::create("TVR");
                const std::string value = "0" + std::to_string(t) + "00000000";
                if (tvr.put("Value", Var::text(value)).status == 0 && tvr.get("Value").result.str() == value)
                    ++good[static_cast<std::size_t>(t)];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int g : good) EXPECT_EQ(g, 500);
    EXPECT_EQ(KORObjectCount(), before);
}

}  // namespace
