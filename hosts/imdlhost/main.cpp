// imdlhost: an imaging host that loads an image-filter plug-in, reads an
// image through its exports and writes it as a palette PNG or raw indices.
#include "image_session.h"
#include "plugin_library.h"

#include "kavrel/version.h"

#include <QImage>

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

struct Options {
    std::string image;
    std::string png;
    std::string indices;
    std::string verify;
    std::string plugin;
    bool info = false;
    bool version = false;
    bool help = false;
    std::int32_t band = 128;
};

constexpr const char* kUsage =
    "usage: imdlhost IMAGE [-o out.png] [--indices out.raw] [--info] [--band N]\n"
    "                [--plugin LIBRARY]\n"
    "       imdlhost --verify FILE [--plugin LIBRARY]\n"
    "       imdlhost --version [--plugin LIBRARY]\n"
    "       imdlhost --help\n";

constexpr const char* kHelp =
    R"usage(Usage: imdlhost IMAGE [-o OUT.png] [--indices OUT.raw] [--info] [--band N]
                [--plugin LIBRARY]
       imdlhost --verify FILE [--plugin LIBRARY]
       imdlhost --version [--plugin LIBRARY]
An imaging host: loads an image-filter plug-in (the ADRG reader rastrel by
default), reads IMAGE through its exports and writes it.

  -o OUT.png             write the image as a palette PNG
  --indices OUT.raw      write the palette indices, one byte a pixel, row by row
  --info                 print the image's width, height, bits per pixel and
                         number of colours
  --band N               read N rows at a time (default 128)
  --verify FILE          print what the plug-in's check of FILE's first 100
                         bytes answers (0: not taken)
  --plugin LIBRARY       load LIBRARY instead of the installed rastrel
  --help                 show this text
  --version              show the program's name and version, then the
                         plug-in's version text
)usage";

std::optional<Options> parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (arg == "--info") {
            o.info = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--help") {
            o.help = true;
            return o;
        } else if (arg == "-o" || arg == "--indices" || arg == "--verify" || arg == "--plugin" ||
                   arg == "--band") {
            if (!(v = value()))
                return std::nullopt;
            if (arg == "-o")
                o.png = v;
            else if (arg == "--indices")
                o.indices = v;
            else if (arg == "--verify")
                o.verify = v;
            else if (arg == "--plugin")
                o.plugin = v;
            else if ((o.band = std::atoi(v)) <= 0)
                return std::nullopt;
        } else if (!arg.empty() && arg[0] != '-' && o.image.empty()) {
            o.image = arg;
        } else {
            return std::nullopt;
        }
    }
    if (!o.version && o.image.empty() == o.verify.empty())
        return std::nullopt;
    return o;
}

int failWith(const std::string& what, const std::string& pluginText) {
    std::cerr << "imdlhost: " << what;
    if (!pluginText.empty())
        std::cerr << ": " << pluginText;
    std::cerr << "\n";
    return 1;
}

// The first 100 bytes of a file, zero-padded, as a host hands them over.
std::optional<std::string> fileHead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string head(100, '\0');
    in.read(head.data(), 100);
    return head;
}

int verify(const imdlhost::PluginExports& plugin, const std::string& path) {
    auto head = fileHead(path);
    if (!head)
        return failWith("cannot read " + path, {});
    std::cout << plugin.verifyImg(reinterpret_cast<std::uintptr_t>(head->data()), 0, 0) << "\n";
    return 0;
}

bool writePng(const std::string& path, const imdlhost::ImageHeader& header,
              const std::vector<std::uint8_t>& indices) {
    QImage image(header.width, header.height, QImage::Format_Indexed8);
    if (image.isNull())
        return false;
    QList<QRgb> table;
    for (std::uint32_t c : header.colours)
        table.push_back(qRgb(int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)));
    image.setColorTable(table);
    for (int y = 0; y < header.height; ++y)
        std::memcpy(image.scanLine(y), indices.data() + std::size_t(y) * std::size_t(header.width),
                    std::size_t(header.width));
    return image.save(QString::fromStdString(path), "PNG");
}

bool writeRaw(const std::string& path, const std::vector<std::uint8_t>& indices) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(indices.data()), std::streamsize(indices.size()));
    return bool(out.flush());
}

int decode(const imdlhost::PluginLibrary& library, const Options& o) {
    const auto& plugin = library.exports();
    auto head = fileHead(o.image);
    if (head && plugin.verifyImg(reinterpret_cast<std::uintptr_t>(head->data()), 0, 0) == 0)
        return failWith(o.image + ": not taken by the plug-in", {});

    imdlhost::ImageSession session(plugin);
    imdlhost::ImageHeader header;
    if (!session.open(o.image) || !session.readHeader(header))
        return failWith(session.failure(), library.errorText());
    if (o.info)
        std::cout << "width " << header.width << "\nheight " << header.height << "\nbits per pixel "
                  << header.bitsPerPixel << "\ncolours " << header.colours.size() << "\n";
    if (o.png.empty() && o.indices.empty())
        return 0;
    std::vector<std::uint8_t> indices;
    if (!session.readIndices(header, o.band, indices))
        return failWith(session.failure(), library.errorText());
    if (!o.indices.empty() && !writeRaw(o.indices, indices))
        return failWith("cannot write " + o.indices, {});
    if (!o.png.empty() && !writePng(o.png, header, indices))
        return failWith("cannot write " + o.png, {});
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    if (options->help) {
        std::cout << kHelp;
        return 0;
    }
    if (options->version)
        std::cout << "imdlhost " << kavrel::kVersion << "\n";
    imdlhost::PluginLibrary library;
    const std::string plugin =
        options->plugin.empty() ? imdlhost::defaultPluginPath() : options->plugin;
    if (!library.load(plugin))
        return failWith(library.error(), {});
    if (options->version) {
        std::cout << reinterpret_cast<const char*>(library.exports().getVer()) << "\n";
        return 0;
    }
    if (!options->verify.empty())
        return verify(library.exports(), options->verify);
    try {
        return decode(library, *options);
    } catch (const std::exception& e) { // an image too large for memory
        return failWith(e.what(), {});
    }
}
