#pragma once
// The current file's facts as the pages of one Properties sheet share
// them: read with its systems' keys by the first page (or by the sheet,
// when it decides whether the Layers page is offered) after an
// Initialize, and kept until the next one. Counting reads anew each time.
#include "strand32/file_facts.h"

#include <memory>

namespace velmora {

std::shared_ptr<const strand32::FileFacts> sheetFacts();

// Forgets the facts read for the previous current file.
void forgetSheetFacts();

// The current file read with its objects counted, layer by layer.
strand32::FileFacts countedFacts();

// True when the current file is a container of more than one layer: the
// sheet then offers the Layers page. Only containers are read for this.
bool offersLayersPage() noexcept;

} // namespace velmora
