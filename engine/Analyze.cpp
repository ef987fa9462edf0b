#include "engine/Analyze.h"

#include "engine/Analysis.h"
#include "engine/FolderWalk.h"
#include "engine/ParallelScan.h"
#include "engine/SortedWalk.h"
#include "engine/TargetList.h"
#include "platform/Path.h"

#include <memory>
#include <vector>

namespace {

void EndWithReadFailure(const char* path, const Failure& failure, AnalysisEvents& events)
{
    AnalysisSummary summary;
    summary.readFailures = 1;
    events.OnReadFailure(path, failure);
    events.OnEnd(summary);
}

bool EndWithoutTargetList(const AnalysisOptions& options, AnalysisEvents& events)
{
    if (TargetListHasExtension(options.targetList)) {
        return false;
    }
    AnalysisSummary summary;
    summary.noTargetList = true;
    events.OnEnd(summary);
    return true;
}

// The name of a file in its folder: the path's last part.
const char* NameInFolder(const CString& path) { return path.GetString() + FindLastSeparator(path) + 1; }

// The files of a list that the target list names, each opened by its path.
class ListedFiles : public WalkSource {
public:
    ListedFiles(const std::vector<CString>& paths, const CString& targetList)
        : m_paths(paths), m_targetList(targetList)
    {
    }

    bool Next(WalkItem& item) override
    {
        while (m_next < m_paths.size()) {
            const CString& path = m_paths[m_next++];
            if (IsTarget(m_targetList, path)) {
                item = WalkItem();
                item.path = path;
                item.displayName = NameInFolder(path);
                return true;
            }
        }
        return false;
    }

private:
    const std::vector<CString>& m_paths;
    const CString& m_targetList;
    size_t m_next = 0;
};

// The log of the folder that holds `file`.
CString LogPathBeside(const CString& file)
{
    PathParts parts;
    SplitPath(file, parts);
    CString logPath = parts.drive;
    logPath += JoinPath(parts.dir, kLogFileName);
    return logPath;
}

// The walk's items, one after another on this thread; a batch of them at a time where the
// system opens and reads ahead a batch of files at once.
void ScanInTurn(WalkSource& walk, Analysis& analysis)
{
    FilePrefetch prefetch;
    const size_t batchSize = prefetch.Works() ? FilePrefetch::kMostFiles : 1;
    std::vector<WalkItem> items(batchSize);
    PrefetchPlace places[FilePrefetch::kMostFiles];
    bool walkEnded = false;
    while (!walkEnded && analysis.CanGoOn()) {
        size_t count = 0;
        for (; count < batchSize && !walkEnded; ++count) {
            walkEnded = !walk.Next(items[count]);
            places[count] = items[count].PrefetchAt();
        }
        count -= walkEnded ? 1 : 0;
        prefetch.Fetch(places, count);
        for (size_t index = 0; index < count && analysis.CanGoOn(); ++index) {
            const WalkItem& item = items[index];
            if (item.failed) {
                analysis.ReadFailed(item.path, item.failure);
                continue;
            }
            SourcePlace place = item.Place();
            place.prefetched = &prefetch.File(index);
            analysis.ScanFile(item.path, item.displayName, place);
        }
    }
}

// A list of fewer files than two scanning threads hold in flight is scanned on the job's own
// thread: a job over a list runs once for each folder the list names, and starting and ending
// threads for a few files costs more than they save.
const size_t kFewestListedForThreads = 64;

// Scans the walk's items on `threads` threads (0: one per processor).
void ScanWalk(WalkSource& walk, Analysis& analysis, int requestedThreads)
{
    int threads = ScanThreads(requestedThreads);
    if (threads > 1) {
        ScanInParallel(walk, analysis, threads);
    } else {
        ScanInTurn(walk, analysis);
    }
}

}  // namespace

void AnalyzeFolder(const char* folderPath, const AnalysisOptions& options, AnalysisEvents& events)
{
    if (EndWithoutTargetList(options, events)) {
        return;
    }
    CString folder;
    if (!MakeAbsolutePath(folderPath, folder) || !SetCurrentDir(folder)) {
        EndWithReadFailure(folderPath, LastSystemFailure(), events);
        return;
    }
    Analysis analysis(JoinPath(folder, kLogFileName), options, events);
    FolderWalk folderWalk(folder, options);
    std::unique_ptr<SortedWalk> sortedWalk;
    if (options.sorted) {
        sortedWalk.reset(new SortedWalk(folderWalk));
    }
    WalkSource& walk = sortedWalk != nullptr ? static_cast<WalkSource&>(*sortedWalk) : folderWalk;
    ScanWalk(walk, analysis, options.threads);
    analysis.End();
}

void AnalyzeFile(const char* filePath, const AnalysisOptions& options, AnalysisEvents& events)
{
    if (EndWithoutTargetList(options, events)) {
        return;
    }
    CString file;
    if (!MakeAbsolutePath(filePath, file)) {
        EndWithReadFailure(filePath, LastSystemFailure(), events);
        return;
    }
    Analysis analysis(LogPathBeside(file), options, events);
    if (IsTarget(options.targetList, file)) {
        analysis.ScanFile(file, NameInFolder(file));
    } else {
        analysis.Summary().notTarget = true;
    }
    analysis.End();
}

void AnalyzeListedFiles(const std::vector<CString>& filePaths, const AnalysisOptions& options,
                        AnalysisEvents& events)
{
    if (filePaths.empty()) {
        events.OnEnd(AnalysisSummary());
        return;
    }
    if (EndWithoutTargetList(options, events)) {
        return;
    }
    Analysis analysis(LogPathBeside(filePaths.front()), options, events);
    ListedFiles listed(filePaths, options.targetList);
    ScanWalk(listed, analysis, filePaths.size() < kFewestListedForThreads ? 1 : options.threads);
    analysis.End();
}
