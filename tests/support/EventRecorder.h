#pragma once

#include "engine/AnalysisEvents.h"

#include <string>
#include <vector>

// Records what an analysis tells its front end, in order.
class EventRecorder : public AnalysisEvents {
public:
    void OnFileBegin(const char* displayName) override
    {
        m_events.push_back("begin " + std::string(displayName));
        m_files.push_back(displayName);
    }
    void OnReadFailure(const char* path, const Failure& failure) override
    {
        m_events.push_back("read-failure " + std::string(path));
        m_readFailures.push_back(failure);
    }
    void OnLogFailure(const char* path, const Failure& failure) override
    {
        m_events.push_back("log-failure " + std::string(path));
        m_logFailures.push_back(failure);
    }
    void OnEnd(const AnalysisSummary& summary) override
    {
        m_events.push_back("end");
        m_summary = summary;
        ++m_ends;
    }

    // "begin NAME", "read-failure PATH", "log-failure PATH" and "end", in order.
    const std::vector<std::string>& Events() const { return m_events; }
    // The names of the files begun, in order.
    const std::vector<std::string>& Files() const { return m_files; }
    const std::vector<Failure>& ReadFailures() const { return m_readFailures; }
    const std::vector<Failure>& LogFailures() const { return m_logFailures; }
    const AnalysisSummary& Summary() const { return m_summary; }
    int Ends() const { return m_ends; }

private:
    std::vector<std::string> m_events;
    std::vector<std::string> m_files;
    std::vector<Failure> m_readFailures;
    std::vector<Failure> m_logFailures;
    AnalysisSummary m_summary;
    int m_ends = 0;
};
