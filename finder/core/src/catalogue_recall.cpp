// The catalogue's answer: candidates from the index of footprints in
// degrees (an area search inside or across a box), from the index of names,
// or folder by folder; each tested as the walk tests it.
#include "catalogue_recall.h"

#include "folder_listing.h"

#include "finder/walk_result.h"

#include <platform/wildcard.h>
#include <strand32/layer.h>

#include <algorithm>
#include <set>
#include <unordered_map>

namespace finder {
namespace {

struct Candidate {
    std::size_t folder; // index in Recalled::folders
    CatalogueEntry entry;
};

// Levels of a folder below the start folder.
int depthBelow(const std::string& path, const std::string& start) {
    const std::string_view rest = std::string_view(path).substr(start.size());
    return static_cast<int>(std::count(rest.begin(), rest.end(), '/'));
}

class Recall {
public:
    Recall(Catalogue& catalogue, const RecallRequest& request, Recalled& out)
        : catalogue_(catalogue), request_(request), out_(out) {}

    void run() {
        const SearchCriteria& criteria = request_.criteria;
        const std::string start = absoluteFolderPath(criteria.startFolder);
        // One state of the catalogue for the whole answer.
        struct ReadScope {
            Catalogue& catalogue;
            explicit ReadScope(Catalogue& c) : catalogue(c) { catalogue.beginRead(); }
            ~ReadScope() { catalogue.endRead(); }
        } scope(catalogue_);
        out_.folders = catalogue_.folders(start, criteria.includeSubfolders);
        check();
        out_.covered = !out_.folders.empty();
        if (!out_.covered)
            return;
        if (criteria.includeSubfolders)
            orderAsWalked(start);
        for (std::size_t i = 0; i < out_.folders.size(); ++i)
            indexOf_.emplace(out_.folders[i].id, i);
        decideExact(start);
        std::vector<Candidate> candidates = gather(start);
        check();
        // Folder by folder, candidates come in order and are tested at once.
        std::stable_sort(
            candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
                return a.folder != b.folder ? a.folder < b.folder : a.entry.seq < b.entry.seq;
            });
        for (Candidate& c : candidates)
            test(c);
        check();
    }

private:
    void check() const {
        if (!catalogue_.failure().empty())
            throw SearchFailure(catalogue_.failure());
    }

    // The folders in the order a walk enters them (each before its
    // subfolders, these in their listing order), so that rows come in the
    // walk's order. The tree is whole when every subfolder its folders list
    // is a known folder and every known folder is listed by its parent.
    void orderAsWalked(const std::string& start) {
        std::vector<CatalogueFolder>& folders = out_.folders;
        std::unordered_map<std::string_view, std::size_t> byPath;
        std::unordered_map<std::int64_t, std::size_t> byId;
        for (std::size_t i = 0; i < folders.size(); ++i) {
            byPath.emplace(folders[i].path, i);
            byId.emplace(folders[i].id, i);
        }
        std::vector<std::vector<std::pair<std::int64_t, std::size_t>>> children(folders.size());
        bool whole = true;
        std::string child;
        catalogue_.subfolderEntries(
            start, [&](std::int64_t folder, std::string_view name, std::int64_t seq) {
                const auto parent = byId.find(folder);
                if (parent == byId.end())
                    return; // a folder beside the tree whose path sorts among its own
                child = folders[parent->second].path;
                if (child.back() != '/')
                    child += '/';
                child += name;
                if (const auto it = byPath.find(child); it != byPath.end())
                    children[parent->second].emplace_back(seq, it->second);
                else
                    whole = false;
            });
        check();
        std::vector<std::size_t> order;
        order.reserve(folders.size());
        std::vector<bool> placed(folders.size(), false);
        std::vector<std::size_t> waiting{0}; // the start folder comes first
        while (!waiting.empty()) {
            const std::size_t at = waiting.back();
            waiting.pop_back();
            if (placed[at])
                continue;
            placed[at] = true;
            order.push_back(at);
            std::sort(children[at].begin(), children[at].end());
            for (auto it = children[at].rbegin(); it != children[at].rend(); ++it)
                waiting.push_back(it->second);
        }
        treeWhole_ = whole && order.size() == folders.size();
        for (std::size_t i = 0; i < folders.size(); ++i) {
            if (!placed[i])
                order.push_back(i); // known, though its parent does not list it
        }
        std::vector<CatalogueFolder> walked;
        walked.reserve(folders.size());
        for (const std::size_t i : order)
            walked.push_back(std::move(folders[i]));
        folders = std::move(walked);
    }

    void decideExact(const std::string& start) {
        const bool vouched =
            std::all_of(out_.folders.begin(), out_.folders.end(),
                        [this](const auto& f) { return f.vouchedBy(request_.watchSession); });
        if (!vouched)
            return;
        if (!request_.criteria.includeSubfolders) {
            out_.exact = true;
            return;
        }
        // Every subfolder known, and none deeper than a walk would go.
        const bool shallow =
            std::all_of(out_.folders.begin(), out_.folders.end(), [&](const auto& f) {
                return depthBelow(f.path, start) <= request_.depthLimit;
            });
        out_.exact = shallow && treeWhole_;
    }

