// The catalogue's answer to a search, its folders for the walk, and the
// files shown before the walk found them.
#include "catalogue_search.h"

#include "layer_reader.h"

#include "finder/folder_entries.h"
#include "finder/footprint_cache.h"
#include "finder/walk_result.h"

#include <platform/trace.h>
#include <strand32/layer.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace finder {
namespace {

// Files whose full path is longer are read below their folder's descriptor
// by the walk; an answer without a walk does not read them.
constexpr std::size_t kMaxReadPath = 1024;

} // namespace

bool CatalogueSearch::enabledByEnvironment() {
    const char* value = std::getenv("KAVREL_CATALOGUE");
    return value == nullptr || std::strcmp(value, "off") != 0;
}

CatalogueSearch::Opened CatalogueSearch::open() {
    Opened opened;
    const std::string file = FootprintCache::defaultFile();
    const std::int64_t today = FootprintCache::today();
    Catalogue::Opened catalogue = Catalogue::open(file, today);
    if (!catalogue.catalogue) {
        opened.problem = std::move(catalogue.problem);
        return opened;
    }
    CatalogueWriter::Opened writer = CatalogueWriter::open(file, today);
    if (!writer.writer) {
        opened.problem = std::move(writer.problem);
        return opened;
    }
    writer.writer->setLayerNames(
        [](std::string_view name) { return strand32::layerTypeOf(name) != LayerType::None; });
    opened.search.reset(
        new CatalogueSearch(std::move(catalogue.catalogue),
                            std::make_unique<CatalogueRecorder>(std::move(writer.writer))));
    return opened;
}

CatalogueSearch::CatalogueSearch(std::unique_ptr<Catalogue> catalogue,
                                 std::unique_ptr<CatalogueRecorder> recorder)
    : catalogue_(std::move(catalogue)), recorder_(std::move(recorder)) {}

CatalogueSearch::~CatalogueSearch() {
    // The folder source and the recorder use the catalogue: they go first.
    folders_.reset();
    recorder_.reset();
}

CatalogueSearch::Answer CatalogueSearch::answer(const SearchCriteria& criteria,
                                                DatabaseHandle database, FactsWanted facts,
                                                int depthLimit, bool alone, bool shown,
                                                SearchOutcome::CatalogueUse& use,
                                                const FirstRows& first) {
    const CandidateTest test(criteria, database);
    const std::int64_t session = catalogue_->liveWatchSession();
    const bool seen = alone || shown;
    RecallRequest request{criteria, test, facts, session, depthLimit, {}, kFirstFoldersRead, seen};
    // Without a running watcher nothing is vouched for: the answer is only
    // shown (and checked by the walk), or given alone as it is.
    if (first && seen && (alone || session == 0)) {
        request.firstRows = [&](std::vector<FoundFile>&& files) {
            if (!alone)
                noteShown(files);
            first(std::move(files));
        };
    }
    Recalled recalled = recallFromCatalogue(*catalogue_, request);
    use.covered = recalled.covered;
    if (const auto range = catalogue_->listedRange(recalled.folders, wallClockNs())) {
        use.newestNs = range->first;
        use.oldestNs = range->second;
    }
    Answer answer;
    if (alone) {
        answer.files = std::move(recalled.files);
        answer.final = true;
        return answer;
    }
    const bool readable =
        std::all_of(recalled.unknown.begin(), recalled.unknown.end(),
                    [](const FoundFile& file) { return file.path.size() <= kMaxReadPath; });
    if (recalled.exact && readable) {
        readUnknown(recalled, test, test.needsKeys() || facts == FactsWanted::WithKeys);
        answer.files = std::move(recalled.files);
        answer.final = true;
        use.alone = true;
        platform::debugTrace("catalogue: the search was answered from the catalogue alone");
        return answer;
    }
    folders_ = std::make_unique<CatalogueFolders>(*catalogue_, *recorder_, recalled.folders,
                                                  session, criteria.namePattern, criteria.flags,
                                                  FootprintCache::today());
    noteShown(recalled.files);
    use.recalled = !shown_.empty();
    answer.files = std::move(recalled.files);
    return answer;
}

void CatalogueSearch::noteShown(const std::vector<FoundFile>& files) {
    shown_.reserve(shown_.size() + files.size());
    for (const FoundFile& file : files) {
        shown_.push_back(file.path);
        confirmed_.emplace(file.path, false);
    }
}

void CatalogueSearch::readUnknown(Recalled& recalled, const CandidateTest& test, bool keys) {
    // The files read take their places among the known ones: the walk's order.
    std::vector<FoundFile> files;
    files.reserve(recalled.files.size() + recalled.unknown.size());
    std::size_t known = 0;
    for (std::size_t i = 0; i < recalled.unknown.size(); ++i) {
        for (; known < recalled.unknownAt[i]; ++known)
            files.push_back(std::move(recalled.files[known]));
        FoundFile& file = recalled.unknown[i];
        FactsReading reading = readFactsThroughModule(file.path, {.keys = keys});
        if (!reading.read)
            throw SearchFailure(reading.error);
        if (test.needsLayer() && !test.layerPasses(reading.facts))
            continue;
        file.facts = std::make_shared<const strand32::FileFacts>(std::move(reading.facts));
        files.push_back(std::move(file));
    }
    for (; known < recalled.files.size(); ++known)
        files.push_back(std::move(recalled.files[known]));
    recalled.files = std::move(files);
}

bool CatalogueSearch::confirm(const std::string& path) {
    const auto it = confirmed_.find(path);
    if (it == confirmed_.end())
        return false;
    it->second = true;
    return true;
}

std::vector<std::string> CatalogueSearch::unconfirmed() const {
    std::vector<std::string> paths;
    for (const std::string& path : shown_) {
        if (!confirmed_.at(path))
            paths.push_back(path);
    }
    return paths;
}

void CatalogueSearch::holdForTests(const std::atomic<bool>& stop) {
    const char* hold = std::getenv("KAVREL_CATALOGUE_TEST_HOLD");
    while (hold != nullptr && *hold != '\0' && ::access(hold, F_OK) == 0 && !stop.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::string CatalogueSearch::finish() {
    catalogue_->endRead(); // the walk's, if one is open
    std::string failure = recorder_->finish();
    return failure.empty() ? catalogue_->failure() : failure;
}

} // namespace finder
