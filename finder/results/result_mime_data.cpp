// Turns requests of drop targets into requests to the drag's data object.
#include "result_mime_data.h"

#include "data_object.h"

#include <platform/clipboard.h>
#include <platform/shell.h>

#include <string>

namespace finder {

using namespace platform;

namespace {

// The bytes of the block a request for `format` gets; the receiver's copy,
// so the block itself is freed here.
QByteArray blockBytes(IDataObject* data, CLIPFORMAT format, bool asUriList) {
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data == nullptr || data->GetData(&request, &medium) != S_OK || medium.hGlobal == 0)
        return {};
    QByteArray bytes;
    if (asUriList) {
        bytes = uriListOfDropBlock(medium.hGlobal);
    } else if (const void* block = GlobalLock(medium.hGlobal)) {
        bytes = QByteArray(static_cast<const char*>(block),
                           static_cast<qsizetype>(GlobalSize(medium.hGlobal)));
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return bytes;
}

} // namespace

ResultMimeData::ResultMimeData(IDataObject* data) {
    if (data != nullptr) {
        data->AddRef();
        data_.reset(data);
    }
}

QStringList ResultMimeData::formats() const {
    return {kUriListMimeType, kHDropMimeType, kShellIdListMimeType};
}

QVariant ResultMimeData::retrieveData(const QString& mimeType, QMetaType) const {
    if (mimeType == QLatin1String(kUriListMimeType))
        return blockBytes(data_.get(), CF_HDROP, true);
    if (mimeType == QLatin1String(kHDropMimeType))
        return blockBytes(data_.get(), CF_HDROP, false);
    if (mimeType == QLatin1String(kShellIdListMimeType))
        return blockBytes(data_.get(), g_cfShellIDList, false);
    return {};
}

QByteArray uriListOfDropBlock(HGLOBAL drop) {
    QByteArray list;
    const UINT count = DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFile(drop, i, nullptr, 0), '\0');
        DragQueryFile(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        // A bare name (a row without a folder) has no file URI.
        if (path.empty() || path.front() != '/')
            continue;
        list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    }
    return list;
}

} // namespace finder