    std::vector<Candidate> gather(const std::string& start) {
        std::vector<Candidate> found;
        const auto keep = [&](std::int64_t folderId, CatalogueEntry&& entry) {
            const auto it = indexOf_.find(folderId);
            if (it != indexOf_.end())
                found.push_back({it->second, std::move(entry)});
        };
        const SearchCriteria& c = request_.criteria;
        if (c.has(CriteriaFlags::Area) && c.areaInDegrees && c.areaMode != AreaMode::Exclusive) {
            // Files inside the area or across it meet its box.
            const strand32::Extent box{
                std::min(c.area.x1, c.area.x2), std::max(c.area.y1, c.area.y2),
                std::max(c.area.x1, c.area.x2), std::min(c.area.y1, c.area.y2)};
            std::vector<std::string> paths;
            catalogue_.pathsInArea(start, box, [&](std::string&& path) { paths.push_back(path); });
            std::unordered_map<std::string_view, std::size_t> byPath;
            for (std::size_t i = 0; i < out_.folders.size(); ++i)
                byPath.emplace(out_.folders[i].path, i);
            for (const std::string& path : paths) {
                const std::size_t slash = path.rfind('/');
                const auto it = byPath.find(slash == 0 ? std::string_view("/")
                                                       : std::string_view(path).substr(0, slash));
                if (it == byPath.end())
                    continue;
                const CatalogueFolder& folder = out_.folders[it->second];
                if (auto entry =
                        catalogue_.entry(folder.id, std::string_view(path).substr(slash + 1)))
                    found.push_back({it->second, std::move(*entry)});
            }
            // An exact answer also reads the files whose footprints are not
            // known (new or changed since they were read).
            if (out_.exact) {
                std::set<std::pair<std::size_t, std::string>> seen;
                for (const Candidate& c : found)
                    seen.emplace(c.folder, c.entry.name);
                catalogue_.unreadEntries([&](std::int64_t folderId, CatalogueEntry&& entry) {
                    const auto it = indexOf_.find(folderId);
                    if (it != indexOf_.end() && !seen.count({it->second, entry.name}))
                        found.push_back({it->second, std::move(entry)});
                });
            }
            return found;
        }
        const NamePatternPlan plan = planOfPattern(c.namePattern);
        if (plan.use != NamePatternPlan::Use::Everything) {
            catalogue_.entriesInPlan(plan, keep);
            return found;
        }
        for (std::size_t i = 0; i < out_.folders.size(); ++i) {
            for (CatalogueEntry& entry : catalogue_.entries(out_.folders[i].id)) {
                Candidate candidate{i, std::move(entry)};
                test(candidate);
            }
            check();
        }
        return found;
    }

    void test(Candidate& c) {
        if (c.entry.kind != EntryKind::File ||
            !platform::wildcardMatch(request_.criteria.namePattern, c.entry.name))
            return;
        const CandidateTest& test = request_.test;
        if (test.nameFails(c.entry.name))
            return;
        const CatalogueFolder& folder = out_.folders[c.folder];
        FoundFile file;
        file.place(folder.path, c.entry.name);
        file.size = c.entry.size;
        file.modified =
            timePointOf(c.entry.modifiedNs / 1'000'000'000, c.entry.modifiedNs % 1'000'000'000);
        if (!test.entryPasses(file))
            return;
        const bool needsFacts = test.needsLayer() || request_.facts != FactsWanted::None;
        if (!needsFacts || strand32::layerTypeOf(file.name()) == LayerType::None) {
            if (!test.needsLayer())
                out_.files.push_back(std::move(file));
            return;
        }
        const bool keys = test.needsKeys() || request_.facts == FactsWanted::WithKeys;
        auto facts = catalogue_.factsOf(
            file.path,
            FileStamp{folder.stamp.device, c.entry.inode, c.entry.size, c.entry.modifiedNs}, keys);
        if (!facts) {
            out_.unknownAt.push_back(out_.files.size());
            out_.unknown.push_back(std::move(file));
            return;
        }
        if (test.needsLayer() && !test.layerPasses(*facts))
            return;
        file.facts = std::make_shared<const strand32::FileFacts>(std::move(*facts));
        out_.files.push_back(std::move(file));
    }

    Catalogue& catalogue_;
    const RecallRequest& request_;
    Recalled& out_;
    std::unordered_map<std::int64_t, std::size_t> indexOf_;
    bool treeWhole_ = false;
};

} // namespace

Recalled recallFromCatalogue(Catalogue& catalogue, const RecallRequest& request) {
    Recalled recalled;
    Recall(catalogue, request, recalled).run();
    return recalled;
}

} // namespace finder
