#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tallowin::shell {

// The argc and argv a QApplication takes, over words that outlive it, as Qt
// requires.
class QtArguments {
public:
    explicit QtArguments(std::vector<std::string> words) : words_(std::move(words)) {
        pointers_.reserve(words_.size() + 1);
        for (std::string& word : words_) {
            pointers_.push_back(word.data());
        }
        pointers_.push_back(nullptr);
        count_ = static_cast<int>(words_.size());
    }
    ~QtArguments() = default;
    QtArguments(const QtArguments&) = delete;
    QtArguments& operator=(const QtArguments&) = delete;
    QtArguments(QtArguments&&) = delete;
    QtArguments& operator=(QtArguments&&) = delete;

    int& argc() { return count_; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
    int count_ = 0;
};

}  // namespace tallowin::shell
