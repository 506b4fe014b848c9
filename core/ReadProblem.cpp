#include "core/ReadProblem.h"

#include <utility>

namespace qx {

void ReadProblem::enter(const char* section) {
    section_ = section;
    element_ = nullptr;
    part_ = nullptr;
}

void ReadProblem::at(const char* element, std::int32_t index, Naming naming) {
    element_ = element;
    index_ = index;
    naming_ = naming;
    part_ = nullptr;
}

void ReadProblem::atPart(const char* part, std::int32_t index) {
    part_ = part;
    partIndex_ = index;
}

std::string ReadProblem::element() const {
    std::string text = std::string(element_) + " " + std::to_string(index_);
    if (part_ != nullptr) text += std::string(" ") + part_ + " " + std::to_string(partIndex_);
    return text;
}

std::string ReadProblem::place() const {
    std::string text = section_;
    if (element_ == nullptr || naming_ == Naming::Leading) return text;
    if (naming_ == Naming::After) return text + " at " + element();
    return text.empty() ? element() : text + " (" + element() + ")";
}

bool ReadProblem::fail(std::string text) {
    text_ = element_ != nullptr && naming_ == Naming::Leading ? element() + ": " + text : std::move(text);
    return false;
}

bool ReadProblem::failHere(const std::string& text) { return fail(place() + ": " + text); }

bool ReadProblem::truncated() { return fail("truncated in " + place()); }

bool ReadProblem::truncatedHere(const std::string& text) { return fail("truncated in " + place() + ": " + text); }

void ReadProblem::report(std::string* reason) const {
    if (reason != nullptr) *reason = text_;
}

}  // namespace qx
