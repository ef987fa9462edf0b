#include "bench/ScanThroughput.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "bench/ProcessorTime.h"
#include "engine/Conditions.h"
#include "engine/CppLiteralScanner.h"
#include "engine/LiteralScanner.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <vector>

namespace {

const size_t kBlockBytes = 128 * 1024;  // as the analysis reads

class CountingSink : public LiteralSink {
public:
    bool OnDelimiterLine() override { return true; }
    void OnLiteral(const LiteralPlace&, const LiteralText&) override { ++m_texts; }
    int64_t Texts() const { return m_texts; }

private:
    int64_t m_texts = 0;
};

// The text of every file, one after another in one buffer; `ends` marks where each file ends.
struct LoadedFiles {
    std::vector<char> text;
    std::vector<size_t> ends;
};

LoadedFiles LoadFiles(const std::string& folder)
{
    LoadedFiles loaded;
    for (const std::string& path : ListTargetFiles(folder)) {
        TextReader source;
        if (!source.Open(path.c_str())) {
            continue;
        }
        // As text the file is never longer than on disk.
        size_t used = loaded.text.size();
        loaded.text.resize(used + static_cast<size_t>(FileSize(path)));
        size_t got = 0;
        while (used < loaded.text.size() &&
               (got = source.Read(loaded.text.data() + used, loaded.text.size() - used)) > 0) {
            used += got;
        }
        loaded.text.resize(used);
        loaded.ends.push_back(used);
    }
    return loaded;
}

// Scans every file once; returns the texts found.
int64_t ScanAll(const LoadedFiles& loaded, const ScanSettings& settings)
{
    CountingSink sink;
    const char* text = loaded.text.data();
    size_t begin = 0;
    for (size_t end : loaded.ends) {
        if (settings.syntax == SYNTAX_CPP) {
            CppLiteralScanner scanner(settings, SourceKind::Cpp, sink);
            for (size_t at = begin; at < end; at += kBlockBytes) {
                scanner.Feed(text + at, text + std::min(end, at + kBlockBytes));
            }
            scanner.Finish();
            begin = end;
            continue;
        }
        LiteralScanner scanner(settings, sink);
        for (size_t at = begin; at < end; at += kBlockBytes) {
            scanner.Feed(text + at, text + std::min(end, at + kBlockBytes));
        }
        scanner.Finish();
        begin = end;
    }
    return sink.Texts();
}

}  // namespace

namespace {

// The rounds of one syntax: their times on the clock and in processor time.
struct Rounds {
    ScanSettings settings;
    std::vector<double> seconds;
    std::vector<double> processor;
    int64_t texts = 0;

    void Time(const LoadedFiles& loaded)
    {
        double processorStart = ThreadProcessorSeconds();
        Stopwatch watch;
        texts = ScanAll(loaded, settings);
        seconds.push_back(watch.Seconds());
        processor.push_back(ThreadProcessorSeconds() - processorStart);
    }

    ScanThroughput Figures(double megabytes) const
    {
        ScanThroughput result;
        result.megabytes = megabytes;
        result.texts = texts;
        // No clock of a thread's processor time resolves a microsecond; what it tells below that
        // is rounding (a 32-bit build may subtract two readings kept at different precisions).
        auto rate = [megabytes](double taken) { return taken >= 1e-6 ? megabytes / taken : 0; };
        result.megabytesPerSecond = rate(Median(seconds));
        result.processorMedian = rate(Median(processor));
        result.processorBest = rate(*std::min_element(processor.begin(), processor.end()));
        return result;
    }
};

}  // namespace

ScanThroughputs MeasureScanThroughputs(const std::string& folder, int rounds)
{
    LoadedFiles loaded = LoadFiles(folder);
    Rounds pairs{MakeScanSettings("", STRFLG_ANY, SYNTAX_PAIRS), {}, {}, 0};
    Rounds cpp{MakeScanSettings("", STRFLG_ANY, SYNTAX_CPP), {}, {}, 0};
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        // Each syntax first in turn, the two one right after the other.
        Rounds& first = round % 2 == 0 ? pairs : cpp;
        Rounds& second = round % 2 == 0 ? cpp : pairs;
        first.Time(loaded);
        second.Time(loaded);
        if (pairs.processor.back() >= 1e-6 && cpp.processor.back() >= 1e-6) {
            ratios.push_back(cpp.processor.back() / pairs.processor.back());
        }
    }
    double megabytes = static_cast<double>(loaded.text.size()) / 1e6;
    ScanThroughputs result{pairs.Figures(megabytes), cpp.Figures(megabytes), 0};
    result.cppCost = ratios.empty() ? 0 : 100 * (Median(ratios) - 1);
    return result;
}
