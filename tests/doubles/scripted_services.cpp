#include "tests/doubles/scripted_services.h"

namespace tallowin::doubles {

namespace {

class FakeDomain final : public platform::PreferencesDomain {
public:
    FakeDomain(FakePreferences::Domain& domain, std::string suite, CallLog* log)
        : domain_(domain), suite_(std::move(suite)), log_(log) {}

    void setObject(const platform::IntegerDictionary& value, std::string_view key) override {
        domain_[std::string(key)] = value;
        note(log_, "prefs set: " + suite_ + " " + std::string(key));
    }
    bool synchronize() override {
        note(log_, "prefs synchronize: " + suite_);
        return true;
    }

private:
    FakePreferences::Domain& domain_;
    std::string suite_;
    CallLog* log_;
};

}  // namespace

std::unique_ptr<platform::PreferencesDomain> FakePreferences::openSuite(std::string_view suiteName) {
    if (!canOpen) {
        return nullptr;
    }
    return std::make_unique<FakeDomain>(stored[std::string(suiteName)], std::string(suiteName), log_);
}

}  // namespace tallowin::doubles
