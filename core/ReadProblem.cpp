#include "core/ReadProblem.h"

#include <utility>

namespace qx {

void ReadProblem::enter(const char* section) {
    section_ = section;
    element_ = nullptr;
    part_ = nullptr;
}

void ReadProblem::at(const char* element, std::int32_t index) {
    element_ = element;
    index_ = index;
    part_ = nullptr;
}

void ReadProblem::atPart(const char* part, std::int32_t index) {
    part_ = part;
    partIndex_ = index;
}

std::string ReadProblem::place() const {
    std::string text = section_;
    if (element_ == nullptr) return text;
    std::string element = std::string(element_) + " " + std::to_string(index_);
    if (part_ != nullptr) element += std::string(" ") + part_ + " " + std::to_string(partIndex_);
    return text.empty() ? element : text + " (" + element + ")";
}

bool ReadProblem::fail(std::string text) {
    text_ = std::move(text);
    return false;
}

bool ReadProblem::failHere(const std::string& text) { return fail(place() + ": " + text); }

bool ReadProblem::truncated() { return fail("truncated in " + place()); }

bool ReadProblem::truncatedHere(const std::string& text) { return fail("truncated in " + place() + ": " + text); }

void ReadProblem::report(std::string* reason) const {
    if (reason != nullptr) *reason = text_;
}

}  // namespace qx
