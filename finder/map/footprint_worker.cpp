// The map's worker thread: one FootprintMaker (PROJ transformations are
// kept per system), the rings of the current rows for the coverage, and a
// generation number that tells the answers of dropped jobs.
#include "footprint_worker.h"

#include "saved_row_facts.h"

#include "finder/export/footprint_ring.h"

#include <QMetaObject>

namespace finder {

struct FootprintWorker::State {
    Answers answers;
    std::atomic<std::uint64_t> generation{0};
    // The worker thread's own; made and ended there (PROJ keeps a context
    // per thread).
    std::unique_ptr<FootprintMaker> maker;
    std::uint64_t ringsGeneration = 0;
    std::vector<strand32::LonLatRing> rings;

    bool current(std::uint64_t g) const { return generation.load() == g; }
    RowFootprint footprintOf(std::uint64_t id, const Facts& facts);
    // The footprints of `rows`, their rings kept for the coverage.
    std::vector<RowFootprint> placeAll(const std::vector<IdFacts>& rows);
};

RowFootprint FootprintWorker::State::footprintOf(std::uint64_t id, const Facts& facts) {
    RowFootprint footprint{id, {}, {0, 0, 0, 0}};
    if (!facts)
        return footprint;
    if (!maker)
        maker = std::make_unique<FootprintMaker>();
    if (const std::optional<FootprintRing> ring = maker->ring(*facts))
        if (strand32::LonLatRing continuous = strand32::continuousRing(lonLatRingOf(*ring));
            !continuous.empty()) {
            footprint.rings.push_back(std::move(continuous));
            footprint.bounds = strand32::ringBounds(footprint.rings.front());
        }
    return footprint;
}

FootprintWorker::FootprintWorker(QObject* receiver, Answers answers)
    : receiver_(receiver), state_(std::make_shared<State>()), context_(new QObject) {
    state_->answers = std::move(answers);
    thread_.setObjectName("FootprintWorker");
    context_->moveToThread(&thread_);
    QObject::connect(
        &thread_, &QThread::finished, context_, [state = state_] { state->maker.reset(); },
        Qt::DirectConnection);
    QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);
}

FootprintWorker::~FootprintWorker() {
    restart();
    thread_.quit();
    thread_.wait();
}

void FootprintWorker::restart() {
    ++state_->generation;
}

// Runs `job(state, generation)` on the worker thread unless dropped first.
template <class Job> void FootprintWorker::post(Job job) {
    const std::uint64_t generation = state_->generation.load();
    QMetaObject::invokeMethod(
        context_,
        [state = state_, generation, job = std::move(job)]() mutable {
            if (!state->current(generation))
                return;
            if (state->ringsGeneration != generation) {
                state->rings.clear();
                state->ringsGeneration = generation;
            }
            job(*state, generation);
        },
        Qt::QueuedConnection);
}

namespace {

// Hands `value` to `call` on the receiver's thread while its generation is
// still the current one.
template <class Value, class Call>
void deliver(QObject* receiver, std::shared_ptr<FootprintWorker::State> state,
             std::uint64_t generation, const Call& call, Value value) {
    QMetaObject::invokeMethod(
        receiver,
        [state = std::move(state), generation, call, value = std::move(value)]() mutable {
            if (state->current(generation) && call)
                call(std::move(value));
        },
        Qt::QueuedConnection);
}

constexpr std::size_t kReadBatch = 64; // saved rows read between two answers

} // namespace

std::vector<RowFootprint> FootprintWorker::State::placeAll(const std::vector<IdFacts>& rows) {
    std::vector<RowFootprint> placed;
    placed.reserve(rows.size());
    for (const IdFacts& row : rows) {
        placed.push_back(footprintOf(row.first, row.second));
        rings.insert(rings.end(), placed.back().rings.begin(), placed.back().rings.end());
    }
    return placed;
}

void FootprintWorker::place(std::vector<IdFacts> rows) {
    post([receiver = receiver_, shared = state_, rows = std::move(rows)](State& state,
                                                                         std::uint64_t g) {
        deliver(receiver, shared, g, state.answers.placed, state.placeAll(rows));
    });
}

void FootprintWorker::readAndPlace(std::vector<std::pair<std::uint64_t, std::string>> rows,
                                   bool useCache) {
    post([receiver = receiver_, shared = state_, rows = std::move(rows),
          useCache](State& state, std::uint64_t g) {
        SavedRowFacts reader(useCache);
        std::vector<IdFacts> read;
        const auto answer = [&] {
            deliver(receiver, shared, g, state.answers.factsRead, read);
            deliver(receiver, shared, g, state.answers.placed, state.placeAll(read));
            read.clear();
        };
        for (const auto& [id, path] : rows) {
            if (!state.current(g))
                return;
            if (Facts facts = reader.factsOf(path))
                read.emplace_back(id, std::move(facts));
            if (read.size() == kReadBatch)
                answer();
        }
        answer();
    });
}

void FootprintWorker::cover(MaporaExtent area) {
    post([receiver = receiver_, shared = state_, area](State& state, std::uint64_t g) {
        deliver(receiver, shared, g, state.answers.covered, areaCoverage(area, state.rings));
    });
}

} // namespace finder
