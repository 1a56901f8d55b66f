// Lines of the page reader's answers, written and read.
#include "reader_protocol.h"

namespace velmorahost {
namespace {

void appendField(std::string& line, std::string_view field) {
    line += '\t';
    for (const char c : field) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

std::vector<std::string> fieldsOf(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

} // namespace

std::string encodeSheet(const std::vector<PageTexts>& pages) {
    std::string text;
    for (const PageTexts& page : pages) {
        text += "page";
        appendField(text, page.title);
        appendField(text, page.hasButtons ? "1" : "0");
        text += '\n';
        for (const PageRow& row : page.rows) {
            text += "row";
            appendField(text, row.label);
            appendField(text, row.value);
            text += '\n';
        }
    }
    return text + "sheet\n";
}

std::string encodeError(std::string_view text) {
    std::string line = "error";
    appendField(line, text);
    return line + '\n';
}

std::optional<std::vector<PageTexts>> SheetDecoder::feed(std::string_view line) {
    const std::vector<std::string> fields = fieldsOf(line);
    const std::string& kind = fields.front();
    if (kind == "page" && fields.size() == 3) {
        pages_.push_back({fields[1], {}, fields[2] == "1"});
    } else if (kind == "row" && fields.size() == 3 && !pages_.empty()) {
        pages_.back().rows.push_back({fields[1], fields[2]});
    } else if (kind == "error" && fields.size() == 2) {
        error_ = fields[1];
    } else if (kind == "sheet" && fields.size() == 1) {
        std::vector<PageTexts> sheet;
        sheet.swap(pages_);
        return sheet;
    }
    return std::nullopt;
}

} // namespace velmorahost
