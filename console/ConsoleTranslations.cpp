#include "console/ConsoleTranslations.h"

#include "console/ConsoleEvents.h"
#include "console/ConsoleText.h"
#include "console/RecordPlaces.h"
#include "engine/CsvTranslations.h"
#include "engine/PoFile.h"
#include "engine/SourceEncoding.h"
#include "engine/TranslationApply.h"
#include "engine/UnitCollector.h"
#include "engine/XliffFile.h"
#include "job/AnalyzeJob.h"
#include "platform/FileReplace.h"
#include "platform/Path.h"
#include "settings/EnvData.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kGenerator[] = "tolvek " TOLVEK_VERSION;

// A file of records in the temporary folder, removed with the object.
class TemporaryRecords {
public:
    TemporaryRecords()
    {
        const char* folder = getenv("TMPDIR");
        m_path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                 "/tolvek-records-XXXXXX";
        int fd = mkstemp(&m_path[0]);
        if (fd < 0) {
            m_path.clear();
        } else {
            close(fd);
        }
    }
    ~TemporaryRecords()
    {
        if (!m_path.empty()) {
            unlink(m_path.c_str());
        }
    }
    TemporaryRecords(const TemporaryRecords&) = delete;
    TemporaryRecords& operator=(const TemporaryRecords&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// What the user sees of the analysis behind an export: everything but the path of the records,
// which are only a step on the way.
class ExportEvents : public AnalysisEvents {
public:
    explicit ExportEvents(ConsoleEvents& shown) : m_shown(shown) {}
    void OnFileBegin(const char* displayName) override { m_shown.OnFileBegin(displayName); }
    void OnReadFailure(const char* path, const Failure& failure) override
    {
        m_shown.OnReadFailure(path, failure);
    }
    void OnLogFailure(const char* path, const Failure& failure) override
    {
        m_shown.OnLogFailure(path, failure);
    }
    void OnProgress(int64_t filesRead, int64_t recordsFound) override
    {
        m_shown.OnProgress(filesRead, recordsFound);
    }
    void OnEnd(const AnalysisSummary& summary) override
    {
        AnalysisSummary withoutPath = summary;
        withoutPath.logPath = CString();
        m_shown.OnEnd(withoutPath);
    }

private:
    ConsoleEvents& m_shown;
};

// Where a file of the records stands: the records name it from the folder that was analysed, or
// by its bare name when one file was.
std::string SourcePath(const std::string& root, int32_t kind, const std::string& name)
{
    return kind == TARGET_FILE ? root : root + "/" + name;
}

// A name from a translation file that would lead out of the path: it names nothing of ours.
bool LeadsOutside(const std::string& name)
{
    if (name.empty() || name[0] == '/') {
        return true;
    }
    for (size_t at = 0; at <= name.size();) {
        size_t slash = name.find('/', at);
        slash = slash == std::string::npos ? name.size() : slash;
        if (name.compare(at, slash - at, "..") == 0 && slash - at == 2) {
            return true;
        }
        at = slash + 1;
    }
    return false;
}

std::string BareName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The units of the records, each token read from its file.
bool CollectUnits(const std::string& records, const std::string& root, int32_t kind,
                  UnitCollector& collector)
{
    std::string bytes;
    Failure failure;
    if (!ReadWholeFile(records.c_str(), bytes, failure)) {
        ReportFailure(records.c_str(), DescribeFailure(failure));
        return false;
    }
    bool complete = true;
    std::string sourceName;
    std::string source;
    bool sourceRead = false;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        end = end == std::string::npos ? bytes.size() : end;
        TranslationPlace place;
        bool read = ReadRecordPlace(bytes.substr(at, end - at), place);
        at = end + 1;
        if (!read) {
            ReportProblem("a record without its position: the texts cannot be exported");
            return false;
        }
        if (place.file != sourceName) {
            sourceName = place.file;
            std::string path = SourcePath(root, kind, sourceName);
            sourceRead = ReadWholeFile(path.c_str(), source, failure);
            if (!sourceRead) {
                ReportFailure(path.c_str(), DescribeFailure(failure));
                complete = false;
            }
        }
        if (sourceRead && place.offset >= 0 &&
            static_cast<uint64_t>(place.offset + place.length) <= source.size()) {
            collector.Add(place, source.substr(static_cast<size_t>(place.offset),
                                               static_cast<size_t>(place.length)));
        } else if (sourceRead) {
            ReportFailure(sourceName.c_str(), "changed while it was read");
            complete = false;
        }
    }
    if (collector.Unreadable() > 0) {
        ReportProblem(std::to_string(collector.Unreadable()) +
                      " records hold no literal at their position and were not exported");
        complete = false;
    }
    return complete;
}

bool WriteOutput(const std::string& output, const std::string& bytes)
{
    if (output == "-") {
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
        return std::fflush(stdout) == 0 && written;
    }
    Failure failure;
    if (!ReplaceFileContents(output.c_str(), bytes, failure)) {
        ReportFailure(output.c_str(), DescribeFailure(failure));
        return false;
    }
    return true;
}

// The units of a translation file, by its name or, failing that, its first bytes.
bool ReadTranslations(const std::string& path, std::vector<TranslationUnit>& units)
{
    std::string bytes;
    Failure failure;
    if (!ReadWholeFile(path.c_str(), bytes, failure)) {
        ReportFailure(path.c_str(), DescribeFailure(failure));
        return false;
    }
    std::string extension = path.substr(path.find_last_of('.') == std::string::npos
                                            ? path.size()
                                            : path.find_last_of('.'));
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string error;
    bool read = false;
    if (extension == ".xlf" || extension == ".xliff" ||
        (extension != ".po" && extension != ".csv" && bytes.compare(start, 1, "<") == 0)) {
        read = ReadXliffFile(bytes, units, error);
    } else if (extension == ".csv" ||
               (extension != ".po" && bytes.compare(start, 5, "file,") == 0)) {
        read = ReadCsvTranslations(bytes, units, error);
    } else {
        read = ReadPoFile(bytes, units, error);
    }
    if (!read) {
        ReportFailure(path.c_str(), error);
    }
    return read;
}

SourceEncoding CodePageSourceEncoding()
{
    switch (CodePageEncoding()) {
    case SourceEncoding::Cp932:
        return SourceEncoding::Cp932;
    case SourceEncoding::Utf8:
        return SourceEncoding::Utf8;
    default:
        return SourceEncoding::SingleByte;
    }
}

// Counts of an apply run.
struct ApplyCounts {
    int64_t changes = 0;       // tokens rewritten (or, dry, that would be)
    int64_t files = 0;         // files rewritten
    int64_t problems = 0;      // places refused or in conflict
    int64_t filesLeft = 0;     // files left untouched because of them, or that failed
};

// Plans and, unless dry, writes one file.
void ApplyToFile(const std::string& name, const std::string& path,
                 const std::vector<UnitPlace>& places, bool dryRun, ApplyCounts& counts)
{
    std::string bytes;
    Failure failure;
    if (!ReadWholeFile(path.c_str(), bytes, failure)) {
        ReportFailure(path.c_str(), DescribeFailure(failure));
        counts.problems += static_cast<int64_t>(places.size());
        ++counts.filesLeft;
        return;
    }
    FilePlan plan(name, bytes, CodePageSourceEncoding());
    for (const UnitPlace& place : places) {
        plan.Add(*place.first, *place.second);
    }
    for (const ApplyProblem& problem : plan.Problems()) {
        std::string where = path + ":" + std::to_string(problem.line);
        ReportFailure(where.c_str(), (problem.conflict ? "conflict: " : "refused: ") + problem.why);
    }
    if (!plan.Problems().empty()) {
        ReportFailure(path.c_str(), "left untouched");
        counts.problems += static_cast<int64_t>(plan.Problems().size());
        ++counts.filesLeft;
        return;
    }
    if (plan.Edits().empty()) {
        return;
    }
    if (dryRun) {
        std::string diff = UnifiedDiff(name, bytes, plan.Encoding(), plan.Edits());
        std::fwrite(diff.data(), 1, diff.size(), stdout);
    } else if (!ReplaceFileContents(path.c_str(), plan.NewBytes(), failure)) {
        ReportFailure(path.c_str(), DescribeFailure(failure) + ": left untouched");
        counts.problems += static_cast<int64_t>(plan.Edits().size());
        ++counts.filesLeft;
        return;
    }
    counts.changes += static_cast<int64_t>(plan.Edits().size());
    ++counts.files;
}

}  // namespace

