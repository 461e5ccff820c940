// Reader throughput: parse + scene building of a generated ~20 MB document of
// groups and transforms, against a bare DOM parse of the same bytes.
// Run by hand: build/bench/reader_bench [--benchmark_repetitions=5]
#include "scene/nodes/Group.h"
#include "scene/x3d/Parser.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <cstdio>
#include <string>

namespace {

// Rows of transforms, each holding a group of transforms: about 20 MB.
const std::string& Document()
{
    static const std::string doc = [] {
        std::string d = "<?xml version='1.0' encoding='UTF-8'?>\n<X3D profile='Interchange' version='3.3'><Scene>\n";
        char line[256];
        for (int row = 0; d.size() < 20u * 1024 * 1024; ++row) {
            std::snprintf(line, sizeof line, "<Transform DEF='Row%d' translation='0 %d.5 0'><Group>\n", row, row);
            d += line;
            for (int i = 0; i < 50; ++i) {
                std::snprintf(line, sizeof line,
                              "<Transform translation='%d.25 0.5 -%d.75' rotation='0 1 0 0.%d' "
                              "scale='1 %d.5 1'><Group/></Transform>\n",
                              i, row % 97, i % 10, i % 7 + 1);
                d += line;
            }
            d += "</Group></Transform>\n";
        }
        d += "</Scene></X3D>\n";
        return d;
    }();
    return doc;
}

int CountNodes(CVNode* node)
{
    int n = 1;
    if (node->IsKindOf<CVGroup>())
        for (CVChild* c : static_cast<CVGroup*>(node)->children.GetNodes())
            n += CountNodes(c);
    return n;
}

void BareDomParse(benchmark::State& state)
{
    const std::string& doc = Document();
    xercesc::XMLPlatformUtils::Initialize();
    for (auto _ : state) {
        xercesc::XercesDOMParser parser;
        parser.setValidationScheme(xercesc::XercesDOMParser::Val_Never);
        parser.setLoadExternalDTD(false);
        xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(doc.data()), doc.size(), "bench", false);
        parser.parse(source);
        benchmark::DoNotOptimize(parser.getDocument());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
    xercesc::XMLPlatformUtils::Terminate();
}

void ParseAndBuild(benchmark::State& state)
{
    const std::string& doc = Document();
    int nodes = 0;
    size_t heapPerNode = 0;
    for (auto _ : state) {
        size_t before = mallinfo2().uordblks;
        CVGroup* root = CVParser().ParseXMLBits(doc.data(), unsigned(doc.size()));
        root->Ref();
        state.PauseTiming();
        nodes = CountNodes(root);
        heapPerNode = (mallinfo2().uordblks - before) / size_t(nodes);
        state.ResumeTiming();
        root->Unref();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
    state.counters["nodes"] = nodes;
    state.counters["heap_bytes_per_node"] = double(heapPerNode);
}

BENCHMARK(BareDomParse)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseAndBuild)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
