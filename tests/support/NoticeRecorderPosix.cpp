#include "tests/support/NoticeRecorder.h"

#include "job/JobMessages.h"

namespace {

class RecorderReceiver : public MessageReceiver {
public:
    explicit RecorderReceiver(NoticeRecorder& recorder) : m_recorder(recorder) {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_recorder.Record(message, wParam, lParam);
        if (message == WM_ANALYZE_END && m_recorder.EndCount() >= m_endsWanted) {
            PostQuitMessage(0);
        }
        return 0;
    }

    int m_endsWanted = 1;

private:
    NoticeRecorder& m_recorder;
};

}  // namespace

NoticeRecorder::NoticeRecorder()
{
    auto receiver = std::make_shared<RecorderReceiver>(*this);
    m_window = receiver.get();
    m_receiver = receiver;
}

NoticeRecorder::~NoticeRecorder() = default;

void NoticeRecorder::RunUntilEnd(int jobs)
{
    static_cast<RecorderReceiver*>(m_window)->m_endsWanted = jobs;
    if (EndCount() < jobs) {
        RunMessageLoop();
    }
}
