#pragma once
// What a drag of result rows offers the desktop: the files as a URI list and
// the two raw blocks, each asked of the data object only when a drop target
// asks, so every request gets a new block.
#include "com_ref.h"

#include <platform/com.h>

#include <QMimeData>

namespace finder {

inline constexpr const char* kUriListMimeType = "text/uri-list";
inline constexpr const char* kHDropMimeType = "application/x-kavrel-hdrop";
inline constexpr const char* kShellIdListMimeType = "application/x-kavrel-shell-idlist";

class ResultMimeData : public QMimeData {
public:
    // Holds a reference on `data` for as long as it lives.
    explicit ResultMimeData(platform::IDataObject* data);

    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType preferredType) const override;

private:
    ComRef<platform::IDataObject> data_;
};

// "file://" URIs of the absolute paths of a drop-file list, each path's bytes
// percent-encoded (all but unreserved characters and "/"), one per line
// ended by CR LF.
QByteArray uriListOfDropBlock(platform::HGLOBAL drop);

} // namespace finder
