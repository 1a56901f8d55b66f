// The catalogue's answer: candidates from the index of footprints in
// degrees (an area search inside or across a box), from the index of names,
// or folder by folder; each tested as the walk tests it.
#include "catalogue_recall.h"

#include "folder_listing.h"

#include "finder/walk_result.h"

#include <platform/wildcard.h>
#include <strand32/layer.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace finder {
namespace {

// The first folders' answer ends once it holds this many rows: enough to
// fill a screen, and a pipe's buffer.
constexpr std::size_t kFirstRows = 200;

// The path of the subfolder `name` of `folder`.
std::string childPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// Where each folder is in a list of folders, by its id: a sorted array, as
// compact as the list (tens of thousands of folders).
class FolderIndex {
public:
    explicit FolderIndex(const std::vector<CatalogueFolder>& folders) {
        places_.reserve(folders.size());
        for (std::size_t i = 0; i < folders.size(); ++i)
            places_.emplace_back(folders[i].id, i);
        std::sort(places_.begin(), places_.end());
    }
    FolderIndex() = default;
    // The place of the folder `id`; none when it is not in the list.
    std::optional<std::size_t> find(std::int64_t id) const {
        const auto it = std::lower_bound(places_.begin(), places_.end(),
                                         std::pair<std::int64_t, std::size_t>{id, 0});
        if (it == places_.end() || it->first != id)
            return std::nullopt;
        return it->second;
    }

private:
    std::vector<std::pair<std::int64_t, std::size_t>> places_;
};

struct Candidate {
    std::size_t folder; // index in Recalled::folders
    CatalogueEntry entry;
    // Whether `facts` holds what the catalogue keeps for the file (none:
    // not known as the file is now), or the facts are still to be looked up.
    bool looked = false;
    std::unique_ptr<strand32::FileFacts> facts; // small: candidates are many
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
        if (request_.firstRows)
            answerFirstFolders(start);
        out_.folders = catalogue_.folders(start, criteria.includeSubfolders);
        check();
        out_.covered = !out_.folders.empty();
        // Without a watcher nothing is exact: rows nobody would see are not
        // built, and the walk takes the folders as they are.
        if (!out_.covered || (!request_.inexactRows && request_.watchSession == 0))
            return;
        if (criteria.includeSubfolders)
            orderAsWalked(start);
        indexOf_ = FolderIndex(out_.folders);
        decideExact(start);
        if (!out_.exact && !request_.inexactRows)
            return; // nobody would see them: the walk gives the rows
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
        const FolderIndex byId(folders);
        struct Link {
            std::size_t parent;
            std::int64_t seq;
            std::size_t child;
        };
        std::vector<Link> links;
        links.reserve(folders.size());
        bool whole = true;
        catalogue_.subfolders(
            start, [&](std::int64_t folder, std::int64_t seq, std::int64_t child) {
                const auto parent = byId.find(folder);
                if (!parent)
                    return; // a folder beside the tree whose path sorts among its own
                const auto known = child == 0 ? std::nullopt : byId.find(child);
                if (!known)
                    whole = false;
                else
                    links.push_back({*parent, seq, *known});
            });
        check();
        std::sort(links.begin(), links.end(), [](const Link& a, const Link& b) {
            return a.parent != b.parent ? a.parent < b.parent : a.seq < b.seq;
        });
        // The links of folder i are links[firstLink[i]] up to links[firstLink[i + 1]].
        std::vector<std::size_t> firstLink(folders.size() + 1, 0);
        for (const Link& link : links)
            ++firstLink[link.parent + 1];
        for (std::size_t i = 1; i < firstLink.size(); ++i)
            firstLink[i] += firstLink[i - 1];
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
            for (std::size_t k = firstLink[at + 1]; k > firstLink[at]; --k)
                waiting.push_back(links[k - 1].child);
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

