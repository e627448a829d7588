// Text documents on a generated 1,000,000-byte text of CR LF lines of words: loading with the line
// and word indexes against `wc -w` on the same file, and the word search against
// `grep -c -w -F`, all timed in wall-clock time in one run, with the ratios printed at the end.
// Also prints the memory a loaded document holds against its text size.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "text/text_doc.h"
#include "text/word_index.h"

namespace {

std::string& TextPath() {
    static std::string path = "/tmp/velmora_textdoc_bench_" + std::to_string(getpid()) + ".txt";
    return path;
}

// Lines of 6 to 14 words of 1 to 10 letters (capitals and small letters), CR LF ended, exactly
// TEXT_DOC_CAPACITY bytes. The word "ZEBRAFISH" is put once, on the last full line.
std::string GenerateText() {
    std::mt19937 random(7);
    std::string text;
    text.reserve(TEXT_DOC_CAPACITY + 200);
    while (text.size() < TEXT_DOC_CAPACITY - 200) {
        const int words = 6 + int(random() % 9);
        for (int w = 0; w < words; ++w) {
            const int letters = 1 + int(random() % 10);
            for (int i = 0; i < letters; ++i) {
                const char base = (random() % 4 == 0) ? 'A' : 'a';
                text += char(base + random() % 26);
            }
            text += ' ';
        }
        text += "\r\n";
    }
    text += "ZEBRAFISH \r\n";
    while (text.size() < TEXT_DOC_CAPACITY - 2) text += 'q';
    text += "\r\n";
    return text;
}

void RunCommand(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "r");
        char answer[64] = {};
        if (pipe == nullptr || std::fgets(answer, sizeof answer, pipe) == nullptr) {
            state.SkipWithError("command failed");
            if (pipe != nullptr) pclose(pipe);
            return;
        }
        pclose(pipe);
        benchmark::DoNotOptimize(answer);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * TEXT_DOC_CAPACITY);
}

void BM_LoadTextDoc(benchmark::State& state) {
    for (auto _ : state) {
        TextDoc* doc = LoadTextDoc(TextPath().c_str());
        benchmark::DoNotOptimize(doc);
        FreeTextDoc(doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * TEXT_DOC_CAPACITY);
}

void BM_WcWords(benchmark::State& state) {
    RunCommand(state, "wc -w " + TextPath());
}
// The cost of starting a peer without its work, to tell the peers' work from their start-up.
void BM_PeerStartOnly(benchmark::State& state) {
    RunCommand(state, "/bin/echo 0");
}

void SearchOnce(benchmark::State& state, const char* word) {
    TextDoc* doc = LoadTextDoc(TextPath().c_str());
    for (auto _ : state) benchmark::DoNotOptimize(SearchWord(doc, word, uint32_t(strlen(word))));
    FreeTextDoc(doc);
    state.SetBytesProcessed(int64_t(state.iterations()) * TEXT_DOC_CAPACITY);
}

// Both words sit at the end or nowhere, so every search walks the whole index.
void BM_SearchWordLast(benchmark::State& state) {
    SearchOnce(state, "zebrafish");
}
void BM_SearchWordAbsent(benchmark::State& state) {
    SearchOnce(state, "velmora");
}
void BM_GrepCountWord(benchmark::State& state) {
    RunCommand(state, "grep -c -w -F ZEBRAFISH " + TextPath());
}

BENCHMARK(BM_LoadTextDoc)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WcWords)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerStartOnly)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWordLast)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWordAbsent)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepCountWord)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                seconds[run.run_name.function_name] =
                    run.real_accumulated_time / double(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

// ours / peer, and ours / (peer - the peer's start-up) where the start-up was measured.
void PrintRatio(const RatioReporter& reporter, const char* ours, const char* peer) {
    const auto& seconds = reporter.seconds;
    const auto a = seconds.find(ours), b = seconds.find(peer);
    if (a == seconds.end() || b == seconds.end()) return;
    std::printf("%-20s / %-17s = %.3f", ours, peer, a->second / b->second);
    const auto start = seconds.find("BM_PeerStartOnly");
    if (start != seconds.end() && b->second > start->second)
        std::printf("   (without its start-up: %.3f)", a->second / (b->second - start->second));
    std::printf("\n");
}

// Heap bytes in use (mallinfo2) and peak resident size (getrusage) around one load.
void PrintMemory() {
    const auto heapInUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return double(info.uordblks + info.hblkhd);
    };
    const auto peakResident = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return double(usage.ru_maxrss) * 1024.0;
    };
    const double heapBefore = heapInUse(), peakBefore = peakResident();
    TextDoc* doc = LoadTextDoc(TextPath().c_str());
    const double heapAfter = heapInUse(), peakAfter = peakResident();
    const double size = double(doc->textSize);
    std::printf("text %u bytes, %u lines\n", doc->textSize, doc->lineCount - 2);
    std::printf("heap held by the loaded document: %.0f bytes = %.2f x the text\n",
                heapAfter - heapBefore, (heapAfter - heapBefore) / size);
    std::printf("peak resident growth during the load: %.0f bytes = %.2f x the text\n",
                peakAfter - peakBefore, (peakAfter - peakBefore) / size);
    FreeTextDoc(doc);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string text = GenerateText();
    std::ofstream(TextPath(), std::ios::binary).write(text.data(), std::streamsize(text.size()));
    PrintMemory();  // first, so the peak resident size has not been raised by the runs yet

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatio(reporter, "BM_LoadTextDoc", "BM_WcWords");
    PrintRatio(reporter, "BM_SearchWordLast", "BM_GrepCountWord");
    PrintRatio(reporter, "BM_SearchWordAbsent", "BM_GrepCountWord");
    benchmark::Shutdown();
    std::remove(TextPath().c_str());
    return 0;
}
