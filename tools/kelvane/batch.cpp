// Worker threads for the scripts of one run, and the in-order replay of their output.
#include "batch.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <streambuf>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace kelvane::script {
namespace {

// What a task wrote, as runs of text per stream in the order written.
struct Chunk {
    bool toErr = false;
    std::string text;
};
using Record = std::vector<Chunk>;

// An unbuffered stream buffer that appends to a record shared by a task's two streams.
class Recorder : public std::streambuf {
public:
    Recorder(Record& record, bool toErr) : m_record(record), m_toErr(toErr) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (m_record.empty() || m_record.back().toErr != m_toErr) m_record.push_back({m_toErr, {}});
        m_record.back().text.append(s, size_t(n));
        return n;
    }

private:
    Record& m_record;
    bool m_toErr;
};

struct Slot {
    bool done = false;
    int status = 0;
    Record record;
};

class Batch {
public:
    Batch(size_t count, unsigned jobs, const BatchTask& task)
        : m_slots(count), m_task(task), m_window(size_t(jobs) * 4) {}

    void Work() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_next >= m_slots.size() || m_next < m_shown + m_window; });
            if (m_next >= m_slots.size()) return;
            const size_t index = m_next++;
            lock.unlock();
            Record record;
            int status = Run(index, record);
            lock.lock();
            m_slots[index].record = std::move(record);
            m_slots[index].status = status;
            m_slots[index].done = true;
            m_changed.notify_all();
        }
    }

    // Shows the tasks' output in order as they finish; returns the largest status.
    int Show(const BatchAnnounce& announce, std::ostream& out, std::ostream& err) {
        int worst = 0;
        for (size_t index = 0; index < m_slots.size(); ++index) {
            Record record;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_slots[index].done; });
                record = std::move(m_slots[index].record);
                worst = std::max(worst, m_slots[index].status);
            }
            announce(index, out, err);
            for (const Chunk& chunk : record) {
                if (chunk.toErr) {
                    out.flush();
                    err << chunk.text;
                } else {
                    out << chunk.text;
                }
            }
            std::lock_guard lock(m_mutex);
            m_shown = index + 1;
            m_changed.notify_all();
        }
        return worst;
    }

private:
    int Run(size_t index, Record& record) {
        Recorder outBuffer(record, false), errBuffer(record, true);
        std::ostream out(&outBuffer), err(&errBuffer);
        try {
            return m_task(index, out, err);
        } catch (...) {
            // Tasks report their own failures; this only keeps a worker alive.
            err << "internal error\n";
            return 1;
        }
    }

    std::vector<Slot> m_slots;
    const BatchTask& m_task;
    const size_t m_window;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_next = 0;
    size_t m_shown = 0;
};

}  // namespace

int RunBatch(size_t count, unsigned jobs, const BatchTask& task, const BatchAnnounce& announce,
             std::ostream& out, std::ostream& err) {
    if (count == 0) return 0;
    jobs = unsigned(std::clamp<size_t>(jobs, 1, count));
    Batch batch(count, jobs, task);
    std::vector<std::jthread> workers;
    workers.reserve(jobs);
    // Fewer threads than asked for when the system allows no more; none at all is an error.
    for (unsigned i = 0; i < jobs; ++i) {
        try {
            workers.emplace_back([&batch] { batch.Work(); });
        } catch (const std::system_error&) {
            if (workers.empty()) throw;
            break;
        }
    }
    return batch.Show(announce, out, err);
}

}  // namespace kelvane::script
