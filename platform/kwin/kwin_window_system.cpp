#include "platform/kwin/kwin_window_system.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/number_text.h"

namespace tallowin::kwin {

namespace {

using platform::WindowFrame;
using platform::WindowOutcome;

constexpr const char* kKWin = "org.kde.KWin";

std::string frameText(const WindowFrame& frame) {
    return "x=" + platform::formatDouble(frame.x) + " y=" + platform::formatDouble(frame.y) +
           " width=" + platform::formatDouble(frame.width) + " height=" + platform::formatDouble(frame.height);
}

// KWin takes whole pixels.
bool wholePixels(const WindowFrame& frame) {
    return std::ranges::all_of(std::array{frame.x, frame.y, frame.width, frame.height},
                               [](double value) { return std::isfinite(value) && std::fabs(value) <= 1e6; });
}

QDBusMessage callKWin(const QDBusConnection& bus, const QString& path, const char* interface, const char* method,
                      const QVariantList& arguments) {
    auto message = QDBusMessage::createMethodCall(kKWin, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, static_cast<int>(kAnswerBound.count()));
}

// Takes the scripts' answers on a thread of its own, so that waiting for one
// runs no event loop, and no timer of the application, on the caller's thread.
class Receiver final : public QDBusVirtualObject {
public:
    QString introspect(const QString& /*path*/) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const auto arguments = message.arguments();
        if (message.member() != kAnswerMethod || arguments.size() != 2) {
            return false;
        }
        {
            const std::lock_guard lock(mutex);
            answers[arguments[0].toString().toStdString()] = arguments[1].toString().toStdString();
        }
        arrived.notify_all();
        connection.send(message.createReply());
        return true;
    }

    std::mutex mutex;
    std::condition_variable arrived;
    std::map<std::string, std::string> answers;
};

}  // namespace

bool onSessionBus(const char* name) {
    const QString connectionName = QStringLiteral("tallowin-probe");
    bool found = false;
    {
        const auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
        if (bus.isConnected()) {
            const auto reply = bus.interface()->isServiceRegistered(QString::fromUtf8(name));
            found = reply.isValid() && reply.value();
        }
    }
    QDBusConnection::disconnectFromBus(connectionName);
    return found;
}

// Our own connection to the session bus, and the object the scripts answer.
class AnswerChannel {
public:
    AnswerChannel() : name_(QStringLiteral("tallowin-kwin-%1").arg(reinterpret_cast<quintptr>(this))) {}
    ~AnswerChannel() { close(); }
    AnswerChannel(const AnswerChannel&) = delete;
    AnswerChannel& operator=(const AnswerChannel&) = delete;

    // The bus, connected, with our object on it; why not otherwise.
    std::optional<QDBusConnection> bus(std::string& why) {
        if (listening_ && QDBusConnection(name_).isConnected()) {
            return QDBusConnection(name_);
        }
        close();
        auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_);
        if (!bus.isConnected()) {
            why = "cannot reach the session bus: " + bus.lastError().message().toStdString();
            return std::nullopt;
        }
        // Without an application no thread runs an event loop to take answers.
        if (QCoreApplication::instance() == nullptr) {
            why = "no Qt application runs to take KWin's answers";
            return std::nullopt;
        }
        receiver_ = std::make_unique<Receiver>();
        thread_ = std::make_unique<QThread>();
        receiver_->moveToThread(thread_.get());
        thread_->start();
        if (!bus.registerVirtualObject(kAnswerPath, receiver_.get())) {
            why = "cannot take answers on the session bus at " + std::string(kAnswerPath);
            close();
            return std::nullopt;
        }
        listening_ = true;
        return bus;
    }

    std::optional<std::string> await(const std::string& token, std::chrono::steady_clock::time_point deadline) {
        std::unique_lock lock(receiver_->mutex);
        if (!receiver_->arrived.wait_until(lock, deadline, [&] { return receiver_->answers.contains(token); })) {
            return std::nullopt;
        }
        auto answer = std::move(receiver_->answers[token]);
        // Requests go one at a time: anything else came too late for its own.
        receiver_->answers.clear();
        return answer;
    }

