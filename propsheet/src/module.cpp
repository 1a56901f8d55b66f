// Module-wide state: the object count is atomic and the current file name
// guarded, since a file manager may call the server from several threads.
#include "module.h"

#include "page_templates.h"
#include "quill32/datora.h"
#include "sheet_facts.h"
#include "strand32/mapora.h"
#include "thimble32/cregistry.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace velmora {

namespace {

constexpr std::size_t kPathSize = 260;

platform::HINSTANCE g_instance = nullptr;

alignas(std::atomic_ref<LONG>::required_alignment) LONG g_objectCount = 0;

// -1 until the library is started; the result of its last start after.
std::atomic<std::int32_t> g_libraryStatus{-1};

std::mutex g_fileNameMutex;
char g_fileName[kPathSize] = {};

// The loader's attach notification: only the instance is saved.
__attribute__((constructor)) void attachModule() {
    g_instance = &kModuleResources;
}

} // namespace

platform::HINSTANCE moduleInstance() {
    return g_instance;
}

void objectCreated() {
    std::atomic_ref<LONG>(g_objectCount).fetch_add(1);
}

void objectDestroyed() {
    std::atomic_ref<LONG>(g_objectCount).fetch_sub(1);
}

LONG objectCount() {
    return std::atomic_ref<LONG>(g_objectCount).load();
}

LONG* objectCountCell() {
    return &g_objectCount;
}

HRESULT startLibrary() {
    thimble32::CRegistry registry;
    char folder[kPathSize] = {};
    if (registry.GetDatoraDatPath(folder, sizeof folder) != thimble32::kRegistrySuccess)
        return platform::E_FAIL;
    const std::string database = std::string(folder) + "/datora.dat";
    const std::int32_t status = Mapora_Init(database.c_str());
    g_libraryStatus = status;
    if (status != 0)
        return platform::E_FAIL;
    DatoraLibraryInfo record{};
    Datora_LibraryInfo(&record);
    return platform::S_OK;
}

bool shutDownLibrary() {
    std::int32_t ready = 0;
    if (!g_libraryStatus.compare_exchange_strong(ready, -1))
        return false;
    Mapora_Shutdown();
    return true;
}

void setCurrentFileName(const char* name) {
    {
        std::lock_guard lock(g_fileNameMutex);
        const std::size_t n = name ? strnlen(name, kPathSize - 1) : 0;
        if (n > 0)
            std::memcpy(g_fileName, name, n);
        g_fileName[n] = '\0';
    }
    forgetSheetFacts();
}

std::string currentFileName() {
    std::lock_guard lock(g_fileNameMutex);
    return g_fileName;
}

} // namespace velmora
