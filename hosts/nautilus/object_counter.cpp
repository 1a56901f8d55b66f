// The counting worker: it touches no GLib object but the idle source that
// hands the finished job to the models' main context; everything else
// happens on the thread that owns the models.
#include "object_counter.h"

#include "page_models.h"
#include "page_texts.h"

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace nautilushost {

namespace {

std::atomic<int> g_pending{0};

// A weak reference to a store: it does not keep the store alive and reads
// as empty once the store is gone.
class WeakStore {
public:
    explicit WeakStore(GListStore* store) { g_weak_ref_init(&ref_, store); }
    ~WeakStore() { g_weak_ref_clear(&ref_); }
    WeakStore(const WeakStore&) = delete;
    WeakStore& operator=(const WeakStore&) = delete;
    GObjectPtr<GListStore> get() {
        return GObjectPtr<GListStore>::adopt(static_cast<GListStore*>(g_weak_ref_get(&ref_)));
    }

private:
    GWeakRef ref_;
};

struct Target {
    Target(std::size_t page, GListStore* items) : page(page), items(items) {}
    std::size_t page;
    WeakStore items;
};

// Made and destroyed on the models' thread; in between only the worker
// fills `pages`.
struct CountJob {
    CountJob(std::string serverPath, std::string file)
        : serverPath(std::move(serverPath)), file(std::move(file)) {
        ++g_pending;
    }
    ~CountJob() { --g_pending; }
    CountJob(const CountJob&) = delete;
    CountJob& operator=(const CountJob&) = delete;

    std::string serverPath, file;
    std::vector<std::unique_ptr<Target>> targets;
    std::optional<std::vector<velmorahost::PageTexts>> pages;
};

// On the models' thread: the counted rows into the stores still alive.
gboolean deliver(gpointer data) {
    try {
        auto* job = static_cast<CountJob*>(data);
        if (!job->pages)
            return G_SOURCE_REMOVE;
        for (const auto& target : job->targets) {
            const GObjectPtr<GListStore> items = target->items.get();
            if (items && target->page < job->pages->size())
                replaceItems(items.get(), (*job->pages)[target->page].rows);
        }
    } catch (...) {
        // The models keep their earlier rows.
    }
    return G_SOURCE_REMOVE;
}

void dropJob(gpointer data) {
    delete static_cast<CountJob*>(data);
}

// A reference to a main context, dropped by its holder.
struct ContextRef {
    explicit ContextRef(GMainContext* context) : context(context) {}
    ~ContextRef() { g_main_context_unref(context); }
    ContextRef(const ContextRef&) = delete;
    ContextRef& operator=(const ContextRef&) = delete;
    GMainContext* context;
};

void countOnWorker(std::unique_ptr<CountJob> job, std::unique_ptr<ContextRef> context) {
    try {
        std::string error;
        job->pages = velmorahost::readSheet(job->serverPath, {job->file}, true, error);
    } catch (...) {
        job->pages.reset();
    }
    // An idle source of the models' context takes the job: it runs there,
    // whichever thread this is (g_main_context_invoke would run it here when
    // nobody holds that context), and dropJob follows it. The worker's
    // reference to the context goes after the hand-over.
    GSource* idle = g_idle_source_new();
    g_source_set_priority(idle, G_PRIORITY_DEFAULT);
    g_source_set_callback(idle, deliver, job.release(), dropJob);
    g_source_attach(idle, context->context);
    g_source_unref(idle);
}

} // namespace

bool startCounting(const std::string& serverPath, const std::string& file,
                   const std::vector<CountTarget>& targets) {
    auto job = std::make_unique<CountJob>(serverPath, file);
    for (const CountTarget& target : targets)
        job->targets.push_back(std::make_unique<Target>(target.page, target.items));
    auto context = std::make_unique<ContextRef>(g_main_context_ref_thread_default());
    try {
        std::thread(countOnWorker, std::move(job), std::move(context)).detach();
        return true;
    } catch (...) {
        return false; // no thread: the job goes with the arguments, on this thread
    }
}

int countsPending() {
    return g_pending;
}

} // namespace nautilushost
