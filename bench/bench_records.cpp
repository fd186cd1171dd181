// Throughput of record decoding: a rich-text value of about 10 MB of paragraph, text and
// field records walked into record nodes and dumped into a dump writer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "output/DumpWriter.h"
#include "records/CdRecord.h"
#include "records/RecordStream.h"
#include "support/RecordEncoder.h"
#include "tree/NoteNode.h"

namespace {

constexpr std::size_t kStreamBytes = 10u << 20;

const RecordBytes& Stream() {
    static const RecordBytes stream = [] {
        RecordEncoder e(1);
        RecordBody pab;
        pab.u16(1).u16(0).u16(2).u16(0).u16(0).u16(1440).u16(0).u16(720).u16(2).i16(720).i16(1440);
        pab.zeros(36).u16(0x0400).u32(0x4).zeros(2);
        const RecordBody text = RecordBody()
                                    .u32(0x0A000000)
                                    .text("The figures of the quarter are better than the plan, "
                                          "and the reasons are these: ");
        const RecordBody style = RecordBody().u32(1).u16(1).text("Body Text", 36).u32(0x0A000000);
        while (e.Stream().size() < kStreamBytes) {
            e.Add(0xFF82, pab)
                .Add(0xA6, style)
                .Add(0x81, RecordBody())
                .Add(0x83, RecordBody().u16(1));
            for (int i = 0; i < 8; ++i)
                e.Add(0xFF85, text);
        }
        return e.Stream();
    }();
    return stream;
}

void BM_DecodeRichTextIntoDump(benchmark::State& state) {
    const RecordBytes& stream = Stream();
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        CNoteNode parent;
        auto factory = MakeRecordFactory(1);
        AddRecordNodes(parent, *factory, stream.data(), stream.size());
        CDumpWriter writer(sink);
        writer.Begin();
        for (CTreeListNode* n = parent.GetFirstChild(); n; n = n->GetNextSibling()) {
            auto* r = static_cast<TNCdRecord*>(n);
            r->WriteBegin(writer);
            r->WriteFields(writer);
            r->WriteEnd(writer);
        }
        writer.End();
        writer.Flush();
    }
    std::fclose(sink);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(stream.size()));
}
BENCHMARK(BM_DecodeRichTextIntoDump)->Unit(benchmark::kMillisecond);

} // namespace