private:
    void close() {
        listening_ = false;
        if (thread_) {
            QDBusConnection(name_).unregisterObject(kAnswerPath);
            thread_->quit();
            thread_->wait();
        }
        receiver_.reset();
        thread_.reset();
        QDBusConnection::disconnectFromBus(name_);
    }

    QString name_;
    bool listening_ = false;
    std::unique_ptr<Receiver> receiver_;
    std::unique_ptr<QThread> thread_;
};

std::unique_ptr<KWinWindowSystem> KWinWindowSystem::connect(platform::LineOutput& status, std::string& error) {
    if (!onSessionBus(kKWin)) {
        error = "KWin is not on the session bus";
        return nullptr;
    }
    return std::unique_ptr<KWinWindowSystem>(new KWinWindowSystem(status, std::make_unique<AnswerChannel>()));
}

KWinWindowSystem::KWinWindowSystem(platform::LineOutput& status, std::unique_ptr<AnswerChannel> channel)
    : status_(status), channel_(std::move(channel)) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const auto base = runtime != nullptr && std::filesystem::is_directory(runtime)
                          ? std::filesystem::path(runtime)
                          : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tallowin-kwin-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        folder_ = pattern;
    }
}

KWinWindowSystem::~KWinWindowSystem() {
    std::error_code ignored;
    if (!folder_.empty()) {
        std::filesystem::remove_all(folder_, ignored);
    }
}

std::uint32_t KWinWindowSystem::numberOf(const std::string& internalId) {
    const auto [found, added] = numbers_.try_emplace(internalId, static_cast<std::uint32_t>(internalIds_.size() + 1));
    if (added) {
        internalIds_.push_back(internalId);
    }
    return found->second;
}

