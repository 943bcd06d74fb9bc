#include "tests/doubles/scripted_services.h"

namespace tallowin::doubles {

namespace {

class FakeDomain final : public platform::PreferencesDomain {
public:
    FakeDomain(FakePreferences& owner, std::string suite, CallLog* log)
        : owner_(owner), suite_(std::move(suite)), log_(log) {}

    void setObject(const platform::IntegerDictionary& value, std::string_view key) override {
        owner_.stored[suite_][std::string(key)] = value;
        if (log_ != nullptr) {
            log_->add("prefs set: " + suite_ + " " + std::string(key));
        }
    }
    bool synchronize() override {
        ++owner_.synchronizeCalls;
        if (log_ != nullptr) {
            log_->add("prefs synchronize: " + suite_);
        }
        return true;
    }

private:
    FakePreferences& owner_;
    std::string suite_;
    CallLog* log_;
};

}  // namespace

std::unique_ptr<platform::PreferencesDomain> FakePreferences::openSuite(std::string_view suiteName) {
    openedSuites.emplace_back(suiteName);
    if (!canOpen) {
        return nullptr;
    }
    return std::make_unique<FakeDomain>(*this, std::string(suiteName), log_);
}

}  // namespace tallowin::doubles