    // The first folders of the walk, read one at a time before the rest of
    // the answer is built (in the same order), their rows handed over at
    // once: the first rows come before the whole tree is loaded.
    void answerFirstFolders(const std::string& start) {
        std::vector<CatalogueFolder> waiting = catalogue_.folders(start, false);
        std::vector<FoundFile> rows;
        std::size_t read = 0;
        while (!waiting.empty() && read < request_.firstFolders && rows.size() < kFirstRows) {
            const CatalogueFolder folder = std::move(waiting.back());
            waiting.pop_back();
            if (!firstFolders_.insert(folder.id).second)
                continue;
            ++read;
            std::vector<CatalogueFolder> children;
            for (CatalogueEntry& entry : catalogue_.entries(folder.id)) {
                if (entry.kind == EntryKind::Subfolder && request_.criteria.includeSubfolders) {
                    std::vector<CatalogueFolder> child =
                        catalogue_.folders(childPath(folder.path, entry.name), false);
                    if (!child.empty())
                        children.push_back(std::move(child.front()));
                    continue;
                }
                Candidate candidate{0, std::move(entry), false, nullptr};
                FoundFile file;
                if (judge(folder, candidate, file) == Verdict::Passes)
                    rows.push_back(std::move(file));
            }
            check();
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                waiting.push_back(std::move(*it));
        }
        if (!rows.empty())
            request_.firstRows(std::move(rows));
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
            if (const auto at = indexOf_.find(folderId))
                found.push_back({*at, std::move(entry), false, nullptr});
        };
        const SearchCriteria& c = request_.criteria;
        if (c.has(CriteriaFlags::Area) && c.areaInDegrees && c.areaMode != AreaMode::Exclusive) {
            // Files inside the area or across it meet its box.
            const strand32::Extent box{
                std::min(c.area.x1, c.area.x2), std::max(c.area.y1, c.area.y2),
                std::max(c.area.x1, c.area.x2), std::min(c.area.y1, c.area.y2)};
            std::unordered_map<std::string_view, std::size_t> byPath;
            for (std::size_t i = 0; i < out_.folders.size(); ++i)
                byPath.emplace(out_.folders[i].path, i);
            // The area is tested on the extents kept: the facts of a file it
            // rules out are not decoded (one kept since a change is unread,
            // and found below or by the walk).
            strand32::FileFacts extents;
            const bool keys = request_.test.needsKeys() || request_.facts == FactsWanted::WithKeys;
            // Past a few hundred folders, the boxes that meet the area are
            // fewer to read than the tree's files.
            constexpr std::size_t kWideTree = 256;
            catalogue_.footprintsInArea(
                {start, box, c.areaMode == AreaMode::Inclusive, out_.folders.size() >= kWideTree},
                [&](const KeptFootprint& kept) {
                    extents.extent = kept.extent;
                    extents.lonLat = kept.lonLat;
                    return request_.test.areaMatches(extents);
                },
                [&](KeptFootprint&& kept, std::optional<strand32::FileFacts>&& facts) {
                    const std::string_view path = kept.path;
                    const std::size_t slash = path.rfind('/');
                    const auto it =
                        byPath.find(slash == 0 ? std::string_view("/") : path.substr(0, slash));
                    if (it == byPath.end())
                        return;
                    const CatalogueFolder& folder = out_.folders[it->second];
                    auto entry = catalogue_.entry(folder.id, path.substr(slash + 1));
                    if (!entry)
                        return;
                    const bool current = kept.stamp == FileStamp{folder.stamp.device, entry->inode,
                                                                 entry->size, entry->modifiedNs} &&
                                         (!keys || kept.keysRead);
                    found.push_back({it->second, std::move(*entry), true,
                                     current && facts
                                         ? std::make_unique<strand32::FileFacts>(std::move(*facts))
                                         : nullptr});
                });
            // An exact answer also reads the files whose footprints are not
            // known (new or changed since they were read).
            if (out_.exact) {
                std::set<std::pair<std::size_t, std::string>> seen;
                for (const Candidate& c : found)
                    seen.emplace(c.folder, c.entry.name);
                catalogue_.unreadEntries([&](std::int64_t folderId, CatalogueEntry&& entry) {
                    const auto at = indexOf_.find(folderId);
                    if (at && !seen.count({*at, entry.name}))
                        found.push_back({*at, std::move(entry), false, nullptr});
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
                Candidate candidate{i, std::move(entry), false, nullptr};
                test(candidate);
            }
            check();
        }
        return found;
    }

    void test(Candidate& c) {
        const CatalogueFolder& folder = out_.folders[c.folder];
        if (!firstFolders_.empty() && firstFolders_.count(folder.id) != 0)
            return; // its rows were handed over first
        FoundFile file;
        switch (judge(folder, c, file)) {
        case Verdict::Fails:
            break;
        case Verdict::Passes:
            out_.files.push_back(std::move(file));
            break;
        case Verdict::Unknown:
            out_.unknownAt.push_back(out_.files.size());
            out_.unknown.push_back(std::move(file));
            break;
        }
    }

    enum class Verdict { Fails, Passes, Unknown };
    // The entry tested as the walk tests it, with what the catalogue keeps;
    // `file` is its row when it passes or its facts are not known.
    Verdict judge(const CatalogueFolder& folder, Candidate& c, FoundFile& file) {
        if (c.entry.kind != EntryKind::File ||
            !platform::wildcardMatch(request_.criteria.namePattern, c.entry.name))
            return Verdict::Fails;
        const CandidateTest& test = request_.test;
        if (test.nameFails(c.entry.name))
            return Verdict::Fails;
        file.place(folder.path, c.entry.name);
        file.size = c.entry.size;
        file.modified =
            timePointOf(c.entry.modifiedNs / 1'000'000'000, c.entry.modifiedNs % 1'000'000'000);
        if (!test.entryPasses(file))
            return Verdict::Fails;
        const bool needsFacts = test.needsLayer() || request_.facts != FactsWanted::None;
        if (!needsFacts || strand32::layerTypeOf(file.name()) == LayerType::None)
            return test.needsLayer() ? Verdict::Fails : Verdict::Passes;
        const bool keys = test.needsKeys() || request_.facts == FactsWanted::WithKeys;
        auto facts = c.looked ? (c.facts ? std::optional(std::move(*c.facts)) : std::nullopt)
                              : catalogue_.factsOf(file.path,
                                                   FileStamp{folder.stamp.device, c.entry.inode,
                                                             c.entry.size, c.entry.modifiedNs},
                                                   keys);
        if (!facts)
            return Verdict::Unknown;
        if (test.needsLayer() && !test.layerPasses(*facts))
            return Verdict::Fails;
        file.facts = std::make_shared<const strand32::FileFacts>(std::move(*facts));
        return Verdict::Passes;
    }

    Catalogue& catalogue_;
    const RecallRequest& request_;
    Recalled& out_;
    FolderIndex indexOf_;
    std::unordered_set<std::int64_t> firstFolders_; // ids of those answered first
    bool treeWhole_ = false;
};

} // namespace

Recalled recallFromCatalogue(Catalogue& catalogue, const RecallRequest& request) {
    Recalled recalled;
    Recall(catalogue, request, recalled).run();
    return recalled;
}

} // namespace finder
