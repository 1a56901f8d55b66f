#pragma once
// The work behind the results on the map, done on a thread of its own so
// that the window stays responsive: footprint rings made with PROJ from the
// facts rows carry, the facts of a saved search's rows read (once), and the
// coverage of the search area by every ring made. Jobs run in the order
// given; their answers come back on the window's thread, to `receiver`,
// unless restart() has dropped them meanwhile.
#include "finder/export/coverage.h"

#include <strand32/file_facts.h>
#include <strand32/map_footprint.h>

#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace finder {

// A row's footprint: its rings in longitude/latitude (made continuous
// across the antimeridian), none when its place is not known.
struct RowFootprint {
    std::uint64_t id = 0;
    std::vector<strand32::LonLatRing> rings;
    MaporaExtent bounds{0, 0, 0, 0}; // of the rings
};

class FootprintWorker {
public:
    using Facts = std::shared_ptr<const strand32::FileFacts>;
    using IdFacts = std::pair<std::uint64_t, Facts>;
    struct Answers {
        std::function<void(std::vector<RowFootprint>)> placed; // rows with and without a place
        std::function<void(std::vector<IdFacts>)> factsRead;
        std::function<void(std::optional<Coverage>)> covered;
    };

    // `receiver` lives on the window's thread and outlives the worker.
    FootprintWorker(QObject* receiver, Answers answers);
    // Drops the jobs not yet done and waits for the one running.
    ~FootprintWorker();
    FootprintWorker(const FootprintWorker&) = delete;
    FootprintWorker& operator=(const FootprintWorker&) = delete;

    // A new set of rows: no answer of a job given before arrives, and the
    // rings made so far are forgotten.
    void restart();
    // Makes the rings of rows whose facts are known (null: not read).
    void place(std::vector<IdFacts> rows);
    // Reads the facts of rows kept as texts (full paths), then places them.
    void readAndPlace(std::vector<std::pair<std::uint64_t, std::string>> rows, bool useCache);
    // The coverage of `area` by every ring made since the last restart.
    void cover(MaporaExtent area);

    struct State; // shared with the jobs and their answers

private:
    template <class Job> void post(Job job);

    QObject* receiver_;
    std::shared_ptr<State> state_;
    QThread thread_;
    QObject* context_; // lives on thread_
};

} // namespace finder
