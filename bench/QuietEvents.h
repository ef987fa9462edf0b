#pragma once

#include "engine/AnalysisEvents.h"

#include <cstdint>

// Takes what the analysis tells, shows nothing, and keeps the count of files read.
class QuietEvents : public AnalysisEvents {
public:
    void OnFileBegin(const char*) override {}
    void OnReadFailure(const char*, const Failure&) override {}
    void OnLogFailure(const char*, const Failure&) override {}
    void OnEnd(const AnalysisSummary& summary) override { m_filesRead = summary.filesRead; }

    int64_t FilesRead() const { return m_filesRead; }

private:
    int64_t m_filesRead = 0;
};
