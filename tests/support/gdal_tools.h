#pragma once
// GDAL's command-line tools run from tests, and the extents they report,
// to compare the libraries' answers with. Needs Qt Core (JSON) and the
// map-view library's extent type.
#include "strand32/mapora.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <regex>
#include <string>

namespace testsupport {

inline std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Standard output of a command; empty when it fails.
inline std::string run(const std::string& command) {
    struct Closer {
        void operator()(FILE* f) const { pclose(f); }
    };
    std::unique_ptr<FILE, Closer> pipe(popen((command + " 2>/dev/null").c_str(), "r"));
    std::string out;
    char buf[4096];
    while (pipe && std::fgets(buf, sizeof buf, pipe.get()))
        out += buf;
    return out;
}

inline void include(std::optional<MaporaExtent>& e, double x1, double y1, double x2, double y2) {
    if (!e)
        e = MaporaExtent{x1, y2, x2, y1};
    e->west = std::min(e->west, std::min(x1, x2));
    e->east = std::max(e->east, std::max(x1, x2));
    e->south = std::min(e->south, std::min(y1, y2));
    e->north = std::max(e->north, std::max(y1, y2));
}

// Union of the layer extents ogrinfo prints (six decimals).
inline std::optional<MaporaExtent> ogrinfoExtent(const std::string& path) {
    const std::string out = run("ogrinfo -ro -so -al " + quoted(path));
    static const std::regex line(R"(Extent: \(([^,]+), ([^)]+)\) - \(([^,]+), ([^)]+)\))");
    std::optional<MaporaExtent> e;
    for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it)
        include(e, std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                std::stod((*it)[4]));
    return e;
}

// Corners of a georeferenced raster from the transform and size gdalinfo
// reports (its corner texts are rounded).
inline std::optional<MaporaExtent> gdalinfoExtent(const std::string& path) {
    const QJsonObject info =
        QJsonDocument::fromJson(QByteArray::fromStdString(run("gdalinfo -json " + quoted(path))))
            .object();
    const QJsonArray gt = info["geoTransform"].toArray();
    const QJsonArray size = info["size"].toArray();
    if (gt.size() != 6 || size.size() != 2)
        return std::nullopt;
    std::optional<MaporaExtent> e;
    for (const double px : {0.0, size[0].toDouble()}) {
        for (const double py : {0.0, size[1].toDouble()}) {
            const double x = gt[0].toDouble() + px * gt[1].toDouble() + py * gt[2].toDouble();
            const double y = gt[3].toDouble() + px * gt[4].toDouble() + py * gt[5].toDouble();
            include(e, x, y, x, y);
        }
    }
    return e;
}

} // namespace testsupport
