// Expanding a node with 100,000 children: sorted insertion into the node and the rows.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/HeadlessPlatform.h"
#include "tree/NoteNode.h"
#include "treelist/TreeListCore.h"

namespace {

struct Child {
    NodeTypeId type;
    std::string label;
};

class Leaf : public CNoteNode {
public:
    explicit Leaf(const Child& c) {
        SetTypeId(c.type);
        SetLabel(c.label);
    }
};

class Parent : public CNoteNode {
public:
    explicit Parent(const std::vector<Child>& children) : children_(children) {
        SetTypeId(nodetype::kDocuments);
        SetLabel("Documents");
    }
    bool IsExpandable() const override { return true; }
    void AddChildren() override {
        for (const Child& c : children_) {
            if (AcceptChild(c.type)) {
                AddChild(new Leaf(c));
            }
        }
    }

private:
    const std::vector<Child>& children_;
};

std::vector<Child> MakeChildren(std::size_t n, bool shuffled) {
    std::vector<Child> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto type =
            static_cast<NodeTypeId>(i % 7 == 0 ? nodetype::kForms : nodetype::kDocument);
        out.push_back({type, "Note " + std::to_string(i * 7919 % 100003)});
    }
    if (shuffled) {
        std::shuffle(out.begin(), out.end(), std::mt19937(42));
    } else {
        std::sort(out.begin(), out.end(), [](const Child& a, const Child& b) {
            return a.type != b.type ? a.type < b.type : CompareNoCase(a.label, b.label) < 0;
        });
    }
    return out;
}

void ExpandChildren(benchmark::State& state, bool shuffled, std::uint32_t style) {
    const auto children = MakeChildren(static_cast<std::size_t>(state.range(0)), shuffled);
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    control.SetStyle(style);
    control.SetClientSize(400, 600);
    auto* parent = new Parent(children);
    control.AddRoot(parent);
    for (auto _ : state) {
        control.Expand(parent);
        benchmark::DoNotOptimize(control.RowCount()); // the rows are rebuilt here
        state.PauseTiming();
        if (control.RowCount() != static_cast<int>(children.size()) + 1) {
            state.SkipWithError("wrong row count");
        }
        control.Collapse(parent);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ExpandShuffled(benchmark::State& state) {
    ExpandChildren(state, true, treelist::style::kDefault);
}
void BM_ExpandInOrder(benchmark::State& state) {
    ExpandChildren(state, false, treelist::style::kDefault);
}
void BM_ExpandShuffledWithExtent(benchmark::State& state) {
    ExpandChildren(state, true, treelist::style::kDefault | treelist::style::kHorizontalExtent);
}

void BM_Collapse(benchmark::State& state) {
    const auto children = MakeChildren(static_cast<std::size_t>(state.range(0)), true);
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    control.SetStyle(treelist::style::kDefault | treelist::style::kHorizontalExtent);
    auto* parent = new Parent(children);
    control.AddRoot(parent);
    for (auto _ : state) {
        state.PauseTiming();
        control.Expand(parent);
        benchmark::DoNotOptimize(control.RowCount());
        state.ResumeTiming();
        control.Collapse(parent);
        benchmark::DoNotOptimize(control.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_ExpandShuffled)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandInOrder)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandShuffledWithExtent)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Collapse)->Arg(100000)->Unit(benchmark::kMillisecond);
