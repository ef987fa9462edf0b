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

// Scans every file once; returns the texts found. `places`: whether each text's column, offset
// and length are worked out, as for records that tell them (the log's do not).
int64_t ScanAll(const LoadedFiles& loaded, const ScanSettings& settings, bool places)
{
    static const SameOffsets sameOffsets;
    CountingSink sink;
    const char* text = loaded.text.data();
    size_t begin = 0;
    for (size_t end : loaded.ends) {
        if (settings.syntax == SYNTAX_CPP) {
            CppLiteralScanner scanner(settings, SourceKind::Cpp, sink);
            scanner.SetStoredOffsets(sameOffsets, places);
            for (size_t at = begin; at < end; at += kBlockBytes) {
                scanner.Feed(text + at, text + std::min(end, at + kBlockBytes));
            }
            scanner.Finish();
            begin = end;
            continue;
        }
        LiteralScanner scanner(settings, sink);
        scanner.SetStoredOffsets(sameOffsets, places);
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
    bool places;
    std::vector<double> seconds;
    std::vector<double> processor;
    int64_t texts = 0;

    void Time(const LoadedFiles& loaded)
    {
        double processorStart = ThreadProcessorSeconds();
        Stopwatch watch;
        texts = ScanAll(loaded, settings, places);
        seconds.push_back(watch.Seconds());
        processor.push_back(ThreadProcessorSeconds() - processorStart);
    }

    // `shortest`: the shortest processor time that tells a rate.
    ScanThroughput Figures(double megabytes, double shortest) const
    {
        ScanThroughput result;
        result.megabytes = megabytes;
        result.texts = texts;
        auto rate = [megabytes](double taken, double least) { return taken >= least ? megabytes / taken : 0; };
        result.megabytesPerSecond = rate(Median(seconds), 1e-6);
        result.processorMedian = rate(Median(processor), shortest);
        result.processorBest = rate(*std::min_element(processor.begin(), processor.end()), shortest);
        return result;
    }
};

}  // namespace

ScanThroughputs MeasureScanThroughputs(const std::string& folder, int rounds)
{
    LoadedFiles loaded = LoadFiles(folder);
    // As the log scans: it tells no place beyond a text's line. Records that do (jsonl, csv) are
    // timed apart.
    Rounds pairs{MakeScanSettings("", STRFLG_ANY, SYNTAX_PAIRS), false, {}, {}, 0};
    Rounds cpp{MakeScanSettings("", STRFLG_ANY, SYNTAX_CPP), false, {}, {}, 0};
    Rounds pairsPlaces{pairs.settings, true, {}, {}, 0};
    Rounds cppPlaces{cpp.settings, true, {}, {}, 0};
    // A round's processor time tells a rate only when it spans a hundred steps of the clock, which
    // some systems advance by whole scheduler ticks; below a microsecond it is rounding anyway.
    const double shortest = std::max(1e-6, 100 * ProcessorClockStep());
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        // Each syntax first in turn, the two one right after the other.
        Rounds& first = round % 2 == 0 ? pairs : cpp;
        Rounds& second = round % 2 == 0 ? cpp : pairs;
        first.Time(loaded);
        second.Time(loaded);
        if (pairs.processor.back() >= shortest && cpp.processor.back() >= shortest) {
            ratios.push_back(cpp.processor.back() / pairs.processor.back());
        }
        pairsPlaces.Time(loaded);
        cppPlaces.Time(loaded);
    }
    double megabytes = static_cast<double>(loaded.text.size()) / 1e6;
    ScanThroughputs result{pairs.Figures(megabytes, shortest), cpp.Figures(megabytes, shortest),
                           pairsPlaces.Figures(megabytes, shortest),
                           cppPlaces.Figures(megabytes, shortest), 0};
    result.cppCost = ratios.empty() ? 0 : 100 * (Median(ratios) - 1);
    return result;
}