std::optional<ScriptAnswer> KWinWindowSystem::run(const ScriptMaker& make) {
    std::string why;
    const auto bus = channel_->bus(why);
    const std::string token = std::to_string(::getpid()) + "-" + std::to_string(++requests_);
    const std::filesystem::path file = folder_ / (token + ".js");
    if (bus) {
        std::ofstream(file) << make(bus->baseService().toStdString(), token);
    }
    const QString plugin = QStringLiteral("tallowin-%1").arg(QString::fromStdString(token));
    std::optional<std::string> answer;
    if (bus && !std::filesystem::exists(file)) {
        why = "cannot write the script " + file.string();
    } else if (bus) {
        const auto loaded = callKWin(*bus, QStringLiteral("/Scripting"), "org.kde.kwin.Scripting", "loadScript",
                                     {QString::fromStdString(file.string()), plugin});
        const int id = loaded.arguments().value(0, -1).toInt();
        if (loaded.type() != QDBusMessage::ReplyMessage) {
            why = "KWin is not answering on the session bus: " + loaded.errorMessage().toStdString();
        } else if (id < 0) {
            why = "KWin would not load the script " + file.string();
        } else {
            // KWin 5 puts a script at /N, KWin 6 at /Scripting/ScriptN.
            QDBusMessage ran;
            for (const QString& path : {QStringLiteral("/%1").arg(id), QStringLiteral("/Scripting/Script%1").arg(id)}) {
                ran = callKWin(*bus, path, "org.kde.kwin.Script", "run", {});
                if (ran.type() == QDBusMessage::ReplyMessage) {
                    break;
                }
            }
            if (ran.type() != QDBusMessage::ReplyMessage) {
                why = "KWin would not run the script: " + ran.errorMessage().toStdString();
            } else {
                answer = channel_->await(token, std::chrono::steady_clock::now() + kAnswerBound);
                why = "KWin did not answer the script within " + std::to_string(kAnswerBound.count()) + " ms";
            }
            callKWin(*bus, QStringLiteral("/Scripting"), "org.kde.kwin.Scripting", "unloadScript", {plugin});
        }
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    if (!answer) {
        if (!lost_) {
            status_.writeLine(why);
        }
        lost_ = true;
        return std::nullopt;
    }
    if (lost_) {
        status_.writeLine("KWin answers again on the session bus");
        lost_ = false;
    }
    auto parsed = parseAnswer(*answer);
    if (!parsed) {
        status_.writeLine("KWin sent an answer that cannot be read: " + answer->substr(0, 200));
    } else if (const auto* error = std::get_if<ScriptError>(&*parsed)) {
        status_.writeLine("KWin's script failed: " + error->text);
    }
    return parsed;
}

std::optional<platform::WindowSystemSnapshot> KWinWindowSystem::snapshot() {
    const auto answer = run(listingScript);
    const auto* listing = answer ? std::get_if<Listing>(&*answer) : nullptr;
    if (listing == nullptr) {
        return std::nullopt;
    }
    platform::WindowSystemSnapshot seen{{}, listing->placementArea};
    seen.windows.reserve(listing->windows.size());
    for (const auto& each : listing->windows) {
        seen.windows.push_back(each.window);
        seen.windows.back().id = numberOf(each.internalId);
    }
    return seen;
}

std::optional<ScriptWindow> KWinWindowSystem::ask(std::uint32_t window, const ScriptMaker& make,
                                                  WindowOutcome& failed) {
    const auto answer = run(make);
    if (!answer) {
        failed = WindowOutcome::disconnected;
        return std::nullopt;
    }
    if (const auto* state = std::get_if<ScriptWindow>(&*answer)) {
        return *state;
    }
    if (std::holds_alternative<Gone>(*answer)) {
        status_.writeLine("KWin has no window " + std::to_string(window) + " any more");
        failed = WindowOutcome::windowGone;
    } else {
        failed = WindowOutcome::refused;
    }
    return std::nullopt;
}

WindowOutcome KWinWindowSystem::readBack(std::uint32_t window, const std::string& internalId,
                                         const std::function<bool(const ScriptWindow&)>& passes) {
    const auto deadline = std::chrono::steady_clock::now() + kReadBackBound;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        WindowOutcome failed = WindowOutcome::done;
        const auto state = ask(
            window,
            [&](const std::string& service, const std::string& token) {
                return lookScript(service, token, internalId);
            },
            failed);
        if (!state) {
            return failed;
        }
        if (passes(*state)) {
            return WindowOutcome::done;
        }
        if (std::chrono::steady_clock::now() + pause > deadline) {
            return WindowOutcome::notExact;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

std::optional<std::string> KWinWindowSystem::internalId(std::uint32_t window) const {
    if (window == 0 || window > internalIds_.size()) {
        return std::nullopt;
    }
    return internalIds_[window - 1];
}

const std::string* KWinWindowSystem::internalIdOf(std::uint32_t window) {
    if (window == 0 || window > internalIds_.size()) {
        status_.writeLine("KWin never listed a window " + std::to_string(window));
        return nullptr;
    }
    return &internalIds_[window - 1];
}

WindowOutcome KWinWindowSystem::setFrame(std::uint32_t window, const WindowFrame& frame) {
    const std::string* internalId = internalIdOf(window);
    if (internalId == nullptr) {
        return WindowOutcome::windowGone;
    }
    if (!wholePixels(frame)) {
        status_.writeLine("KWin cannot give a window the frame " + frameText(frame));
        return WindowOutcome::refused;
    }
    WindowOutcome failed = WindowOutcome::done;
    const auto asked = ask(
        window,
        [&](const std::string& service, const std::string& token) {
            return placeScript(service, token, *internalId, frame);
        },
        failed);
    if (!asked) {
        return failed;
    }
    // KWin takes whole pixels: the frame asked for is the rounded one.
    const WindowFrame wanted{std::round(frame.x), std::round(frame.y), std::round(frame.width),
                             std::round(frame.height)};
    std::string seen;
    const auto outcome = readBack(window, *internalId, [&](const ScriptWindow& state) {
        seen = frameText(state.window.frame);
        return state.window.frame == wanted;
    });
    if (outcome == WindowOutcome::notExact) {
        status_.writeLine("KWin gave window " + std::to_string(window) + " the frame " + seen + ", not " +
                          frameText(frame));
    }
    return outcome;
}

WindowOutcome KWinWindowSystem::raise(std::uint32_t window) {
    const std::string* internalId = internalIdOf(window);
    if (internalId == nullptr) {
        return WindowOutcome::windowGone;
    }
    WindowOutcome failed = WindowOutcome::done;
    const auto asked = ask(
        window,
        [&](const std::string& service, const std::string& token) { return raiseScript(service, token, *internalId); },
        failed);
    if (!asked) {
        return failed;
    }
    const auto outcome = asked->active
                             ? WindowOutcome::done
                             : readBack(window, *internalId, [](const ScriptWindow& state) { return state.active; });
    if (outcome == WindowOutcome::notExact) {
        status_.writeLine("KWin did not activate window " + std::to_string(window));
    }
    return outcome;
}

}  // namespace tallowin::kwin