int RunTranslationExport(const ConsoleOptions& options, const CEnvData& settings,
                         const std::atomic<bool>& stop)
{
    Failure why;
    int32_t kind = ClassifyPath(options.paths.front().c_str(), why);
    CString root;
    CString output;
    if (kind != TARGET_FILE && kind != TARGET_FOLDER) {
        ReportFailure(options.paths.front().c_str(), DescribeFailure(why));
        return 1;
    }
    // Named from here: the analysis of a folder makes that folder the current directory.
    if (!MakeAbsolutePath(options.paths.front().c_str(), root)) {
        ReportFailure(options.paths.front().c_str(), DescribeFailure(LastSystemFailure()));
        return 1;
    }
    if (options.output != "-" && !MakeAbsolutePath(options.output.c_str(), output)) {
        ReportFailure(options.output.c_str(), DescribeFailure(LastSystemFailure()));
        return 1;
    }
    TemporaryRecords records;
    if (records.Path().empty()) {
        ReportProblem("no temporary file for the records: " + DescribeFailure(LastSystemFailure()));
        return 1;
    }
    AnalysisOptions analysis = MakeAnalysisOptions(settings);
    ApplyConsoleOptions(options, analysis);
    analysis.format = RecordFormatKind::JsonLines;
    analysis.toStandardOutput = false;
    analysis.outputPath = records.Path().c_str();
    analysis.stop = &stop;
    ConsoleEvents shown(options.verbose ? ConsoleEvents::Show::EveryFile : ConsoleEvents::Show::Nothing,
                        false);
    shown.BeginJob(options.paths.front().c_str(), false);
    ExportEvents events(shown);
    RunAnalysis(kind, options.paths.front().c_str(), analysis, events);
    if (shown.Stopped()) {
        return 1;
    }
    UnitCollector collector;
    bool complete = CollectUnits(records.Path(), root.GetString(), kind, collector);
    std::string file = options.translationFormat == TranslationFormat::Po
                           ? WritePoFile(collector.Units(), kGenerator)
                           : WriteXliffFile(collector.Units(), BareName(root.GetString()), kGenerator);
    bool written = WriteOutput(options.output == "-" ? "-" : output.GetString(), file);
    return shown.ExitStatus() == 0 && complete && written ? 0 : 1;
}

