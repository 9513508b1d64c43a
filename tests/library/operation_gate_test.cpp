// The plug-in's one operation at a time: what begins, what is refused and says why, and
// what waits for the running operation's end.
#include "library/operation_gate.h"

#include <gtest/gtest.h>

#include <optional>

#include <stdexcept>
#include <string>
#include <vector>

using orv::library::OperationGate;

TEST(OperationGate, OneAtATimeAndTheRefusalNamesTheOneRunning) {
    OperationGate gate;
    std::vector<std::string> told;
    gate.began = [&](const std::string& what) { told.push_back("began " + what); };
    gate.ended = [&] { told.push_back("ended"); };
    {
        auto paste = gate.begin("粘贴");
        ASSERT_TRUE(paste);
        EXPECT_TRUE(gate.busy());
        EXPECT_EQ(gate.running(), "粘贴");
        EXPECT_FALSE(gate.begin("更新公共库")) << "a second operation inside the first";
        EXPECT_EQ(gate.refusal(), "“粘贴”还没有结束，请等它完成后再试。");
    }
    EXPECT_FALSE(gate.busy());
    EXPECT_TRUE(gate.begin("删除"));  // and it ends at once, a temporary
    EXPECT_EQ(told, (std::vector<std::string>{"began 粘贴", "ended", "began 删除", "ended"}));
}

TEST(OperationGate, AnOperationEndsHoweverItsCodeIsLeft) {
    OperationGate gate;
    try {
        auto save = gate.begin("保存");
        throw std::runtime_error("the save failed half way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(gate.busy());
    // A ticket moved on ends once, where it went.
    std::optional<OperationGate::Ticket> kept;
    {
        auto first = gate.begin("统计");
        kept.emplace(std::move(*first));
    }
    EXPECT_TRUE(gate.busy());
    kept.reset();
    EXPECT_FALSE(gate.busy());
}

TEST(OperationGate, WhatWaitsForTheEndRunsInOrderOnceNothingRuns) {
    OperationGate gate;
    std::vector<std::string> ran;
    gate.whenIdle([&] { ran.push_back("at once"); });
    EXPECT_EQ(ran, std::vector<std::string>{"at once"});
    std::optional<OperationGate::Ticket> fetchStore;
    {
        auto paste = gate.begin("粘贴");
        // The daily check's records wait for the paste; the first to run starts an
        // operation of its own, and the rest wait for that one too.
        gate.whenIdle([&] {
            ran.push_back("store");
            if (auto store = gate.begin("检查更新")) fetchStore.emplace(std::move(*store));
        });
        gate.whenIdle([&] { ran.push_back("caption"); });
        EXPECT_EQ(ran.size(), 1u);
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"at once", "store"}));
    EXPECT_TRUE(gate.busy());
    fetchStore.reset();
    EXPECT_EQ(ran, (std::vector<std::string>{"at once", "store", "caption"}));
    EXPECT_FALSE(gate.busy());
}
