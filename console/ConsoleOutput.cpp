#include "console/ConsoleOutput.h"

#include "console/ConsoleEvents.h"
#include "console/ConsoleOptions.h"
#include "console/ConsoleText.h"
#include "engine/FormatOfRecords.h"
#include "platform/Path.h"

bool ConsoleOutput::Prepare(const ConsoleOptions& options, AnalysisOptions& analysis,
                            ConsoleEvents& events)
{
    if (options.output.empty() || options.output == "-") {
        return true;
    }
    m_name = options.output;
    // Named from here: the analysis of a folder makes that folder the current directory.
    CString absolute;
    if (!MakeAbsolutePath(m_name.c_str(), absolute)) {
        events.Failed(m_name.c_str(), DescribeFailure(LastSystemFailure()));
        return false;
    }
    m_absolute = absolute.GetString();
    m_stream = IsStreamPath(absolute);
    if (options.append || m_stream) {
        analysis.outputPath = absolute;
        return !options.append || CheckAppendFormat(options, events);
    }
    if (!m_replaced.Begin(absolute)) {
        events.Failed(m_name.c_str(), "cannot write the log: " + DescribeFailure(m_replaced.GetFailure()));
        return false;
    }
    m_replacing = true;
    analysis.outputPath = m_replaced.NewPath();
    return true;
}

bool ConsoleOutput::CheckAppendFormat(const ConsoleOptions& options, ConsoleEvents& events)
{
    std::string firstLine;
    if (!ReadFirstLine(m_name.c_str(), 4096, firstLine) || firstLine.empty()) {
        return true;  // new or empty: any format begins it
    }
    RecordFormatKind held = FormatOfFirstLine(firstLine);
    if (held == options.format) {
        return true;
    }
    events.Failed(m_name.c_str(), std::string("holds records in the ") + FormatName(held) +
                                      " format, not " + FormatName(options.format) +
                                      "; nothing was appended");
    return false;
}

bool ConsoleOutput::Finish(bool keepOld, ConsoleEvents& events)
{
    if (!m_replacing || keepOld) {
        return true;
    }
    if (!m_replaced.Commit()) {
        events.Failed(m_name.c_str(), "cannot write the log: " + DescribeFailure(m_replaced.GetFailure()));
        return false;
    }
    return true;
}
