#pragma once
// An immutable text that the copies of a value share: a coordinate system's
// definition is kept once, however many files' facts name it. It reads as a
// const std::string.
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace strand32 {

class SharedText {
public:
    SharedText() = default;
    SharedText(std::string text)
        : text_(text.empty() ? nullptr : std::make_shared<const std::string>(std::move(text))) {}
    SharedText(const char* text) : SharedText(std::string(text)) {}

    const std::string& str() const { return text_ ? *text_ : emptyText(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    bool empty() const { return !text_; }
    std::size_t size() const { return str().size(); }
    const char* c_str() const { return str().c_str(); }
    void clear() { text_.reset(); }

    friend bool operator==(const SharedText& a, const SharedText& b) {
        return a.text_ == b.text_ || a.str() == b.str();
    }
    friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const std::string& b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const char* b) { return a.str() == b; }
    friend std::ostream& operator<<(std::ostream& out, const SharedText& text) {
        return out << text.str();
    }

private:
    static const std::string& emptyText() {
        static const std::string empty;
        return empty;
    }
    std::shared_ptr<const std::string> text_;
};

} // namespace strand32
