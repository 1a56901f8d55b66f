// The reader job: a subprocess whose standard output is read line by line
// on the main context, a time limit, and weak references to the models'
// stores. It ends when both the output is read to its end and the process
// has been waited for; what is still unfilled then gets its text.
#include "reader_job.h"

#include "gobject_ptr.h"
#include "page_models.h"
#include "process_tree.h"
#include "reader_protocol.h"
#include "reader_texts.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace nautilushost {
namespace {

int g_running = 0;

struct Target {
    GListStore* items; // null once the store is gone
    std::string title;
    bool opened;
    bool counted;
    std::string absent;
    bool filled = false;
};

class ReaderJob {
public:
    ReaderJob(const std::vector<ReaderTarget>& targets, unsigned limitMs) : limitMs_(limitMs) {
        for (const ReaderTarget& t : targets) {
            targets_.push_back({t.items, t.title, t.opened, t.counted, t.absent});
            g_object_weak_ref(G_OBJECT(t.items), storeGone, this);
        }
    }
    ~ReaderJob() {
        if (timer_ != 0)
            g_source_remove(timer_);
        for (const Target& t : targets_) {
            if (t.items != nullptr)
                g_object_weak_unref(G_OBJECT(t.items), storeGone, this);
        }
        if (process_)
            --g_running;
    }
    ReaderJob(const ReaderJob&) = delete;
    ReaderJob& operator=(const ReaderJob&) = delete;

    bool start(const std::vector<std::string>& argv) {
        std::vector<const char*> args;
        for (const std::string& arg : argv)
            args.push_back(arg.c_str());
        args.push_back(nullptr);
        GError* error = nullptr;
        process_ = GObjectPtr<GSubprocess>::adopt(g_subprocess_newv(
            args.data(),
            GSubprocessFlags(G_SUBPROCESS_FLAGS_STDOUT_PIPE | G_SUBPROCESS_FLAGS_STDERR_SILENCE),
            &error));
        if (!process_) {
            g_debug("velmora: no reader: %s", error ? error->message : "?");
            g_clear_error(&error);
            return false;
        }
        ++g_running;
        cancel_ = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
        lines_ = GObjectPtr<GDataInputStream>::adopt(
            g_data_input_stream_new(g_subprocess_get_stdout_pipe(process_.get())));
        pending_ = 2;
        readNext();
        g_subprocess_wait_async(process_.get(), nullptr, exited, this);
        restartTimer();
        return true;
    }

    // Fills what is still unfilled, for a job that ends.
    void finish() {
        const char* text = timedOut_                   ? kTimedOutText
                           : !decoder_.error().empty() ? kNotReadText
                                                       : kReaderStoppedText;
        for (Target& t : targets_) {
            if (t.items != nullptr && !t.filled)
                setAllValues(t.items, text);
        }
    }

private:
    static void storeGone(gpointer data, GObject* gone) {
        auto* job = static_cast<ReaderJob*>(data);
        bool any = false;
        for (Target& t : job->targets_) {
            if (G_OBJECT(t.items) == gone)
                t.items = nullptr;
            any = any || t.items != nullptr;
        }
        if (!any)
            job->stop();
    }

    static gboolean overrun(gpointer data) {
        auto* job = static_cast<ReaderJob*>(data);
        job->timer_ = 0;
        job->timedOut_ = true;
        job->stop();
        return G_SOURCE_REMOVE;
    }

    static void lineRead(GObject* source, GAsyncResult* result, gpointer data) {
        auto* job = static_cast<ReaderJob*>(data);
        gsize length = 0;
        GError* error = nullptr;
        char* line = g_data_input_stream_read_line_finish(G_DATA_INPUT_STREAM(source), result,
                                                          &length, &error);
        g_clear_error(&error);
        if (line == nullptr) {
            release(job);
            return;
        }
        try {
            job->take(std::string_view(line, length));
        } catch (...) {
            // The values keep what they had.
        }
        g_free(line);
        job->readNext();
    }

    static void exited(GObject* source, GAsyncResult* result, gpointer data) {
        g_subprocess_wait_finish(G_SUBPROCESS(source), result, nullptr);
        release(static_cast<ReaderJob*>(data));
    }

    static void release(ReaderJob* job) {
        if (--job->pending_ > 0)
            return;
        job->finish();
        delete job;
    }

    void readNext() {
        g_data_input_stream_read_line_async(lines_.get(), G_PRIORITY_DEFAULT, cancel_.get(),
                                            lineRead, this);
    }

    void take(std::string_view line) {
        const auto sheet = decoder_.feed(line);
        if (!sheet || answers_ >= 2)
            return;
        const bool counted = answers_++ == 1;
        for (Target& t : targets_) {
            if ((counted ? !t.counted : !t.opened) || t.items == nullptr)
                continue;
            const auto page = std::find_if(sheet->begin(), sheet->end(),
                                           [&t](const auto& p) { return p.title == t.title; });
            if (page != sheet->end())
                replaceItems(t.items, page->rows);
            else if (!t.absent.empty())
                setAllValues(t.items, t.absent);
            else
                continue;
            t.filled = true;
        }
        if (answers_ == 1)
            restartTimer();
        else
            stopTimer();
    }

    void restartTimer() {
        stopTimer();
        timer_ = g_timeout_add(limitMs_, overrun, this);
    }
    void stopTimer() {
        if (timer_ != 0)
            g_source_remove(std::exchange(timer_, 0));
    }

    void stop() {
        stopTimer();
        // Its identifier is gone once it has ended and been waited for.
        if (const char* pid = g_subprocess_get_identifier(process_.get()))
            killTree(static_cast<pid_t>(std::atol(pid)));
        g_subprocess_force_exit(process_.get());
        g_cancellable_cancel(cancel_.get());
    }

    std::vector<Target> targets_;
    unsigned limitMs_;
    GObjectPtr<GSubprocess> process_;
    GObjectPtr<GCancellable> cancel_;
    GObjectPtr<GDataInputStream> lines_;
    velmorahost::SheetDecoder decoder_;
    int answers_ = 0;
    int pending_ = 0; // the output and the process, until both have ended
    guint timer_ = 0;
    bool timedOut_ = false;
};

} // namespace

bool startReader(const std::vector<std::string>& argv, const std::vector<ReaderTarget>& targets,
                 unsigned limitMs) {
    auto job = std::make_unique<ReaderJob>(targets, limitMs);
    if (!job->start(argv)) {
        job->finish();
        return false;
    }
    job.release(); // it deletes itself once the process and its output have ended
    return true;
}

int readersRunning() {
    return g_running;
}

} // namespace nautilushost