int RunTranslationApply(const ConsoleOptions& options, const std::atomic<bool>& stop)
{
    std::vector<TranslationUnit> units;
    if (!ReadTranslations(options.apply, units)) {
        return 1;
    }
    Failure why;
    int32_t kind = ClassifyPath(options.paths.front().c_str(), why);
    if (kind != TARGET_FILE && kind != TARGET_FOLDER) {
        ReportFailure(options.paths.front().c_str(), DescribeFailure(why));
        return 1;
    }
    ApplyCounts counts;
    for (const auto& file : TranslatedPlacesByFile(units)) {
        if (stop.load()) {
            break;
        }
        bool named = kind == TARGET_FOLDER ? !LeadsOutside(file.first)
                                           : file.first == BareName(options.paths.front());
        if (!named) {
            ReportFailure(file.first.c_str(), "not a file of " + options.paths.front() + ": left alone");
            counts.problems += static_cast<int64_t>(file.second.size());
            ++counts.filesLeft;
            continue;
        }
        ApplyToFile(file.first, SourcePath(options.paths.front(), kind, file.first), file.second,
                    options.dryRun, counts);
    }
    std::string summary = std::to_string(counts.changes) + (options.dryRun ? " changes would be made in " : " changes made in ") +
                          std::to_string(counts.files) + " files";
    if (counts.problems > 0) {
        summary += "; " + std::to_string(counts.problems) + " refused or in conflict, " +
                   std::to_string(counts.filesLeft) + " files left untouched";
    }
    ReportProblem(summary);
    return counts.problems > 0 ? 1 : 0;
}
